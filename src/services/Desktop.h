#pragma once

#include <QStringList>
#include <QUrl>

// Hands files and web addresses to the user's own programs (the browser, the
// PDF viewer, the spreadsheet program). Test hook: record() keeps what would
// have been opened instead of opening it.
class Desktop {
public:
    static bool openUrl(const QUrl& url);
    static bool openFile(const QString& path);

    static void record();
    static void stopRecording();
    static QList<QUrl> opened();
};
