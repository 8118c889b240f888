#include "MailStore.h"

#include "platform/Clock.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSysInfo>
#include <QTimeZone>
#include <QUuid>
#include <algorithm>
#include <libical/ical.h>

namespace {

QString maildirName() {
    static int counter = 0;
    return QStringLiteral("%1.P%2Q%3.%4")
        .arg(Clock::now().toSecsSinceEpoch())
        .arg(QCoreApplication::applicationPid())
        .arg(++counter)
        .arg(QSysInfo::machineHostName().replace(u'/', u'_').replace(u':', u'_'));
}

icaltimetype stamp() {
    return icaltime_from_timet_with_zone(time_t(Clock::now().toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

icaltimetype localTime(const QDateTime& moment) {
    icaltimetype t = icaltime_null_time();
    t.year = moment.date().year();
    t.month = moment.date().month();
    t.day = moment.date().day();
    t.hour = moment.time().hour();
    t.minute = moment.time().minute();
    t.second = moment.time().second();
    return t;
}

icaltimetype dateOnly(const QDate& date) {
    icaltimetype t = icaltime_null_date();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    return t;
}

// A calendar holding one component, as iCalendar text.
QByteArray calendarText(icalcomponent* item) {
    icalcomponent* calendar = icalcomponent_vanew(
        ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
        icalproperty_new_prodid("-//Tessaly//Tessaly//EN"), item, static_cast<void*>(nullptr));
    char* text = icalcomponent_as_ical_string_r(calendar);
    const QByteArray result(text);
    free(text);
    icalcomponent_free(calendar);
    return result;
}

void addText(icalcomponent* item, icalproperty* (*make)(const char*), const QString& text) {
    if (!text.isEmpty())
        icalcomponent_add_property(item, make(text.toUtf8().constData()));
}

} // namespace

QString MailStore::root() {
    return ProgramFolder::file(QStringLiteral("Outlook"));
}

QString MailStore::folder(const QString& name) {
    return QDir(root()).filePath(name);
}

QStringList MailStore::mailFolders() {
    return {QStringLiteral("Inbox"), QStringLiteral("Outbox"), QStringLiteral("Sent Items"),
            QStringLiteral("Deleted Items"), QStringLiteral("Drafts")};
}

bool MailStore::ensureMaildir(const QString& path, QString* error) {
    for (const char* sub : {"cur", "new", "tmp"})
        if (!QDir().mkpath(QDir(path).filePath(QLatin1String(sub)))) {
            if (error)
                *error = QStringLiteral("The mail folder %1 cannot be created.")
                             .arg(QDir::toNativeSeparators(path));
            return false;
        }
    return true;
}

QString MailStore::deliver(const QString& folderName, const QByteArray& message, bool seen,
                           QString* error) {
    const QString path = folder(folderName);
    if (!ensureMaildir(path, error))
        return {};
    // Maildir delivery: write under tmp, then move into place in one step.
    const QString name = maildirName();
    const QString temporary = QDir(path).filePath(QStringLiteral("tmp/") + name);
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size() ||
        !file.flush()) {
        if (error)
            *error = QStringLiteral("The message cannot be written to %1: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        file.remove();
        return {};
    }
    file.close();
    const QString target =
        seen ? QDir(path).filePath(QStringLiteral("cur/") + name + QStringLiteral(":2,S"))
             : QDir(path).filePath(QStringLiteral("new/") + name);
    if (!QFile::rename(temporary, target)) {
        if (error)
            *error = QStringLiteral("The message cannot be filed in %1.")
                         .arg(QDir::toNativeSeparators(path));
        QFile::remove(temporary);
        return {};
    }
    return target;
}

QStringList MailStore::messages(const QString& folderName) {
    QStringList files;
    for (const char* sub : {"cur", "new"}) {
        QDir dir(QDir(folder(folderName)).filePath(QLatin1String(sub)));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            files.append(dir.filePath(name));
    }
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });
    return files;
}

bool MailStore::move(const QString& messagePath, const QString& folderName, QString* error) {
    const QString path = folder(folderName);
    if (!ensureMaildir(path, error))
        return false;
    const QString name = QFileInfo(messagePath).fileName().section(u':', 0, 0);
    if (!QFile::rename(messagePath, QDir(path).filePath(QStringLiteral("cur/") + name +
                                                        QStringLiteral(":2,S")))) {
        if (error)
            *error = QStringLiteral("The message cannot be moved to %1.").arg(folderName);
        return false;
    }
    return true;
}

QByteArray MailStore::eventCalendar(const Event& event) {
    icalcomponent* item = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(item, icalproperty_new_uid(event.uid.toUtf8().constData()));
    icalcomponent_add_property(item, icalproperty_new_dtstamp(stamp()));
    addText(item, icalproperty_new_summary, event.summary);
    addText(item, icalproperty_new_description, event.description);
    addText(item, icalproperty_new_location, event.location);
    if (event.start.isValid())
        icalcomponent_add_property(item, icalproperty_new_dtstart(localTime(event.start)));
    icaldurationtype duration = icaldurationtype_null_duration();
    duration.hours = uint(event.durationMinutes / 60);
    duration.minutes = uint(event.durationMinutes % 60);
    icalcomponent_add_property(item, icalproperty_new_duration(duration));
    return calendarText(item);
}

QByteArray MailStore::todoCalendar(const Todo& todo) {
    icalcomponent* item = icalcomponent_new(ICAL_VTODO_COMPONENT);
    icalcomponent_add_property(item, icalproperty_new_uid(todo.uid.toUtf8().constData()));
    icalcomponent_add_property(item, icalproperty_new_dtstamp(stamp()));
    addText(item, icalproperty_new_summary, todo.summary);
    addText(item, icalproperty_new_description, todo.description);
    if (todo.due.isValid())
        icalcomponent_add_property(item, icalproperty_new_due(dateOnly(todo.due)));
    icalcomponent_add_property(item, icalproperty_new_status(ICAL_STATUS_NEEDSACTION));
    return calendarText(item);
}

QString MailStore::writeItem(const QString& folderName, const QString& uid,
                             const QByteArray& calendar, QString* error) {
    const QString path = folder(folderName);
    if (!QDir().mkpath(path)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.")
                         .arg(QDir::toNativeSeparators(path));
        return {};
    }
    const QString file = QDir(path).filePath(uid + QStringLiteral(".ics"));
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(calendar) != calendar.size() ||
        !out.commit()) {
        if (error)
            *error = QStringLiteral("The item cannot be saved in %1: %2")
                         .arg(QDir::toNativeSeparators(path), out.errorString());
        return {};
    }
    return file;
}

