#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// Today and now, for every window. Test hook: pin() fixes the time, so the
// results do not depend on when a test runs; advance() moves a pinned clock.
class Clock {
public:
    static QDateTime now();
    static QDate today() { return now().date(); }
    static QTime time() { return now().time(); }

    static void pin(const QDateTime& moment);
    static void advance(qint64 milliseconds);
    static void unpin();
    static bool isPinned();
};
