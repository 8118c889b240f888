#pragma once

#include <QString>

// How full the main database is, in the words of the maintenance and purge
// windows: megabytes = length / 1000000, and the share of the maximum
// capacity of 2000000000 bytes in percent = length / 20000000.
namespace SizeLine {

// Numbers as the classic format patterns write them, with the user's
// decimal separator: "####.00" (no leading zero, two decimals), "####.##"
// (no leading zero, up to two decimals, the separator always written) and
// "#0.00".
QString hashFixed(double value);    // "####.00"
QString hashOptional(double value); // "####.##"
QString zeroFixed(double value);    // "#0.00"

// The length of program folder + "/TESSALY.mdb", checkpointed; -1 when the
// file is missing.
qint64 mainLength();

// "Your database is " + megabytes + " MB in size, which is " + percentage +
// " % of its maximum capacity"; megabytes in "####.00", or "####.##" when
// `optionalDecimals`. Empty when there is no main database.
QString text(bool optionalDecimals);

} // namespace SizeLine
