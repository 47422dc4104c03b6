#pragma once
// The common degree-minute-second line, rewritten for RadStr3 straight from
// the digits of its fields.
//
// Almost every line of a degree-minute-second list (and of a Trimble report)
// has whole degrees up to 180 and minutes up to 59 written as plain digits,
// seconds below 60 with at most 15 significant digits, no minus sign and no
// letter that could mark a hemisphere. For such a line the seconds text that
// RadStr3 writes -- the seconds read as a double and written back with 15
// significant digits -- is the field's own digits without leading and
// trailing zeros: a decimal of at most 15 significant digits comes back
// unchanged from the nearest double. So the line is rewritten from its
// digits, byte for byte as the field-by-field reading writes it, without
// converting a number either way.
#include <string>
#include <string_view>

#include "formats/radstr1.h"

namespace korvagrid::detail {

// Rewrites `line` as RadStr3 does and returns true when it is such a line;
// returns false and leaves `line` as it was for any other line (RadStr3 then
// reads it field by field, which also finds its faults).
bool RewriteCommonDmsLine(std::string& line, bool nameIn, char decimalSeparator,
                          char otherSeparator, bool trimble);

// For such a line, what RadStr1 reads (with `nameIn` and `layout`) from the
// line RadStr3 makes of it, without making it: the name, the latitude and
// longitude from the digits (when RadStr1 reads them as the quotient of
// their digits and a power of ten; false otherwise), then the values and the
// rest after them, read by RadStr1 itself, and the angles' degrees, minutes
// and seconds as read (`angleParts`). Values RadStr1 does not write are
// left as they were. Throws where RadStr1 throws. False, and nothing
// written, for any other line.
bool ReadCommonDmsRecord(std::string_view line, PointRecord& record, bool nameIn,
                         char decimalSeparator, char otherSeparator, bool trimble, int layout);

}  // namespace korvagrid::detail
