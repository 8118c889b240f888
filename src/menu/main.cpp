#include "data/Installation.h"
#include "formats/DocumentTexts.h"
#include "formats/WorkbookSheets.h"
#include "maintenance/FormReplica.h"
#include "menu/RegisterForms.h"
#include "platform/ProgramFolder.h"
#include "services/MsgBox.h"
#include "widgets/DataMessages.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    // The menu entry's name: desktops match the windows to its icon by it.
    QApplication::setDesktopFileName(QStringLiteral("org.tessaly.Tessaly"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tessaly.svg")));
    // The program ends when the main menu closes, not when a window happens
    // to be the last one visible.
    QApplication::setQuitOnLastWindowClosed(false);

    DataMessages::install();
    WorkbookSheets::install();
    DocumentTexts::install();

    QString error;
    if (!ProgramFolder::enter(&error) || !Installation::run(ProgramFolder::path(), &error)) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return 1;
    }
    registerForms();
    FormReplica::Start();
    return app.exec();
}
