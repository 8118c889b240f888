// A synchronisation in a process of its own. With "kill" it kills itself
// once the server has taken the replica's changes and before the replica
// takes the server's, as a crash or a power cut would stop it.
//   replication_probe <replica> <server> [kill]
#include "data/Replication.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    if (argc > 3 && QByteArray(argv[3]) == "kill")
        Replication::setPushedHook([] { std::raise(SIGKILL); });
    const auto outcome =
        Replication::synchronize(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
    return outcome.ok ? 0 : 1;
}
