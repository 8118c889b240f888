#pragma once

#include <QDate>
#include <QList>
#include <QString>

struct StoredTask {
    QString summary;
    QDate due;
};

// The tasks in the mail program's task list of a program folder, read back
// from its iCalendar files with libical.
QList<StoredTask> storedTasks(const QString& programFolder);
