#pragma once

#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>

class QTextCharFormat;
class QTextDocument;

// Writes a QTextDocument as a complete RTF document. Every run of text
// states all its character properties after \plain, so each run reads the
// same whatever came before it; fonts and colours are collected while the
// body is written and the tables are put in front of it at the end.
class RtfWriter {
public:
    explicit RtfWriter(const QTextDocument& document);
    QString write();

    // Text with RTF's special characters escaped and everything outside
    // ASCII as \uN? (tabs and line separators as \tab and \line).
    static void appendText(QString& out, QStringView text);

private:
    QString characterProperties(const QTextCharFormat& format);
    int fontIndex(const QString& family);
    int colorIndex(QRgb color);

    const QTextDocument& m_document;
    QStringList m_fonts;
    QList<QRgb> m_colors; // from index 1; index 0 is the automatic colour
};
