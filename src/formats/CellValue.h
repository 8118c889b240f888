#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <cstdint>

// What a cell holds, in 16 bytes: a long list of cells costs little more
// than its texts. Numbers, dates and truth values are held in place; a text
// is one block shared by every copy (a plain-ASCII text is kept one byte to
// a character); a formula keeps its text beside the value it last gave; any
// other value is held as a QVariant of its own.
class CellValue {
public:
    CellValue() noexcept = default;
    CellValue(const QVariant& value); // NOLINT: a value converts as it is
    CellValue(const CellValue& other);
    CellValue(CellValue&& other) noexcept;
    CellValue& operator=(const CellValue& other);
    CellValue& operator=(CellValue&& other) noexcept;
    ~CellValue();

    // The value, or what a formula last gave.
    QVariant toVariant() const;
    bool isNull() const;
    // The type toVariant() would give (Nullptr for none).
    int typeId() const;
    bool isText() const;
    // The length of a text value in UTF-16 units (0 for other values).
    qsizetype textSize() const;
    // A text value as UTF-8, without a detour through QString.
    QByteArray textUtf8() const;

    bool hasFormula() const { return m_kind == Kind::Formula; }
    QString formula() const;
    // Gives the cell a formula, keeping its value as what the formula gave;
    // an empty formula leaves a plain value.
    void setFormula(const QString& formula);
    // Sets the value, or what the formula gave when there is one.
    void setValue(const QVariant& value);
    void clear();

private:
    enum class Kind : std::uint8_t { Null, Ascii, Utf16, Number, Bool, Date, Boxed, Formula };
    struct Text;
    struct Formula;

    static CellValue plain(const QVariant& value);
    void release() noexcept;
    const CellValue& result() const;

    union {
        double number;
        qint64 day;
        bool flag;
        Text* text;
        QVariant* boxed;
        Formula* formula;
    } m_data{};
    Kind m_kind = Kind::Null;
};
