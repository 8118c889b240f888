#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QVariant>
#include <QtEndian>

// Writes small workbooks in the Excel 97-2003 format (.xls) for the import
// tests: each sheet's cells are text (shared strings) or numbers; an
// invalid QVariant leaves the cell empty. The file is a compound document
// with one "Workbook" stream, as the older spreadsheet programs wrote it.
namespace XlsFixture {

struct Sheet {
    QString name;
    QList<QList<QVariant>> rows;
};

namespace detail {

inline void put16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
inline void put32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
inline void put64(QByteArray& out, quint64 v) {
    char b[8];
    qToLittleEndian(v, b);
    out.append(b, 8);
}
inline void record(QByteArray& out, quint16 id, const QByteArray& body) {
    put16(out, id);
    put16(out, quint16(body.size()));
    out.append(body);
}
// A string as BIFF8 writes it: its length, then the flag for 16-bit characters.
inline QByteArray unicode(const QString& text, bool shortLength) {
    QByteArray out;
    if (shortLength)
        out.append(char(text.size()));
    else
        put16(out, quint16(text.size()));
    out.append(char(1));
    for (QChar c : text)
        put16(out, c.unicode());
    return out;
}
inline QByteArray bof(quint16 kind) {
    QByteArray body;
    put16(body, 0x0600);
    put16(body, kind);
    put16(body, 0x0DBB);
    put16(body, 0x07CC);
    put32(body, 0);
    put32(body, 0x06);
    return body;
}

// The workbook stream: globals (with the shared strings and the sheets'
// positions), then one substream per sheet.
inline QByteArray workbookStream(const QList<Sheet>& sheets) {
    QStringList strings;
    for (const Sheet& sheet : sheets)
        for (const auto& row : sheet.rows)
            for (const QVariant& v : row)
                if (v.typeId() == QMetaType::QString && !strings.contains(v.toString()))
                    strings.append(v.toString());
    QList<QByteArray> substreams;
    for (const Sheet& sheet : sheets) {
        QByteArray s;
        record(s, 0x0809, bof(0x0010));
        int columns = 0;
        for (const auto& row : sheet.rows)
            columns = std::max(columns, int(row.size()));
        QByteArray dimension;
        put32(dimension, 0);
        put32(dimension, quint32(sheet.rows.size()));
        put16(dimension, 0);
        put16(dimension, quint16(columns));
        put16(dimension, 0);
        record(s, 0x0200, dimension);
        for (int r = 0; r < sheet.rows.size(); ++r)
            for (int c = 0; c < sheet.rows.at(r).size(); ++c) {
                const QVariant v = sheet.rows.at(r).at(c);
                if (!v.isValid())
                    continue;
                QByteArray cell;
                put16(cell, quint16(r));
                put16(cell, quint16(c));
                put16(cell, 0);
                if (v.typeId() == QMetaType::QString) {
                    put32(cell, quint32(strings.indexOf(v.toString())));
                    record(s, 0x00FD, cell);
                } else {
                    const double d = v.toDouble();
                    quint64 bits;
                    memcpy(&bits, &d, sizeof bits);
                    put64(cell, bits);
                    record(s, 0x0203, cell);
                }
            }
        record(s, 0x000A, {});
        substreams.append(s);
    }

    QByteArray codepage;
    put16(codepage, 1200);
    QByteArray sst;
    put32(sst, quint32(strings.size()));
    put32(sst, quint32(strings.size()));
    for (const QString& text : strings)
        sst.append(unicode(text, false));
    // The globals' size, to place the sheets behind them.
    int globals = 4 + 16 + 4 + 2 + 4 + int(sst.size()) + 4;
    for (const Sheet& sheet : sheets)
        globals += 4 + 6 + int(unicode(sheet.name, true).size());
    QByteArray out;
    record(out, 0x0809, bof(0x0005));
    record(out, 0x0042, codepage);
    int offset = globals;
    for (int i = 0; i < sheets.size(); ++i) {
        QByteArray bound;
        put32(bound, quint32(offset));
        put16(bound, 0);
        bound.append(unicode(sheets.at(i).name, true));
        record(out, 0x0085, bound);
        offset += int(substreams.at(i).size());
    }
    record(out, 0x00FC, sst);
    record(out, 0x000A, {});
    for (const QByteArray& s : substreams)
        out.append(s);
    return out;
}

inline QByteArray directoryEntry(const QString& name, quint8 type, quint32 child, quint32 start,
                                 quint32 size) {
    QByteArray e;
    for (int i = 0; i < 32; ++i)
        put16(e, i < name.size() ? name.at(i).unicode() : 0);
    put16(e, name.isEmpty() ? 0 : quint16((name.size() + 1) * 2));
    e.append(char(type));
    e.append(char(1)); // black
    put32(e, 0xFFFFFFFF);
    put32(e, 0xFFFFFFFF);
    put32(e, child);
    e.append(QByteArray(16 + 4 + 8 + 8, '\0'));
    put32(e, start);
    put64(e, size);
    return e;
}

} // namespace detail

inline bool write(const QString& path, const QList<Sheet>& sheets) {
    using namespace detail;
    constexpr quint32 End = 0xFFFFFFFE, Free = 0xFFFFFFFF, FatSector = 0xFFFFFFFD;
    QByteArray stream = workbookStream(sheets);
    // Streams under 4096 bytes would live in the mini stream: the stream is
    // padded past that with empty bytes behind its last record.
    const int padded = std::max(4096, int((stream.size() + 511) / 512 * 512));
    stream.append(QByteArray(padded - stream.size(), '\0'));
    const quint32 size = quint32(padded);
    const quint32 streamSectors = quint32(padded / 512);
    const quint32 directorySector = streamSectors;
    const quint32 fatSector = streamSectors + 1;

    QByteArray header;
    header.append(QByteArray::fromHex("D0CF11E0A1B11AE1"));
    header.append(QByteArray(16, '\0'));
    put16(header, 0x003E);
    put16(header, 0x0003);
    put16(header, 0xFFFE);
    put16(header, 9);
    put16(header, 6);
    header.append(QByteArray(6, '\0'));
    put32(header, 0); // directory sectors (version 3: 0)
    put32(header, 1); // FAT sectors
    put32(header, directorySector);
    put32(header, 0);    // transaction
    put32(header, 4096); // mini stream cutoff
    put32(header, End);  // mini FAT
    put32(header, 0);
    put32(header, End); // DIFAT
    put32(header, 0);
    put32(header, fatSector);
    for (int i = 1; i < 109; ++i)
        put32(header, Free);

    QByteArray directory;
    directory.append(directoryEntry(QStringLiteral("Root Entry"), 5, 1, End, 0));
    directory.append(directoryEntry(QStringLiteral("Workbook"), 2, 0xFFFFFFFF, 0, size));
    directory.append(directoryEntry(QString(), 0, 0xFFFFFFFF, 0, 0));
    directory.append(directoryEntry(QString(), 0, 0xFFFFFFFF, 0, 0));

    QByteArray fat;
    for (quint32 i = 0; i < streamSectors; ++i)
        put32(fat, i + 1 < streamSectors ? i + 1 : End);
    put32(fat, End);       // the directory
    put32(fat, FatSector); // the FAT itself
    while (fat.size() < 512)
        put32(fat, Free);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray all = header + stream + directory + fat;
    return file.write(all) == all.size();
}

} // namespace XlsFixture
