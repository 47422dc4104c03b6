#pragma once
// Points read from an exchange file turned into the input text the
// conversion run reads: one line "name X Y H" or "name Lat Long H" per point,
// read with the named layout (" Name; X;Y;H" / "Name;Lat;Long;H") and, for
// latitude/longitude, decimal degrees ("gg.ggggggggg").
//
// Numbers are written with "." and all the digits that make them read back
// as the same doubles, never in exponent form; a point without height gets no
// H (the run then takes 0). A point without a name is named by its line
// number.
//
// Names. The line reader takes a name up to the first space, and also cuts at
// ";" (a separator), TAB (turned into spaces) and line ends; a text box turns
// a no-break space into a space and U+2028/U+2029 into line ends. Such
// characters, and "%" itself, are written percent-escaped as the bytes of
// their UTF-8 form: "Пункт 1" becomes "Пункт%201", "50%" becomes "50%25".
// Every other character is kept as it is. DecodeListName undoes it, so
// a name goes from a file through the list and back into a file unchanged.
#include <span>
#include <string>
#include <string_view>

#include "exchange/exchange_point.h"

namespace korvagrid {

struct InputList {
  std::string text;  // one line per point, each ended by CR LF
  // Index of the named layout in both layout lists (" Name; X;Y;H", "Name;Lat;Long;H").
  static constexpr int kNamedLayout = 1;
};

// The input text of `points`. `xShortBy` is subtracted from X of plane
// points: the amount by which the source system writes X short (its xOffset,
// 6 200 000 m for the 47 family), since files hold X in full. Geographic
// points are written as they are (decimal degrees).
InputList MakeInputList(std::span<const ExchangePoint> points, bool geographic, double xShortBy = 0);

// A name made safe for the named layout (see above); most names come back unchanged.
std::string EncodeListName(std::string_view name);
// The name again: every "%" followed by two hexadecimal digits becomes that
// byte; any other "%" stays.
std::string DecodeListName(std::string_view listName);

}  // namespace korvagrid
