#pragma once

#include "TestSession.h"

#include "formats/WorkbookReader.h"
#include "formats/Worksheet.h"

#include <QStringList>

// What the report tests share: a company row with every report column
// filled from its key, and a report workbook read back.
namespace ReportFixtures {

// A company whose fields are made from its key ("PO Box 1", "Town 1" ...),
// last visited on the key's day of November 2026.
inline void addCompany(const TestSession& session, qint64 key, const QString& name,
                       const QString& kind = QStringLiteral("Company")) {
    session.exec(QStringLiteral("TESSALY.mdb"),
                 QStringLiteral("INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT03, TEXT04, TEXT06, "
                                "TEXT07, TEXT08, TEXT10, TEXT13, TEXT18, TEXT19, TEXT20, DATE01, "
                                "NUMBER01) VALUES (%1, '%2', 'PO Box %1', 'Post %1', 'Street %1', "
                                "'Unit %1', 'Town %1', '0123 %1', 'Tools', 'Bob', 'Ann', '%3', "
                                "'2026-11-0%1', %1)")
                     .arg(key)
                     .arg(QString(name).replace(u'\'', QLatin1String("''")), kind));
}

// The first sheet of the workbook; the test run stops when it cannot be read.
inline Worksheet readBack(const QString& path) {
    QString error;
    auto reader = WorkbookReader::open(path, &error);
    if (!reader)
        qFatal("%s", qPrintable(error));
    auto sheet = reader->sheet(reader->sheetNames().value(0), &error);
    if (!sheet)
        qFatal("%s", qPrintable(error));
    return *sheet;
}

inline QStringList titles(const Worksheet& sheet) {
    QStringList list;
    for (int c = 0; c < sheet.columnCount(); ++c)
        list.append(sheet.cell(0, c).toString());
    return list;
}

// The column's values under its title.
inline QStringList column(const Worksheet& sheet, int c) {
    QStringList list;
    for (int r = 1; r < sheet.rowCount(); ++r)
        list.append(sheet.cell(r, c).toString());
    return list;
}

} // namespace ReportFixtures
