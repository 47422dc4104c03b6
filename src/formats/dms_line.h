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

namespace korvagrid::detail {

// Rewrites `line` as RadStr3 does and returns true when it is such a line;
// returns false and leaves `line` as it was for any other line (RadStr3 then
// reads it field by field, which also finds its faults).
bool RewriteCommonDmsLine(std::string& line, bool nameIn, char decimalSeparator,
                          char otherSeparator, bool trimble);

}  // namespace korvagrid::detail
