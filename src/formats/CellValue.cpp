#include "CellValue.h"

#include <QDate>

#include <atomic>
#include <cstring>
#include <new>

// A text's characters follow its header in one allocation.
struct CellValue::Text {
    std::atomic<int> ref;
    int size;

    static Text* make(const QString& text, bool ascii) {
        const size_t bytes = ascii ? size_t(text.size()) : size_t(text.size()) * sizeof(char16_t);
        Text* block = static_cast<Text*>(::operator new(sizeof(Text) + bytes));
        new (block) Text{{1}, int(text.size())};
        if (ascii) {
            char* to = block->latin1();
            const QChar* from = text.constData();
            for (qsizetype i = 0; i < text.size(); ++i)
                to[i] = char(from[i].unicode());
        } else {
            std::memcpy(block->utf16(), text.constData(), bytes);
        }
        return block;
    }
    char* latin1() { return reinterpret_cast<char*>(this + 1); }
    const char* latin1() const { return reinterpret_cast<const char*>(this + 1); }
    char16_t* utf16() { return reinterpret_cast<char16_t*>(this + 1); }
    const char16_t* utf16() const { return reinterpret_cast<const char16_t*>(this + 1); }
    void acquire() { ref.fetch_add(1, std::memory_order_relaxed); }
    void release() {
        if (ref.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            this->~Text();
            ::operator delete(this);
        }
    }
};

struct CellValue::Formula {
    QString text;
    CellValue result;
};

namespace {
bool isAscii(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}
} // namespace

CellValue CellValue::plain(const QVariant& value) {
    CellValue v;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        break;
    case QMetaType::QString: {
        const QString text = value.toString();
        const bool ascii = isAscii(text);
        v.m_data.text = Text::make(text, ascii);
        v.m_kind = ascii ? Kind::Ascii : Kind::Utf16;
        break;
    }
    case QMetaType::Double:
        v.m_data.number = value.toDouble();
        v.m_kind = Kind::Number;
        break;
    case QMetaType::Bool:
        v.m_data.flag = value.toBool();
        v.m_kind = Kind::Bool;
        break;
    case QMetaType::QDate:
        if (value.toDate().isValid()) {
            v.m_data.day = value.toDate().toJulianDay();
            v.m_kind = Kind::Date;
            break;
        }
        [[fallthrough]];
    default:
        if (!value.isNull()) {
            v.m_data.boxed = new QVariant(value);
            v.m_kind = Kind::Boxed;
        }
        break;
    }
    return v;
}

CellValue::CellValue(const QVariant& value)
    : CellValue(plain(value)) {}

CellValue::CellValue(const CellValue& other)
    : m_data(other.m_data)
    , m_kind(other.m_kind) {
    switch (m_kind) {
    case Kind::Ascii:
    case Kind::Utf16:
        m_data.text->acquire();
        break;
    case Kind::Boxed:
        m_data.boxed = new QVariant(*other.m_data.boxed);
        break;
    case Kind::Formula:
        m_data.formula = new Formula(*other.m_data.formula);
        break;
    default:
        break;
    }
}

CellValue::CellValue(CellValue&& other) noexcept
    : m_data(other.m_data)
    , m_kind(other.m_kind) {
    other.m_kind = Kind::Null;
}

CellValue& CellValue::operator=(const CellValue& other) {
    if (this != &other) {
        CellValue copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CellValue& CellValue::operator=(CellValue&& other) noexcept {
    if (this != &other) {
        release();
        m_data = other.m_data;
        m_kind = other.m_kind;
        other.m_kind = Kind::Null;
    }
    return *this;
}

CellValue::~CellValue() {
    release();
}

void CellValue::release() noexcept {
    switch (m_kind) {
    case Kind::Ascii:
    case Kind::Utf16:
        m_data.text->release();
        break;
    case Kind::Boxed:
        delete m_data.boxed;
        break;
    case Kind::Formula:
        delete m_data.formula;
        break;
    default:
        break;
    }
    m_kind = Kind::Null;
}

const CellValue& CellValue::result() const {
    return m_kind == Kind::Formula ? m_data.formula->result : *this;
}

QVariant CellValue::toVariant() const {
    const CellValue& v = result();
    switch (v.m_kind) {
    case Kind::Null:
        return {};
    case Kind::Ascii:
        return QString::fromLatin1(v.m_data.text->latin1(), v.m_data.text->size);
    case Kind::Utf16:
        return QString::fromUtf16(v.m_data.text->utf16(), v.m_data.text->size);
    case Kind::Number:
        return v.m_data.number;
    case Kind::Bool:
        return v.m_data.flag;
    case Kind::Date:
        return QDate::fromJulianDay(v.m_data.day);
    case Kind::Boxed:
        return *v.m_data.boxed;
    case Kind::Formula:
        break;
    }
    return {};
}

bool CellValue::isNull() const {
    return result().m_kind == Kind::Null;
}

int CellValue::typeId() const {
    const CellValue& v = result();
    switch (v.m_kind) {
    case Kind::Ascii:
    case Kind::Utf16:
        return QMetaType::QString;
    case Kind::Number:
        return QMetaType::Double;
    case Kind::Bool:
        return QMetaType::Bool;
    case Kind::Date:
        return QMetaType::QDate;
    case Kind::Boxed:
        return v.m_data.boxed->typeId();
    default:
        return QMetaType::UnknownType;
    }
}

bool CellValue::isText() const {
    return typeId() == QMetaType::QString;
}

qsizetype CellValue::textSize() const {
    const CellValue& v = result();
    switch (v.m_kind) {
    case Kind::Ascii:
    case Kind::Utf16:
        return v.m_data.text->size;
    case Kind::Boxed:
        return v.m_data.boxed->typeId() == QMetaType::QString ? v.m_data.boxed->toString().size()
                                                              : 0;
    default:
        return 0;
    }
}

QByteArray CellValue::textUtf8() const {
    const CellValue& v = result();
    switch (v.m_kind) {
    case Kind::Ascii:
        return QByteArray(v.m_data.text->latin1(), v.m_data.text->size);
    case Kind::Utf16:
        return QStringView(v.m_data.text->utf16(), v.m_data.text->size).toUtf8();
    default:
        return toVariant().toString().toUtf8();
    }
}

QString CellValue::formula() const {
    return m_kind == Kind::Formula ? m_data.formula->text : QString();
}

void CellValue::setFormula(const QString& formula) {
    if (formula.isEmpty()) {
        if (m_kind == Kind::Formula) {
            CellValue value = std::move(m_data.formula->result);
            *this = std::move(value);
        }
        return;
    }
    if (m_kind == Kind::Formula) {
        m_data.formula->text = formula;
        return;
    }
    auto* made = new Formula{formula, std::move(*this)};
    m_data.formula = made;
    m_kind = Kind::Formula;
}

void CellValue::setValue(const QVariant& value) {
    if (m_kind == Kind::Formula)
        m_data.formula->result = plain(value);
    else
        *this = plain(value);
}

void CellValue::clear() {
    release();
}
