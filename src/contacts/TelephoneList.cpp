#include "TelephoneList.h"

#include "formats/Sheet.h"
#include "formats/Workbook.h"
#include "office/SpreadsheetApp.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"

namespace TelephoneList {

bool record(const Call& call, QString* error) {
    SpreadsheetApp excel;
    excel.setDisplayAlerts(false);
    Workbook* book =
        excel.openWorkbook(ProgramFolder::file(QStringLiteral("BCTelephone.xls")), error);
    if (!book)
        return false;
    // The earlier calls move down a row; the new one goes on top.
    excel.range(QStringLiteral("A1")).entireRow().insert(InsertShift::Down);
    const SheetRange when = excel.range(QStringLiteral("A1"));
    when.setFormulaR1C1(Clock::now());
    when.setNumberFormat(QStringLiteral("yyyy-mm-dd hh:mm"));
    excel.range(QStringLiteral("B1")).setValue(call.number);
    excel.range(QStringLiteral("C1")).setValue(call.name);
    excel.range(QStringLiteral("D1")).setValue(call.company);
    excel.range(QStringLiteral("A1")).select();
    const bool saved = book->save(error);
    excel.quit();
    return saved;
}

} // namespace TelephoneList

namespace ModuleBC {
bool Record(const QString& directLine, const QString& name, const QString& company,
            QString* error) {
    return TelephoneList::record({directLine, name, company}, error);
}
} // namespace ModuleBC

namespace ModuleLC {
bool Record(const QString& cellphone, const QString& name, const QString& company, QString* error) {
    return TelephoneList::record({cellphone, name, company}, error);
}
} // namespace ModuleLC
