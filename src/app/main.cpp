#include "data/Installation.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));

    QString error;
    if (!ProgramFolder::enter(&error) || !Installation::run(ProgramFolder::path(), &error)) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return 1;
    }
    return 0;
}
