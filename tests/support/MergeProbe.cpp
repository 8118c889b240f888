// A merge of duplicate companies in a process of its own that kills itself
// after a given number of writes, as a crash or a power cut would stop it.
//   merge_probe <database> <kill after writes> <keep> <other>...
#include "data/CompanyMerge.h"
#include "data/SqliteConnection.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 5)
        return 2;
    QString error;
    const auto connection = SqliteConnection::shared(QString::fromLocal8Bit(argv[1]), &error);
    if (!connection) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const int killAfter = QByteArray(argv[2]).toInt();
    CompanyMerge::setWriteHook([killAfter](int writes) {
        if (writes == killAfter)
            std::raise(SIGKILL);
    });
    QList<qint64> others;
    for (int i = 4; i < argc; ++i)
        others.append(QByteArray(argv[i]).toLongLong());
    if (!CompanyMerge::merge(*connection, QByteArray(argv[3]).toLongLong(), others, nullptr,
                             &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
