#include "SizeLine.h"

#include "data/Compaction.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"

namespace SizeLine {

namespace {

QString pattern(double value, bool leadingZero, bool trimZeros) {
    QString digits = QString::number(value, 'f', 2);
    const qsizetype point = digits.indexOf(u'.');
    QString whole = digits.left(point);
    QString fraction = digits.mid(point + 1);
    if (whole == QLatin1String("0") && !leadingZero)
        whole.clear();
    if (trimZeros)
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
    return whole + Locale::current().decimalPoint() + fraction;
}

} // namespace

QString hashFixed(double value) {
    return pattern(value, false, false);
}

QString hashOptional(double value) {
    return pattern(value, false, true);
}

QString zeroFixed(double value) {
    return pattern(value, true, false);
}

qint64 mainLength() {
    return Compaction::databaseLength(ProgramFolder::file(QStringLiteral("TESSALY.mdb")));
}

QString text(bool optionalDecimals) {
    const qint64 length = mainLength();
    if (length < 0)
        return {};
    const double megabytes = double(length) / 1000000.0;
    const double percentage = double(length) / 20000000.0;
    return QStringLiteral("Your database is ") +
           (optionalDecimals ? hashOptional(megabytes) : hashFixed(megabytes)) +
           QStringLiteral(" MB in size, which is ") + zeroFixed(percentage) +
           QStringLiteral(" % of its maximum capacity");
}

} // namespace SizeLine
