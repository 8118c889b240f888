#include "app/RegisterForms.h"
#include "data/Installation.h"
#include "maintenance/FormReplica.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tessaly.svg")));
    // The program ends when the main menu closes, not when a window happens
    // to be the last one visible.
    QApplication::setQuitOnLastWindowClosed(false);

    QString error;
    if (!ProgramFolder::enter(&error) || !Installation::run(ProgramFolder::path(), &error)) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return 1;
    }
    registerForms();
    FormReplica::Start();
    return app.exec();
}
