#include "CellFormat.h"

#include <algorithm>

QString CellFormat::key() const {
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11|%12")
        .arg(fontName)
        .arg(fontSize)
        .arg(int(bold))
        .arg(int(italic))
        .arg(numberFormat)
        .arg(int(horizontal))
        .arg(int(vertical))
        .arg(int(wrapText))
        .arg(rotation)
        .arg(indentLevel)
        .arg(int(addIndent))
        .arg(int(shrinkToFit));
}

int CellFormat::rotationFromOrientation(int orientation) {
    switch (orientation) {
    case OrientationHorizontal:
        return 0;
    case OrientationUpward:
        return 90;
    case OrientationDownward:
        return -90;
    case OrientationVertical:
        return 255;
    default:
        return std::clamp(orientation, -90, 90);
    }
}
