#pragma once
// Columns of the result boxes. Result lines separate their fields with TABs;
// drawn in a fixed-pitch font with tab stops every N characters they line up
// in columns exactly when every field that a TAB follows is shorter than N.
// These functions choose N from the text and measure lines in characters, so
// that a front end can size its boxes in its own font.
#include <string_view>

namespace korvagrid {

// The widest numeric field of any output format is a degree-minute-second
// angle such as "-55°45'00.11730" (15 characters); with one space after it
// the columns of every format line up at 16 characters, whatever the text.
inline constexpr int kMinTabStopCharacters = 16;
// A single absurdly long name does not spread every other line over the box.
inline constexpr int kMaxTabStopCharacters = 40;

// Tab stop distance in characters for `text`: the widest field that a TAB
// follows, plus one space, but at least kMinTabStopCharacters and at most
// kMaxTabStopCharacters. Characters are counted in UTF-8 code points.
int ResultTabStopCharacters(std::string_view text);

// Width in characters of one line drawn with tab stops every
// `tabStopCharacters` characters.
int DisplayColumns(std::string_view line, int tabStopCharacters);

// Characters a result box must show for a named point written in degrees,
// minutes and seconds, with its height, to be seen whole.
int NamedDmsResultColumns();

}  // namespace korvagrid
