#include "StoredTasks.h"

#include <QDir>
#include <QFile>

#include <libical/ical.h>

QList<StoredTask> storedTasks(const QString& programFolder) {
    QList<StoredTask> tasks;
    const QDir folder(programFolder + "/Outlook/Tasks");
    for (const QString& name : folder.entryList({"*.ics"}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        icalcomponent* calendar = icalparser_parse_string(file.readAll().constData());
        if (!calendar)
            continue;
        for (icalcomponent* todo =
                 icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT);
             todo; todo = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT)) {
            const icaltimetype due = icalcomponent_get_due(todo);
            tasks.append({QString::fromUtf8(icalcomponent_get_summary(todo)),
                          QDate(due.year, due.month, due.day)});
        }
        icalcomponent_free(calendar);
    }
    return tasks;
}
