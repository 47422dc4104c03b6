#pragma once
// Conversions of geographic angles between packed degrees (gg.mmssssss, the
// notation the whole system computes with), decimal degrees and the
// degree-minute-second text gg°mm'ss.sssss of the results.
//
// The split of a packed value into degrees, minutes and seconds is the one of
// PackedToRad (geodesy/packed_angle.h): the minutes are read as written, a
// product that falls short of a whole minute by floating-point rounding only
// (less than 1e-9 minute) counting as that minute. A negative angle is
// negative in all its parts.
#include <cstddef>
#include <string>

namespace korvagrid {

// Packed degrees to decimal degrees: g + (s / 60 + m) / 60.
// 55.301234 (55°30'12.34") gives 55.50342777...
double PackedToDegrees(double x);

// Packed degrees to the text gg°mm'ss.sssss (UTF-8 "°"), written with the
// masks "0#", "0#" and "0#.####0" and `decimalSeparator` as decimal separator; nothing
// follows the seconds. Seconds that round to 60 at the five written decimals
// are written as 00.00000 with one more minute, and 60 minutes as 00 with one
// more degree, so "60.00000" never appears: 55.295999999999 gives
// 55°30'00.00000. Each part of a negative angle carries its own "-".
std::string PackedToDms(double x, char decimalSeparator);
// The same text appended to `text`.
void PackedToDmsTo(std::string& text, double x, char decimalSeparator);

// The room WriteCommonDms may write.
constexpr std::size_t kCommonDmsRoom = 24;
// The text of PackedToDms written at `p` for a common angle: positive, below
// 1000°, with valid minutes, its seconds neither within 0.001" of a whole
// minute nor near a rounding half. Returns the end of what it wrote, or
// nullptr, having written nothing, for any other angle (PackedToDmsTo writes
// those). For writers that put a whole line together before appending it.
char* WriteCommonDms(char* p, double x, char decimalSeparator);

// Decimal degrees to packed degrees, 60 seconds carried into the minutes and
// 60 minutes into the degrees, rounded to 15 significant digits (the value is
// handed on as text). 55.5 gives 55.3.
double DegreesToPacked(double x);

}  // namespace korvagrid
