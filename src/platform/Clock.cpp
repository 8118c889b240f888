#include "Clock.h"

#include <optional>

namespace {
std::optional<QDateTime>& pinned() {
    static std::optional<QDateTime> moment;
    return moment;
}
} // namespace

QDateTime Clock::now() {
    return pinned() ? *pinned() : QDateTime::currentDateTime();
}

void Clock::pin(const QDateTime& moment) {
    pinned() = moment;
}

void Clock::advance(qint64 milliseconds) {
    if (pinned())
        pinned() = pinned()->addMSecs(milliseconds);
}

void Clock::unpin() {
    pinned().reset();
}

bool Clock::isPinned() {
    return pinned().has_value();
}
