// OziExplorer waypoint header, lines and label placement codes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/waypoints.h"

namespace korvagrid {
namespace {

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (const char c : line) {
    if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

TEST(OziHeader, DatumLineFollowsTheTarget) {
  EXPECT_EQ(OziHeader(false), "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nReserved 2\r\ngarmin16\r\n");
  // Regression: results in "BLH(Kras)" were declared as WGS 84.
  EXPECT_EQ(OziHeader(true),
            "OziExplorer Waypoint File Version 1.1\r\nPulkovo 1942\r\nReserved 2\r\ngarmin16\r\n");
}

TEST(WaypointMiddle, ColourField) {
  EXPECT_EQ(WaypointMiddle(65535), ",37861.77282,  0, 1, 3,         0,     65535,           ,");
  EXPECT_EQ(WaypointMiddle(255), ",37861.77282,  0, 1, 3,         0,     255,           ,");  // pure red
}

struct LineRow {
  std::int64_t number;
  std::string name;
  double lat;
  double lon;
  int placement;
  std::string fontSize;
  std::int32_t colour;
  std::string expected;
  const char* why;
};

const LineRow kLineRows[] = {
    {1, "", 55.301234, 37.361234, 0, "  8", 65535,
     "1,1     ,  55.503428 , 37.603428 ,37861.77282,  0, 1, 3,         0,     65535,           ,0, 0,    0,   "
     "-777,   8, 0,17",
     "defaults, first point, no name: the number stands for the name"},
    {3, "P7", 55.301234, 37.361234, 2, " 12", 255,
     "3,P7     ,  55.503428 , 37.603428 ,37861.77282,  0, 1, 3,         0,     255,           ,2, 0,    0,   "
     "-777,  12, 0,17",
     "named third point, placement 2, red background"},
    {1, "", 5.301234, 7.0512, 0, "  8", 65535,
     "1,1     ,  05.503428 , 07.086667 ,37861.77282,  0, 1, 3,         0,     65535,           ,0, 0,    0,   "
     "-777,   8, 0,17",
     "angles below 10 degrees get a leading zero"},
    {12, "P,7", -33.5, -70.3, -1, "  8", 0,
     "12,P;7     ,  -33.833333 , -70.500000 ,37861.77282,  0, 1, 3,         0,     0,           ,-1, 0,    0,   "
     "-777,   8, 0,17",
     "a comma in the name is written as ';'; southern and western angles"},
};

TEST(WaypointLine, Table) {
  for (const LineRow& row : kLineRows) {
    const std::string line = WaypointLine(row.number, row.name, row.lat, row.lon, row.placement, row.fontSize,
                                          WaypointMiddle(row.colour));
    EXPECT_EQ(line, row.expected) << row.why;
  }
}

// Regression: a comma in a name or a typed font size split a field in two.
TEST(WaypointLine, AlwaysEighteenFields) {
  const std::string middle = WaypointMiddle(65535);
  for (const std::string name : {"", "P7", "a,b", ",,,", "Пункт 5"}) {
    for (const std::string font : {"  8", "1,2", ""}) {
      const std::vector<std::string> fields =
          SplitFields(WaypointLine(7, name, 55.301234, 37.361234, 3, font, middle));
      ASSERT_EQ(fields.size(), 18u) << "name \"" << name << "\", font \"" << font << "\"";
      EXPECT_EQ(fields[0], "7");
      EXPECT_EQ(fields[2], "  55.503428 ");
      EXPECT_EQ(fields[3], " 37.603428 ");
      EXPECT_EQ(fields[11], "3");
      EXPECT_EQ(fields[17], "17");
    }
  }
}

TEST(WaypointLine, PointIsTheDecimalSeparator) {
  const std::string line = WaypointLine(1, "A", 55.3, 37.3, 0, "  8", WaypointMiddle(65535));
  EXPECT_EQ(SplitFields(line)[2], "  55.500000 ");
  EXPECT_EQ(SplitFields(line)[3], " 37.500000 ");
}

struct PlacementRow {
  int index;
  std::vector<int> codes;  // for n = 0, 1, 2, ...
  const char* why;
};

const PlacementRow kPlacementRows[] = {
    {0, {0, 0, 0, 0, 0}, "\"Над точкой\""},
    {1, {1, 1, 1, 1, 1}, "\"Под точкой\""},
    {2, {2, 2, 2, 2, 2}, "\"Справа\""},
    {3, {3, 3, 3, 3, 3}, "\"Слева\""},
    {4, {0, 1, 0, 1, 0, 1}, "\"Снизу-сверху\" alternates"},
    {5, {2, 3, 2, 3, 2, 3}, "\"Справа-слева\" alternates"},
    {6, {0, 1, 2, 3, 0, 1, 2, 3, 0}, "\"Циклично\" cycles through four"},
    {-1, {-1, -1, -1}, "a typed text that is not an item"},
};

TEST(PlacementCode, Sequences) {
  for (const PlacementRow& row : kPlacementRows) {
    for (std::size_t n = 0; n < row.codes.size(); ++n) {
      EXPECT_EQ(PlacementCode(row.index, static_cast<std::int64_t>(n), 0.3), row.codes[n])
          << row.why << ", n = " << n;
    }
  }
  // n beyond 16 bits keeps alternating.
  EXPECT_EQ(PlacementCode(5, 100001, 0.3), 3);
  EXPECT_EQ(PlacementCode(6, 100002, 0.3), 2);
}

struct RandomRow {
  double r;
  int code;
  const char* why;
};

const RandomRow kRandomRows[] = {
    {0.0, -1, "0·4 + 0.5 = 0.5 rounds half to even: 0"},
    {0.1, 0, "0.9 rounds to 1"},
    {0.125, 0, "exactly 1.0"},
    {0.375, 1, "exactly 2.0"},
    {0.5, 1, "2.5 rounds half to even: 2"},
    {0.625, 2, "exactly 3.0"},
    {0.875, 3, "exactly 4.0"},
    {0.999, 3, "4.496 rounds to 4"},
};

TEST(PlacementCode, RandomPlacement) {
  for (const RandomRow& row : kRandomRows) {
    EXPECT_EQ(PlacementCode(7, 0, row.r), row.code) << row.why;
  }
}

TEST(PlacementRandom, SameSequenceAtEveryStart) {
  PlacementRandom a;
  PlacementRandom b;
  PlacementRandom other(7);
  int differences = 0;
  double sum = 0;
  for (int i = 0; i < 10000; ++i) {
    const double r = a.next();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    EXPECT_EQ(r, b.next());
    if (r != other.next()) ++differences;
    sum += r;
  }
  EXPECT_GT(differences, 9990);
  EXPECT_NEAR(sum / 10000, 0.5, 0.02);  // uniform: mean 0.5, standard error 0.003

  PlacementRandom c;
  const double firstValue = c.next();
  c.next();
  c.seed(PlacementRandom::kDefaultSeed);
  EXPECT_EQ(c.next(), firstValue);  // seeding restarts the sequence
}

}  // namespace
}  // namespace korvagrid
