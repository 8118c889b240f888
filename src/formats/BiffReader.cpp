#include "BiffReader.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <mutex>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

namespace {

// Record types.
constexpr quint16 Bof = 0x0809, Eof = 0x000A, CodePage = 0x0042, DateMode = 0x0022, Format = 0x041E,
                  Xf = 0x00E0, BoundSheet = 0x0085, Sst = 0x00FC, Continue = 0x003C,
                  Number = 0x0203, Rk = 0x027E, MulRk = 0x00BD, LabelSst = 0x00FD, Label = 0x0204,
                  RString = 0x00D6, BoolErr = 0x0205, Formula = 0x0006, String = 0x0207;

// The largest workbook stream read: far beyond any sheet the readers accept.
constexpr qint64 MaxStream = 512LL * 1024 * 1024;

// Reads the little-endian fields of one record's data; a read past its end
// gives zero and marks the reader as failed.
class Fields {
public:
    Fields(const char* data, qsizetype size)
        : m_data(data)
        , m_size(size) {}

    bool ok() const { return m_ok; }
    qsizetype left() const { return m_size - m_at; }
    void skip(qsizetype bytes) {
        if (bytes < 0 || bytes > left()) {
            m_ok = false;
            m_at = m_size;
        } else {
            m_at += bytes;
        }
    }
    quint8 u8() { return take(1) ? quint8(m_data[m_at - 1]) : 0; }
    quint16 u16() { return take(2) ? qFromLittleEndian<quint16>(m_data + m_at - 2) : 0; }
    quint32 u32() { return take(4) ? qFromLittleEndian<quint32>(m_data + m_at - 4) : 0; }
    double f64() {
        if (!take(8))
            return 0;
        const quint64 bits = qFromLittleEndian<quint64>(m_data + m_at - 8);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    const char* bytes(qsizetype count) { return take(count) ? m_data + m_at - count : nullptr; }

private:
    bool take(qsizetype bytes) {
        if (!m_ok || bytes > left()) {
            m_ok = false;
            return false;
        }
        m_at += bytes;
        return true;
    }

    const char* m_data;
    qsizetype m_size;
    qsizetype m_at = 0;
    bool m_ok = true;
};

struct Record {
    quint16 type = 0;
    const char* data = nullptr;
    qsizetype size = 0;
    Fields fields() const { return Fields(data, size); }
};

// The records of the stream from a position on.
class Records {
public:
    Records(const QByteArray& stream, qsizetype at)
        : m_stream(stream)
        , m_at(at) {}

