#pragma once

#include <QString>

// The enumerators carry the spreadsheet program's own constants (xlLeft is
// -4131 and so on), so a value copied from an old macro means the same here.
enum class HorizontalAlignment {
    General = 1,
    Left = -4131,
    Center = -4108,
    Right = -4152,
    Fill = 5,
    Justify = -4130,
    CenterAcrossSelection = 7,
    Distributed = -4117,
};

enum class VerticalAlignment {
    Bottom = -4107,
    Top = -4160,
    Center = -4108,
    Justify = -4130,
    Distributed = -4117,
};

// Text orientation constants; any other value is an angle in degrees.
enum TextOrientation {
    OrientationHorizontal = -4128,
    OrientationUpward = -4171,
    OrientationDownward = -4170,
    OrientationVertical = -4166,
};

// Everything a cell shows itself with. A complete value, never a partial
// one: the sheet keeps whole formats per cell, row, column and sheet and
// changes one property at a time, so the latest change always wins.
struct CellFormat {
    QString fontName = QStringLiteral("Calibri");
    double fontSize = 11;
    bool bold = false;
    bool italic = false;
    QString numberFormat = QStringLiteral("General");
    HorizontalAlignment horizontal = HorizontalAlignment::General;
    VerticalAlignment vertical = VerticalAlignment::Bottom;
    bool wrapText = false;
    int rotation = 0; // degrees, -90..90; 255 is text stacked top to bottom
    int indentLevel = 0;
    bool addIndent = false;
    bool shrinkToFit = false;

    bool operator==(const CellFormat&) const = default;

    bool isDefault() const { return *this == CellFormat(); }
    // A text that is equal for equal formats, for caches and hashing.
    QString key() const;
    // Orientation property value (constant or degrees) as a rotation.
    static int rotationFromOrientation(int orientation);
};
