#include "ui/result_columns.h"

#include <algorithm>
#include <string>

#include "conversion/result_line.h"
#include "ui/format_menu.h"

namespace korvagrid {
namespace {

// A byte that starts a UTF-8 sequence (every byte but a continuation byte).
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

}  // namespace

int ResultTabStopCharacters(std::string_view text) {
  // Beyond the cap every wider field gives the same answer: stop counting there.
  constexpr int kEnough = kMaxTabStopCharacters - 1;
  int widest = 0;
  int field = 0;
  for (const char c : text) {
    if (c == '\t') {
      widest = std::max(widest, field);
      if (widest >= kEnough) break;
      field = 0;
    } else if (c == '\r' || c == '\n') {
      field = 0;
    } else if (StartsCharacter(c)) {
      ++field;
    }
  }
  return std::clamp(widest + 1, kMinTabStopCharacters, kMaxTabStopCharacters);
}

int DisplayColumns(std::string_view line, int tabStopCharacters) {
  const int stop = std::max(tabStopCharacters, 1);
  int column = 0;
  for (const char c : line) {
    if (c == '\t') {
      column = (column / stop + 1) * stop;
    } else if (StartsCharacter(c)) {
      ++column;
    }
  }
  return column;
}

int NamedDmsResultColumns() {
  // A point near Moscow with a four-digit height, in the output format the
  // window starts with (gg°mm'ss.sssss) and the layout "Name;Lat;Long;H".
  ResultStyle style;
  style.nameOut = true;
  style.withHeight = true;
  style.angles = OutputAngles::Dms;
  const std::string line = GeographicResult("Пункт 12", 55.544224737, 37.355696770, 1234.567, style);
  return DisplayColumns(line, kMinTabStopCharacters);
}

}  // namespace korvagrid
