// Columns of the result boxes: the tab stop chosen from a result text, the
// width of a line in characters, and that real result lines of every output
// format line up with that tab stop. Widths are whole characters (exact).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/result_line.h"
#include "ui/format_menu.h"
#include "ui/result_columns.h"

namespace korvagrid {
namespace {

struct TabStopCase {
  const char* why;
  std::string text;
  int characters;
};

const std::vector<TabStopCase> kTabStopCases = {
    {"empty text: the floor", "", 16},
    {"plane results: every field below the floor", "6210000.000\t345678.900 \t1.000 \r\n", 16},
    {"the widest two-digit angle and one space make the floor",
     "-55°45'00.11730\t-37°37'00.00000\t150.000 \r\n", 16},
    {"a three-digit longitude is one character wider",
     "55°45'00.11730\t-137°37'00.00000\t150.000 \r\n", 17},
    {"a long name widens the columns; Cyrillic counts in characters, not bytes",
     "Пункт триангуляции 12\t55°45'00.11730\t37°37'00.00000\t150.000 \r\n", 22},
    {"the last field of a line has no column after it", "1\t" + std::string(30, 'x') + "\r\n", 16},
    {"a line end starts a new field", std::string(30, 'x') + "\r\nP1\t1\r\n", 16},
    {"an absurd name is capped", std::string(200, 'N') + "\t1\r\n", 40},
    {"waypoint files have no TABs",
     "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nReserved 2\r\n", 16},
};

TEST(ResultColumns, TabStopFitsTheWidestField) {
  for (const TabStopCase& c : kTabStopCases) {
    EXPECT_EQ(ResultTabStopCharacters(c.text), c.characters) << c.why;
  }
}

TEST(ResultColumns, DisplayColumnsExpandTabs) {
  struct Case {
    const char* why;
    std::string line;
    int tabStop;
    int columns;
  };
  const std::vector<Case> cases = {
      {"no TAB", "150.000 ", 16, 8},
      {"a short field moves to the stop", "P1\t1", 16, 17},
      {"a field as wide as the stop moves to the next one", std::string(16, 'x') + "\t1", 16, 33},
      {"two TABs in a row", "\t\t", 16, 32},
      {"Cyrillic and the degree sign are one character each", "Пункт°\t", 8, 8},
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayColumns(c.line, c.tabStop), c.columns) << c.why;
}

// The column at which each field of a line starts, with tab stops every
// `tabStop` characters.
std::vector<int> FieldStarts(const std::string& line, int tabStop) {
  std::vector<int> starts{0};
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\t') starts.push_back(DisplayColumns(line.substr(0, i + 1), tabStop));
  }
  return starts;
}

// Regression: an angle crossing a tab stop shifted the next column.
TEST(ResultColumns, EveryOutputFormatLinesUp) {
  struct Point {
    const char* name;
    double a, b, h;  // packed degrees or metres
  };
  // Short and long names, negative and three-digit angles, seconds near 60.
  const std::vector<Point> geographic = {
      {"P1", 55.544224737, 37.355696770, 150},
      {"Пункт триангуляции", -55.451234567, -137.375999999, -12.5},
      {"", 5.000000001, 100.595999999, 1234.567},
  };
  const std::vector<Point> plane = {
      {"P1", 6210000, 345678.9, 150},
      {"Пункт триангуляции", -123.456, 7345678.9, -12.5},
      {"", 10000000.125, 1.0, 1234.567},
  };
  CoordinateSystem withPrefix;
  withPrefix.zone = 7;
  struct Format {
    const char* why;
    bool geographicTarget;
    OutputAngles angles;
    bool minEnd;
  };
  const std::vector<Format> formats = {
      {"degrees, minutes, seconds", true, OutputAngles::Dms, false},
      {"decimal degrees", true, OutputAngles::Decimal, false},
      {"packed degrees", true, OutputAngles::Packed, false},
      {"plane, Y with its zone prefix", false, OutputAngles::Dms, false},
      {"plane, X short", false, OutputAngles::Dms, true},
  };
  for (const Format& f : formats) {
    for (const bool names : {false, true}) {
      ResultStyle style;
      style.nameOut = names;
      style.angles = f.angles;
      style.shortX = f.minEnd;
      std::vector<std::string> lines;
      for (const Point& p : f.geographicTarget ? geographic : plane) {
        lines.push_back(f.geographicTarget
                            ? GeographicResult(p.name, p.a, p.b, p.h, style)
                            : PlaneResult(p.name, p.a, p.b, p.h, withPrefix, style));
      }
      std::string text;
      for (const std::string& line : lines) text += line + "\r\n";
      const int tabStop = ResultTabStopCharacters(text);
      for (const std::string& line : lines) {
        EXPECT_EQ(FieldStarts(line, tabStop), FieldStarts(lines[0], tabStop))
            << f.why << (names ? ", with names: " : ": ") << line;
      }
    }
  }
}

}  // namespace
}  // namespace korvagrid
