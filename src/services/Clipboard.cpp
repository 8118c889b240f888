#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void Clipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

void Clipboard::setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString Clipboard::text() {
    return QGuiApplication::clipboard()->text();
}

void Clipboard::setRtf(const QString& rtf, const QString& plainText) {
    auto* data = new QMimeData;
    data->setData(QLatin1String(RtfMime), rtf.toLatin1());
    data->setData(QStringLiteral("application/rtf"), rtf.toLatin1());
    data->setText(plainText);
    QGuiApplication::clipboard()->setMimeData(data);
}

QString Clipboard::rtf() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    for (const QString& type : {QString::fromLatin1(RtfMime), QStringLiteral("application/rtf")})
        if (data->hasFormat(type))
            return QString::fromLatin1(data->data(type));
    return {};
}

bool Clipboard::hasRtf() {
    return !rtf().isEmpty();
}
