#include "data/Replication.h"

// Placeholder until the replication engine lands: every operation reports
// that replication is not available.
namespace Replication {

namespace {
Outcome unavailable() {
    Outcome outcome;
    outcome.error = QStringLiteral("Replication is not available in this version of Tessaly.");
    return outcome;
}
} // namespace

Outcome makeReplicable(const QString&) {
    return unavailable();
}

Outcome copyReplica(const QString&, const QString&, const QString&) {
    return unavailable();
}

Outcome synchronize(const QString&, const QString&) {
    return unavailable();
}

} // namespace Replication
