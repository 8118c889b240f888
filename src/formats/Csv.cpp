#include "Csv.h"

QString Csv::field(const QString& value) {
    const bool quoted = value.contains(u',') || value.contains(u'"') || value.contains(u'\r') ||
                        value.contains(u'\n');
    if (!quoted)
        return value;
    QString escaped = value;
    escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString Csv::write(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString& value : row)
            fields.append(field(value));
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return text;
}

QList<QStringList> Csv::parse(const QString& input) {
    QList<QStringList> rows;
    QStringList row;
    QString value;
    bool quoted = false;
    bool fieldStarted = false;
    qsizetype i = input.startsWith(QChar(0xFEFF)) ? 1 : 0;
    auto endRow = [&] {
        row.append(value);
        rows.append(row);
        row.clear();
        value.clear();
        fieldStarted = false;
    };
    for (; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < input.size() && input.at(i + 1) == u'"') {
                value += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                value += c;
            }
            continue;
        }
        if (c == u'"') {
            quoted = true;
            fieldStarted = true;
        } else if (c == u',') {
            row.append(value);
            value.clear();
            fieldStarted = true; // a field follows, even an empty one
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < input.size() && input.at(i + 1) == u'\n')
                ++i;
            endRow();
        } else {
            value += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !row.isEmpty())
        endRow();
    return rows;
}
