#pragma once
// Rewriting of geographic input that RadStr1 cannot read directly into an
// ordinary record line of packed degrees:
//
//  - RadStr3: degree-minute-second lines (gg°mm'ss.ssss) and lines of a
//    Trimble report;
//  - ReadAsh: four-line records of an Ashtech report.
//
// Both read six numbers — degrees, minutes and seconds of latitude, then of
// longitude — with the field scan of RadStr1 (hemisphere letters, "°", "'",
// quotes and the like are separators and carry no meaning) and write
//   [name ]latitude longitude rest
// where an angle g°m's" is written as g "." mm and the seconds text: the
// seconds as plain decimal text with at most 15 significant digits, never in
// exponent form, with "." and "," removed (55°45'12.34" gives 55.451234,
// 55°45'5.5" gives 55.45055). Zero seconds are written as 1e-8 seconds
// (55.450000000001) so that the minutes survive a later truncation.
//
// An invalid value — a degree or minute field that is not a whole number,
// degrees above 180, minutes above 59, seconds of 60 or more, a field of
// number characters that is not a number — replaces the line by
// kInvalidValueMarker and makes the function return false; the caller shows
// "Встречено недопустимое значение" / "Ай-ай-ай". The marker holds a lone "-"
// as a number, so RadStr1 fails on it and the conversion run ends there.
// `why`, when given, receives the part and the reason ("широта, градусы: не
// целое число «55.75»"), for front ends that can say more than the message.
//
// A minus written as U+2212 or a Unicode dash before a number is read as "-"
// (formats/signs.h). A latitude marked S or a longitude marked W throws
// KorvagridError naming the mark: read as separators, such letters would put
// the point into the wrong hemisphere without a word.
#include <string>
#include <string_view>

#include "formats/read_str.h"

namespace korvagrid {

inline constexpr std::string_view kInvalidValueMarker = "a-a-a a-a a-a";

// Rewrites a degree-minute-second line (trimble false) or a Trimble report
// line (trimble true: the number after each seconds value is read over and
// dropped). With `nameIn` the name is the text before the first space or ";".
// Inside a number every `otherSeparator` is read as `decimalSeparator`. The rest of the line is
// appended as it came in, from the character at which the scan stopped.
// Returns false on an invalid value (line = kInvalidValueMarker). A line
// without any space read with `nameIn` throws KorvagridError (ReadStr never
// produces one).
bool RadStr3(std::string& line, bool nameIn, char decimalSeparator, char otherSeparator,
             bool trimble, std::string* why = nullptr);

namespace detail {
// RadStr3 without the shortcut for common lines (formats/dms_line.h): every
// field read as a number. The shortcut is checked against it.
bool RadStr3FieldByField(std::string& line, bool nameIn, char decimalSeparator,
                         char otherSeparator, bool trimble, std::string* why = nullptr);
}  // namespace detail

// Rewrites an assembled Ashtech record (see AssembleAshtechRecord) into
// "name latitude longitude rest". The name is the four characters after the
// first space, or the first word of the record when that word comes before
// the "Lat." mark. Numbers are read as they stand, with `decimalSeparator` as decimal
// separator ("." unless told otherwise): there is no "."/"," substitution.
// Returns false on an invalid value (record = kInvalidValueMarker). A record
// whose remaining text has a "Lat." mark but no space throws KorvagridError.
bool ReadAsh(std::string& record, char decimalSeparator = '.', std::string* why = nullptr);

// The part of an Ashtech report line that goes into a record: the line up to
// and including the first '"' found from its eighth character on; empty when
// there is none.
std::string_view AshtechLinePart(std::string_view line);

// The record of four report lines (each as ReadStr returns it): the first
// two lines cut by AshtechLinePart, the third whole, the fourth dropped.
std::string AssembleAshtechRecord(std::string_view first, std::string_view second,
                                  std::string_view third);

// As above, taking the three lines after `first` from `source` (all three are
// taken even when the source runs dry; missing lines read as "  ").
std::string AssembleAshtechRecord(std::string_view first, LineSource& source);

}  // namespace korvagrid
