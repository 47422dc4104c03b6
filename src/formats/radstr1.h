#pragma once
// RadStr1: cuts one input line into an optional point name and up to three
// numbers. Together with ReadStr it defines the input syntax of the system:
// one point per line, fields separated by any run of characters that cannot
// belong to a number (spaces, TABs, semicolons, letters, quotes, "°", ...),
// and either "." or "," as the decimal separator.
#include <optional>
#include <string>
#include <string_view>

#include "geodesy/packed_angle.h"

namespace korvagrid {

// What RadStr1 reads from one line.
struct PointRecord {
  std::string name;   // first word when the layout has a name
  double first = 0;   // X (plane input) or latitude (geographic input)
  double second = 0;  // Y or longitude
  double third = 0;   // H, the height
  std::string rest;   // what follows the last value read, trimmed
  // Set by the reader of common degree-minute-second lines only: the
  // latitude's and longitude's degrees, minutes and seconds as read, so
  // that a conversion need not take `first` and `second` apart again.
  std::optional<LatitudeLongitudeParts> angleParts;
};

// Reads `text` (a line as ReadStr returns it, ending in two spaces) into
// `record`.
//
//  - ";" counts as a space. With `nameIn` the name is everything before the
//    first space and the numbers are read after it; otherwise the name is
//    left untouched.
//  - Up to three numbers are stored into first, second and third, in that
//    order; a number is stored on the character after the separator that
//    ended it. Values the line does not supply are not written: the caller
//    sets them before the call. With `layout` 2 (" X; Y") the scan stops
//    after the second number.
//  - Inside a number every `otherSeparator` is read as `decimalSeparator`, so both separators are
//    accepted. A minus written as U+2212 or a Unicode dash right before a
//    number is its sign (formats/signs.h); the name keeps its dashes.
//  - rest: the text from the separator that ended the last stored value, from
//    its first space on, trimmed of spaces; empty when the scan ran to the
//    last character.
//
// Lines of any length are read. Failures throw KorvagridError: a field of
// number characters that is not a number ("1.2.3", "1-2", "-"), and a text
// without any space where one is needed (with `nameIn`, or after the point
// where the scan stopped) — ReadStr never produces such a text.
void RadStr1(std::string_view text, PointRecord& record, bool nameIn, char decimalSeparator,
             char otherSeparator, int layout);

namespace detail {
// RadStr1's reading of the values from `start` on, where `valuesRead` values
// were read before and the last of them was handed over at `start` (for a
// reader that knows the first values of a line without reading them).
void ReadValuesFrom(std::string_view text, std::size_t start, int valuesRead, PointRecord& record,
                    char decimalSeparator, char otherSeparator, int layout);
}  // namespace detail

}  // namespace korvagrid
