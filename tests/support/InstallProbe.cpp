// One start's installation step in a process of its own, begun at a moment
// given in milliseconds since the epoch, so that two of them race as two
// program starts from one double click do.
#include "data/Installation.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const qint64 startAt = QByteArray(argv[2]).toLongLong();
    while (QDateTime::currentMSecsSinceEpoch() < startAt)
        QThread::usleep(100);
    QString error;
    if (!Installation::run(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
