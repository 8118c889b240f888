#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The program's own mail store, under program folder + "/Outlook/":
// "Inbox", "Outbox", "Sent Items", "Deleted Items" and "Drafts" are Maildir
// folders of RFC 5322 messages; "Calendar" and "Tasks" are vdir folders with
// one iCalendar file per item. Other mail programs and calendar tools
// (mbsync, khal, todoman, vdirsyncer) can share them.
class MailStore {
public:
    static QString root();                      // program folder + "/Outlook"
    static QString folder(const QString& name); // root + "/" + name
    static QStringList mailFolders();

    // Delivers a message into a Maildir folder; returns the file written.
    static QString deliver(const QString& folderName, const QByteArray& message, bool seen,
                           QString* error);
    static QStringList messages(const QString& folderName); // file paths, oldest first
    static bool move(const QString& messagePath, const QString& folderName, QString* error);

    struct Event {
        QString uid;
        QString summary;
        QString description;
        QString location;
        QDateTime start;
        int durationMinutes = 60;
        QString path; // the file it was read from
    };
    struct Todo {
        QString uid;
        QString summary;
        QString description;
        QDate due;
        QString path; // the file it was read from
    };
    // Writes Calendar/<uid>.ics (VEVENT) or Tasks/<uid>.ics (VTODO).
    static QString saveEvent(Event event, QString* error);
    static QString saveTodo(Todo todo, QString* error);
    // The items of Calendar and Tasks, read back; a file that is not
    // iCalendar is skipped.
    static QList<Event> events();
    static QList<Todo> todos();
    static QByteArray eventCalendar(const Event& event); // the iCalendar text
    static QByteArray todoCalendar(const Todo& todo);

private:
    static bool ensureMaildir(const QString& path, QString* error);
    static QString writeItem(const QString& folderName, const QString& uid,
                             const QByteArray& calendar, QString* error);
};
