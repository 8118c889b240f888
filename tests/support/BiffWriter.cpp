#include "BiffWriter.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QtEndian>
#include <cmath>
#include <cstring>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

namespace BiffWriter {

namespace {

constexpr int MaxRecord = 8224;
// Cell formats after the 16 style formats: general, date, date and time.
constexpr int GeneralXf = 16, DateXf = 17, DateTimeXf = 18;
constexpr int DateTimeFormat = 164;

class Stream {
public:
    QByteArray data;

    void u8(int v) { data.append(char(v & 0xFF)); }
    void u16(int v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(quint32 v) {
        u16(int(v & 0xFFFF));
        u16(int(v >> 16));
    }
    void f64(double v) {
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(quint32(bits & 0xFFFFFFFFu));
        u32(quint32(bits >> 32));
    }
    void record(int type, const QByteArray& body) {
        u16(type);
        u16(int(body.size()));
        data.append(body);
    }
};

QByteArray windows1252(const QString& text) {
    QByteArray bytes;
    for (const QChar ch : text) {
        if (ch.unicode() == 0x20AC)
            bytes.append(char(0x80));
        else if (ch.unicode() < 0x100 && (ch.unicode() < 0x80 || ch.unicode() >= 0xA0))
            bytes.append(char(ch.unicode()));
        else
            bytes.append('?');
    }
    return bytes;
}

bool wide(const QString& text) {
    for (const QChar ch : text)
        if (ch.unicode() > 0xFF)
            return true;
    return false;
}

// A BIFF8 text with a length field of one or two bytes.
void unicodeString(Stream& out, const QString& text, int lengthBytes) {
    if (lengthBytes == 1)
        out.u8(int(text.size()));
    else
        out.u16(int(text.size()));
    const bool high = wide(text);
    out.u8(high ? 1 : 0);
    for (const QChar ch : text) {
        if (high)
            out.u16(ch.unicode());
        else
            out.u8(ch.unicode());
    }
}

void byteString(Stream& out, const QString& text, int lengthBytes) {
    const QByteArray bytes = windows1252(text);
    if (lengthBytes == 1)
        out.u8(int(bytes.size()));
    else
        out.u16(int(bytes.size()));
    out.data.append(bytes);
}

QByteArray bof(bool biff8, int kind) {
    Stream body;
    body.u16(biff8 ? 0x0600 : 0x0500);
    body.u16(kind);
    body.u16(0x0DBB);
    body.u16(0x07CC);
    if (biff8) {
        body.u32(0);
        body.u32(0x0206);
    }
    return body.data;
}

QByteArray xf(bool biff8, int format, bool style) {
    Stream body;
    body.u16(0);
    body.u16(format);
    body.u16(style ? 0xFFF5 : 0x0001);
    body.data.resize(biff8 ? 20 : 16);
    return body.data;
}

double serial(const QVariant& value) {
    const QDate base(1899, 12, 30);
    if (value.typeId() == QMetaType::QDate)
        return double(base.daysTo(value.toDate()));
    const QDateTime moment = value.toDateTime();
    return double(base.daysTo(moment.date())) + moment.time().msecsSinceStartOfDay() / 86400000.0;
}

// The shared texts in an SST and as many CONTINUE records as they need,
// each text whole in one record.
void sharedTexts(Stream& out, const QStringList& texts, int total) {
    Stream body;
    body.u32(quint32(total));
    body.u32(quint32(texts.size()));
    int type = 0x00FC;
    for (const QString& text : texts) {
        Stream one;
        unicodeString(one, text, 2);
        if (body.data.size() + one.data.size() > MaxRecord) {
            out.record(type, body.data);
            type = 0x003C;
            body.data.clear();
        }
        body.data.append(one.data);
    }
    out.record(type, body.data);
}

} // namespace

bool write(const QString& path, const QList<Sheet>& sheets, const Layout& layout, QString* error) {
    const bool biff8 = layout.version == Version::Biff8;
    QStringList shared;
    QHash<QString, int> sharedIndex;
    int sharedTotal = 0;
    if (biff8)
        for (const Sheet& sheet : sheets)
            for (const QList<QVariant>& row : sheet.rows)
                for (const QVariant& cell : row)
                    if (cell.typeId() == QMetaType::QString) {
                        ++sharedTotal;
                        if (!sharedIndex.contains(cell.toString())) {
                            sharedIndex.insert(cell.toString(), int(shared.size()));
                            shared.append(cell.toString());
                        }
                    }

    Stream globals;
    globals.record(0x0809, bof(biff8, 0x0005));
    {
        Stream body;
        body.u16(biff8 ? 1200 : 1252);
        globals.record(0x0042, body.data);
    }
    {
        Stream body;
        body.u16(0);
        globals.record(0x0022, body.data);
    }
    {
        Stream body;
        body.u16(DateTimeFormat);
        if (biff8)
            unicodeString(body, QStringLiteral("m/d/yyyy h:mm"), 2);
        else
            byteString(body, QStringLiteral("m/d/yyyy h:mm"), 1);
        globals.record(0x041E, body.data);
    }
    for (int i = 0; i < 16; ++i)
        globals.record(0x00E0, xf(biff8, 0, true));
    globals.record(0x00E0, xf(biff8, 0, false));
    globals.record(0x00E0, xf(biff8, 14, false));
    globals.record(0x00E0, xf(biff8, DateTimeFormat, false));
    QList<qsizetype> sheetOffsets;
    for (const Sheet& sheet : sheets) {
        Stream body;
        body.u32(0); // the sheet's place, filled in below
        body.u16(0);
        if (biff8)
            unicodeString(body, sheet.name, 1);
        else
            byteString(body, sheet.name, 1);
        sheetOffsets.append(globals.data.size() + 4);
        globals.record(0x0085, body.data);
    }
    if (biff8)
        sharedTexts(globals, shared, sharedTotal);
    globals.record(0x000A, {});

    for (int s = 0; s < sheets.size(); ++s) {
        qToLittleEndian<quint32>(quint32(globals.data.size()),
                                 globals.data.data() + sheetOffsets.at(s));
        const Sheet& sheet = sheets.at(s);
        globals.record(0x0809, bof(biff8, 0x0010));
        int columns = 0;
        for (const QList<QVariant>& row : sheet.rows)
            columns = std::max(columns, int(row.size()));
        {
            Stream body;
            if (biff8 || layout.longDimensions) {
                body.u32(0);
                body.u32(quint32(sheet.rows.size()));
            } else {
                body.u16(0);
                body.u16(int(sheet.rows.size()));
            }
            body.u16(0);
            body.u16(columns);
            body.u16(0);
            globals.record(0x0200, body.data);
        }
        for (int r = 0; r < sheet.rows.size(); ++r) {
            const QList<QVariant>& row = sheet.rows.at(r);
            for (int c = 0; c < row.size(); ++c) {
                const QVariant& cell = row.at(c);
                if (cell.isNull())
                    continue;
                Stream body;
                body.u16(r);
                body.u16(c);
                switch (cell.typeId()) {
                case QMetaType::QString:
                    body.u16(GeneralXf);
                    if (biff8) {
                        body.u32(quint32(sharedIndex.value(cell.toString())));
                        globals.record(0x00FD, body.data);
                    } else {
                        byteString(body, cell.toString(), 2);
                        globals.record(0x0204, body.data);
                    }
                    break;
                case QMetaType::Bool:
                    body.u16(GeneralXf);
                    body.u8(cell.toBool() ? 1 : 0);
                    body.u8(0);
                    globals.record(0x0205, body.data);
                    break;
                case QMetaType::QDate:
                case QMetaType::QDateTime:
                    body.u16(cell.typeId() == QMetaType::QDate ? DateXf : DateTimeXf);
                    body.f64(serial(cell));
                    globals.record(0x0203, body.data);
                    break;
                default: {
                    const double value = cell.toDouble();
                    body.u16(GeneralXf);
                    if (value == std::floor(value) && std::fabs(value) < (1 << 28)) {
                        body.u32(quint32(qint32(value) << 2) | 0x02);
                        globals.record(0x027E, body.data);
                    } else {
                        body.f64(value);
                        globals.record(0x0203, body.data);
                    }
                }
                }
            }
        }
        globals.record(0x000A, {});
    }

    gsf_init();
    GError* problem = nullptr;
    GsfOutput* file = gsf_output_stdio_new(QFile::encodeName(path).constData(), &problem);
    if (!file) {
        if (error)
            *error = problem ? QString::fromUtf8(problem->message) : QStringLiteral("not written");
        if (problem)
            g_error_free(problem);
        return false;
    }
    GsfOutfile* compound = gsf_outfile_msole_new(file);
    const QByteArray name = !layout.streamName.isEmpty() ? layout.streamName.toUtf8()
                            : biff8                      ? QByteArray("Workbook")
                                                         : QByteArray("Book");
    GsfOutput* stream = gsf_outfile_new_child(compound, name.constData(), FALSE);
    const bool written =
        gsf_output_write(stream, size_t(globals.data.size()),
                         reinterpret_cast<const guint8*>(globals.data.constData()));
    gsf_output_close(stream);
    g_object_unref(stream);
    // Closing the compound file closes the file beneath it.
    gsf_output_close(GSF_OUTPUT(compound));
    g_object_unref(compound);
    g_object_unref(file);
    if (!written && error)
        *error = QStringLiteral("the workbook stream was not written");
    return written;
}

} // namespace BiffWriter