    bool next(Record& record) {
        if (m_at < 0 || m_at + 4 > m_stream.size())
            return false;
        const char* head = m_stream.constData() + m_at;
        const quint16 size = qFromLittleEndian<quint16>(head + 2);
        if (m_at + 4 + size > m_stream.size())
            return false;
        record = {qFromLittleEndian<quint16>(head), head + 4, size};
        m_at += 4 + size;
        return true;
    }
    // The type of the record that follows, 0 at the end.
    quint16 peek() const {
        if (m_at < 0 || m_at + 4 > m_stream.size())
            return 0;
        return qFromLittleEndian<quint16>(m_stream.constData() + m_at);
    }

private:
    const QByteArray& m_stream;
    qsizetype m_at;
};

// Windows-1252 beyond Latin-1: the code page of most BIFF5 workbooks.
QChar windows1252(quint8 byte) {
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? QChar(high[byte - 0x80]) : QChar(byte);
}

// Byte texts of BIFF5 in the workbook's code page.
class CodePageText {
public:
    void setCodePage(quint16 codePage) {
        m_codePage = codePage;
        m_decoder.reset();
        if (codePage == 1252 || codePage == 0 || codePage == 1200 || codePage == 0x8000 ||
            codePage == 0x8001)
            return; // Windows-1252 (and the Mac and Unicode markers read as it)
        const QByteArray name = codePage == 65001
                                    ? QByteArray("UTF-8")
                                    : QByteArray("windows-") + QByteArray::number(codePage);
        auto decoder = std::make_unique<QStringDecoder>(name.constData());
        if (decoder->isValid())
            m_decoder = std::move(decoder);
    }
    QString decode(const char* bytes, qsizetype count) const {
        if (!bytes)
            return {};
        if (m_decoder)
            return (*m_decoder)(QByteArrayView(bytes, count));
        QString text(count, Qt::Uninitialized);
        for (qsizetype i = 0; i < count; ++i)
            text[i] = windows1252(quint8(bytes[i]));
        return text;
    }

private:
    quint16 m_codePage = 1252;
    mutable std::unique_ptr<QStringDecoder> m_decoder;
};

// Characters of BIFF8: one byte each (the low byte of UTF-16) or UTF-16LE.
QString unicodeChars(Fields& in, int count, bool highBytes) {
    const char* bytes = in.bytes(qsizetype(count) * (highBytes ? 2 : 1));
    if (!bytes)
        return {};
    if (!highBytes)
        return QString::fromLatin1(bytes, count);
    QString text(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(bytes + 2 * i));
    return text;
}

// A BIFF8 text whose length field is `lengthBytes` wide, with its options.
QString unicodeString(Fields& in, int lengthBytes) {
    const int count = lengthBytes == 1 ? in.u8() : in.u16();
    const quint8 flags = in.u8();
    if (flags & 0x08)
        in.u16(); // rich text runs, after the characters
    if (flags & 0x04)
        in.u32(); // phonetic data, after the characters
    return unicodeChars(in, count, flags & 0x01);
}

// The shared texts of BIFF8 (SST with its CONTINUE records). A text may be
// split across records; its characters then go on after an options byte that
// says again whether they are one or two bytes wide.
QList<QString> sharedTexts(const Record& sst, Records& records) {
    QByteArray data(sst.data, sst.size);
    QList<qsizetype> starts; // where each CONTINUE's data begins
    Record more;
    while (records.peek() == Continue && records.next(more)) {
        starts.append(data.size());
        data.append(more.data, more.size);
    }
    QList<QString> texts;
    Fields in(data.constData(), data.size());
    in.u32();
    const quint32 unique = in.u32();
    qsizetype boundary = 0;
    auto at = [&] { return data.size() - in.left(); };
    auto nextStart = [&]() -> qsizetype {
        while (boundary < starts.size() && starts.at(boundary) < at())
            ++boundary;
        return boundary < starts.size() ? starts.at(boundary) : data.size() + 1;
    };
    texts.reserve(qsizetype(std::min<quint32>(unique, 1u << 20)));
    while (quint32(texts.size()) < unique && in.ok() && in.left() > 0) {
        const int count = in.u16();
        const quint8 flags = in.u8();
        const int runs = (flags & 0x08) ? in.u16() : 0;
        const qint64 phonetic = (flags & 0x04) ? in.u32() : 0;
        bool high = flags & 0x01;
        QString text;
        text.reserve(count);
        while (text.size() < count && in.ok()) {
            qsizetype start = nextStart();
            if (start == at()) {
                high = in.u8() & 0x01; // a new record: the characters' width again
                ++boundary;
                start = nextStart();
            }
            const qsizetype width = high ? 2 : 1;
            const qsizetype fit = (std::min<qsizetype>(start, data.size()) - at()) / width;
            const int take =
                int(std::min<qsizetype>(count - text.size(), std::max<qsizetype>(fit, 1)));
            text += unicodeChars(in, take, high);
        }
        in.skip(qsizetype(runs) * 4 + phonetic);
        if (!in.ok())
            break;
        texts.append(text);
    }
    return texts;
}

// Whether a number format shows dates or times: the built-in date and time
// formats, or a format of its own with day, month, year, hour or second
// codes outside quoted texts and brackets.
bool isDateFormat(int index, const QString& code) {
    if ((index >= 14 && index <= 22) || (index >= 45 && index <= 47) ||
        (index >= 27 && index <= 36) || (index >= 50 && index <= 58))
        return true;
    if (code.isEmpty())
        return false;
    bool quoted = false, bracket = false, escaped = false;
    for (const QChar ch : code) {
        if (escaped) {
            escaped = false;
            continue;
        }
        if (ch == u'\\') {
            escaped = true;
        } else if (ch == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (ch == u'[') {
            bracket = true;
        } else if (ch == u']') {
            bracket = false;
        } else if (!bracket) {
            const QChar lower = ch.toLower();
            if (lower == u'd' || lower == u'm' || lower == u'y' || lower == u'h' || lower == u's')
                return code.compare(QLatin1String("General"), Qt::CaseInsensitive) != 0;
        }
    }
    return false;
}

// Whether a date format shows a time of day alone.
bool isTimeOnly(const QString& code) {
    const QString lower = code.toLower();
    return !lower.contains(u'd') && !lower.contains(u'y') && lower.contains(u'h');
}

double rkValue(quint32 rk) {
    double value;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

struct Globals {
    bool biff8 = true;
    bool date1904 = false;
    CodePageText codePage;
    QHash<int, QString> formats;
    QList<int> xfFormats; // number format of each cell format
    QList<QString> shared;
    struct Sheet {
        QString name;
        qint64 offset;
    };
    QList<Sheet> sheets;

    // A number as its cell's format shows it: a date, a time or a number.
    QVariant number(double value, int xf) const {
        if (xf < 0 || xf >= xfFormats.size() || !std::isfinite(value))
            return value;
        const int index = xfFormats.at(xf);
        const QString code = formats.value(index);
        if (!isDateFormat(index, code) || value < 0 || value > 2958465)
            return value;
        const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
        const double days = std::floor(value);
        const qint64 msecs = qint64(std::llround((value - days) * 86400000.0));
        if (isTimeOnly(code) && days == 0)
            return QTime(0, 0).addMSecs(int(msecs)).toString(QStringLiteral("HH:mm:ss"));
        const QDate date = base.addDays(qint64(days));
        if (msecs == 0)
            return date;
        return QDateTime(date, QTime(0, 0)).addMSecs(msecs);
    }
    QString byteString(Fields& in, int lengthBytes) const {
        if (biff8)
            return unicodeString(in, lengthBytes);
        const int count = lengthBytes == 1 ? in.u8() : in.u16();
        return codePage.decode(in.bytes(count), count);
    }
};

bool readGlobals(const QByteArray& stream, bool bookStream, Globals& globals, QString* why) {
    Records records(stream, 0);
    Record record;
    if (!records.next(record) || (record.type & 0xFF) != (Bof & 0xFF)) {
        *why = QStringLiteral("its workbook stream does not begin with a BIFF header.");
        return false;
    }
    if (record.type != Bof) {
        *why = QStringLiteral("it is in a spreadsheet format older than Excel 5.0.");
        return false;
    }
    Fields bof = record.fields();
    const quint16 version = bof.u16();
    globals.biff8 = version == 0x0600 || (version != 0x0500 && !bookStream);
    while (records.next(record)) {
        Fields in = record.fields();
        switch (record.type) {
        case Eof:
            return true;
        case CodePage:
            globals.codePage.setCodePage(in.u16());
            break;
        case DateMode:
            globals.date1904 = in.u16() == 1;
            break;
        case Format: {
            const int index = in.u16();
            const QString code = globals.byteString(in, globals.biff8 ? 2 : 1);
            if (in.ok())
                globals.formats.insert(index, code);
            break;
        }
        case Xf: {
            in.u16(); // font
            globals.xfFormats.append(in.u16());
            break;
        }
        case BoundSheet: {
            const quint32 offset = in.u32();
            in.u8(); // visible or hidden
            const quint8 kind = in.u8();
            const QString name = globals.byteString(in, 1);
            if (in.ok() && kind == 0)
                globals.sheets.append({name, qint64(offset)});
            break;
        }
        case Sst:
            globals.shared = sharedTexts(record, records);
            break;
        default:
            break;
        }
    }
    return true; // a stream cut short after its sheet list: what is there is read
}

bool readSheet(const QByteArray& stream, const Globals& globals, Globals::Sheet at,
               Worksheet& sheet, const QString& path, QString* error) {
    sheet.name = at.name;
    Records records(stream, qsizetype(at.offset));
    Record record;
    if (!records.next(record) || record.type != Bof)
        return true; // a sheet whose place is wrong is read as empty
    int nested = 0;
    int lastRow = -1, lastColumn = -1;
    bool tooLarge = false;
    auto put = [&](int row, int column, const QVariant& value) {
        if (value.isNull() || tooLarge)
            return;
        const int rows = std::max(lastRow, row) + 1, columns = std::max(lastColumn, column) + 1;
        if (qint64(rows) * columns > WorkbookReader::MaxCells) {
            tooLarge = true;
            return;
        }
        lastRow = rows - 1;
        lastColumn = columns - 1;
        sheet.setCell(row, column, value);
    };
    int formulaRow = -1, formulaColumn = -1;
    while (!tooLarge && records.next(record)) {
        Fields in = record.fields();
        if (record.type == Bof) {
            ++nested; // a chart inside the sheet
            continue;
        }
        if (record.type == Eof) {
            if (nested-- == 0)
                break;
            continue;
        }
        if (nested > 0)
            continue;
        switch (record.type) {
        case Number: {
            const int row = in.u16(), column = in.u16(), xf = in.u16();
            const double value = in.f64();
            if (in.ok())
                put(row, column, globals.number(value, xf));
            break;
        }
        case Rk: {
            const int row = in.u16(), column = in.u16(), xf = in.u16();
            const quint32 rk = in.u32();
            if (in.ok())
                put(row, column, globals.number(rkValue(rk), xf));
            break;
        }
        case MulRk: {
            const int row = in.u16();
            int column = in.u16();
            while (in.left() >= 8) {
                const int xf = in.u16();
                const quint32 rk = in.u32();
                put(row, column++, globals.number(rkValue(rk), xf));
            }
            break;
        }
        case LabelSst: {
            const int row = in.u16(), column = in.u16();
            in.u16();
            const quint32 index = in.u32();
            if (in.ok() && index < quint32(globals.shared.size()))
                put(row, column, globals.shared.at(index));
            break;
        }
        case Label:
        case RString: {
            const int row = in.u16(), column = in.u16();
            in.u16();
            const QString text = globals.byteString(in, 2);
            if (in.ok())
                put(row, column, text);
            break;
        }
        case BoolErr: {
            const int row = in.u16(), column = in.u16();
            in.u16();
            const quint8 value = in.u8();
            const quint8 isError = in.u8();
            if (in.ok() && !isError)
                put(row, column, bool(value));
            break;
        }
        case Formula: {
            const int row = in.u16(), column = in.u16(), xf = in.u16();
            const char* result = in.bytes(8);
            if (!result)
                break;
            if (quint8(result[6]) == 0xFF && quint8(result[7]) == 0xFF) {
                if (result[0] == 0) { // a text, in the STRING record that follows
                    formulaRow = row;
                    formulaColumn = column;
                } else if (result[0] == 1) {
                    put(row, column, bool(result[2]));
                }
            } else {
                Fields value(result, 8);
                put(row, column, globals.number(value.f64(), xf));
            }
            break;
        }
        case String: {
            if (formulaRow < 0)
                break;
            const QString text = globals.byteString(in, 2);
            if (in.ok())
                put(formulaRow, formulaColumn, text);
            formulaRow = formulaColumn = -1;
            break;
        }
        default:
            break;
        }
    }
    if (tooLarge) {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: it is too large (the "
                                    "worksheet '%2' spans more than %L3 cells).")
                         .arg(QDir::toNativeSeparators(path), at.name)
                         .arg(WorkbookReader::MaxCells);
        return false;
    }
    return true;
}

// The workbook stream of the compound file, and whether it is the BIFF5 "Book".
std::optional<QByteArray> workbookStream(const QString& path, bool* book, QString* why) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { gsf_init(); });
    GError* problem = nullptr;
    GsfInput* input = gsf_input_stdio_new(QFile::encodeName(path).constData(), &problem);
    if (!input) {
        *why =
            problem ? QString::fromUtf8(problem->message) : QStringLiteral("it cannot be opened.");
        if (problem)
            g_error_free(problem);
        return std::nullopt;
    }
    GsfInfile* compound = gsf_infile_msole_new(input, &problem);
    g_object_unref(input);
    if (!compound) {
        if (problem)
            g_error_free(problem);
        *why = QStringLiteral("it is damaged or not an Excel workbook.");
        return std::nullopt;
    }
    int found = -1;
    for (int i = 0; i < gsf_infile_num_children(compound); ++i) {
        const QString name = QString::fromUtf8(gsf_infile_name_by_index(compound, i));
        if (name.compare(QLatin1String("Workbook"), Qt::CaseInsensitive) == 0) {
            found = i;
            *book = false;
            break;
        }
        if (name.compare(QLatin1String("Book"), Qt::CaseInsensitive) == 0) {
            found = i;
            *book = true;
        }
    }
    std::optional<QByteArray> data;
    GsfInput* stream = found >= 0 ? gsf_infile_child_by_index(compound, found) : nullptr;
    if (!stream) {
        *why = QStringLiteral("it holds no workbook.");
    } else {
        const gsf_off_t size = gsf_input_size(stream);
        if (size < 0 || size > MaxStream) {
            *why = QStringLiteral("its workbook stream is too large.");
        } else {
            QByteArray bytes(qsizetype(size), Qt::Uninitialized);
            if (size == 0 ||
                gsf_input_read(stream, size_t(size), reinterpret_cast<guint8*>(bytes.data())))
                data = std::move(bytes);
            else
                *why = QStringLiteral("its workbook stream cannot be read.");
        }
        g_object_unref(stream);
    }
    g_object_unref(compound);
    return data;
}

} // namespace

std::unique_ptr<WorkbookReader> BiffReader::open(const QString& path, QString* error) {
    QString why;
    bool book = false;
    const auto stream = workbookStream(path, &book, &why);
    if (!stream) {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return nullptr;
    }
    return fromStream(*stream, path, error, book);
}

std::unique_ptr<WorkbookReader> BiffReader::fromStream(const QByteArray& stream,
                                                       const QString& path, QString* error,
                                                       bool bookStream) {
    Globals globals;
    QString why;
    if (!readGlobals(stream, bookStream, globals, &why)) {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return nullptr;
    }
    std::unique_ptr<BiffReader> reader(new BiffReader);
    reader->m_path = path;
    for (const Globals::Sheet& at : globals.sheets) {
        Worksheet sheet;
        if (!readSheet(stream, globals, at, sheet, path, error))
            return nullptr;
        reader->m_sheetNames.append(at.name);
        reader->m_sheets.append(std::move(sheet));
    }
    return reader;
}

std::optional<Worksheet> BiffReader::sheet(const QString& name, QString* error) {
    const int index = sheetIndex(name);
    if (index < 0) {
        if (error)
            *error = QStringLiteral("The workbook %1 has no worksheet named '%2'.")
                         .arg(QDir::toNativeSeparators(m_path), name);
        return std::nullopt;
    }
    return m_sheets.at(index);
}