QString MailStore::saveEvent(Event event, QString* error) {
    if (event.uid.isEmpty())
        event.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return writeItem(QStringLiteral("Calendar"), event.uid, eventCalendar(event), error);
}

QString MailStore::saveTodo(Todo todo, QString* error) {
    if (todo.uid.isEmpty())
        todo.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return writeItem(QStringLiteral("Tasks"), todo.uid, todoCalendar(todo), error);
}

namespace {

// The first component of a kind in an iCalendar file; the caller frees the
// returned calendar.
icalcomponent* readComponent(const QString& path, icalcomponent_kind kind,
                             icalcomponent** calendar) {
    QFile file(path);
    *calendar = nullptr;
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    *calendar = icalparser_parse_string(file.readAll().constData());
    if (!*calendar)
        return nullptr;
    if (icalcomponent_isa(*calendar) == kind)
        return *calendar;
    return icalcomponent_get_first_component(*calendar, kind);
}

QString textOf(icalcomponent* item, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(item, kind);
    if (!property)
        return {};
    icalvalue* value = icalproperty_get_value(property);
    const char* text = icalvalue_isa(value) == ICAL_TEXT_VALUE ? icalvalue_get_text(value)
                                                               : icalvalue_as_ical_string(value);
    return QString::fromUtf8(text ? text : "");
}

QDateTime momentOf(icaltimetype t) {
    if (icaltime_is_null_time(t))
        return {};
    if (icaltime_is_utc(t))
        return QDateTime::fromSecsSinceEpoch(qint64(icaltime_as_timet(t)), QTimeZone::utc())
            .toLocalTime();
    return QDateTime(QDate(t.year, t.month, t.day),
                     t.is_date ? QTime(0, 0) : QTime(t.hour, t.minute, t.second));
}

QStringList itemFiles(const QString& folderName) {
    QDir dir(MailStore::folder(folderName));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name))
        files.append(dir.filePath(name));
    return files;
}

} // namespace

QList<MailStore::Event> MailStore::events() {
    QList<Event> events;
    for (const QString& path : itemFiles(QStringLiteral("Calendar"))) {
        icalcomponent* calendar = nullptr;
        icalcomponent* item = readComponent(path, ICAL_VEVENT_COMPONENT, &calendar);
        if (item) {
            Event event;
            event.path = path;
            event.uid = textOf(item, ICAL_UID_PROPERTY);
            event.summary = textOf(item, ICAL_SUMMARY_PROPERTY);
            event.description = textOf(item, ICAL_DESCRIPTION_PROPERTY);
            event.location = textOf(item, ICAL_LOCATION_PROPERTY);
            event.start = momentOf(icalcomponent_get_dtstart(item));
            event.durationMinutes = icaldurationtype_as_int(icalcomponent_get_duration(item)) / 60;
            if (event.start.isValid())
                events.append(event);
        }
        if (calendar)
            icalcomponent_free(calendar);
    }
    std::sort(events.begin(), events.end(),
              [](const Event& a, const Event& b) { return a.start < b.start; });
    return events;
}

QList<MailStore::Todo> MailStore::todos() {
    QList<Todo> todos;
    for (const QString& path : itemFiles(QStringLiteral("Tasks"))) {
        icalcomponent* calendar = nullptr;
        icalcomponent* item = readComponent(path, ICAL_VTODO_COMPONENT, &calendar);
        if (item) {
            Todo todo;
            todo.path = path;
            todo.uid = textOf(item, ICAL_UID_PROPERTY);
            todo.summary = textOf(item, ICAL_SUMMARY_PROPERTY);
            todo.description = textOf(item, ICAL_DESCRIPTION_PROPERTY);
            todo.due = momentOf(icalcomponent_get_due(item)).date();
            todos.append(todo);
        }
        if (calendar)
            icalcomponent_free(calendar);
    }
    return todos;
}
