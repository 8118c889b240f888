#include "formats/WorkbookReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>

// Workbooks the user imports come from anywhere; a damaged .xls or .xlsx
// must be refused or read, never crash. The readers take a path, so each
// input is written to a file first.

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    Q_UNUSED(argc);
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    static QCoreApplication application(qtArgc, qtArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path =
        (QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/tessaly-fuzz-%1.bin").arg(QCoreApplication::applicationPid());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    QString error;
    if (const auto reader = WorkbookReader::open(path, &error))
        for (const QString& name : reader->sheetNames())
            reader->sheet(name, &error);
    return 0;
}
