#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Comma separated values as spreadsheet programs write and read them: a
// field holding a comma, a double quote, CR or LF is enclosed in double
// quotes with its quotes doubled; lines end with CRLF.
class Csv {
public:
    static QString write(const QList<QStringList>& rows);
    static QString field(const QString& value);
    // Accepts CRLF, LF or CR line ends and a leading byte order mark; a
    // final line break adds no row.
    static QList<QStringList> parse(const QString& text);
};
