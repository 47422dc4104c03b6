// Map sheets at 1:200 000 and 1:100 000: names at band and column edges, the
// absorbed failures, the trapezoid text and the menu handlers driving a run.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "common/error.h"
#include "formats/angles.h"
#include "support/list_places.h"
#include "support/fake_platform.h"
#include "tasks/map_sheets.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

struct SheetCase {
  const char* why;
  double B, L;  // decimal degrees
  std::string sheet200, sheet100;
};

class Sheet : public ::testing::TestWithParam<SheetCase> {};

TEST_P(Sheet, IsNamed) {
  const SheetCase& c = GetParam();
  EXPECT_EQ(MapSheetName(kScale200, c.B, c.L), c.sheet200) << c.why;
  EXPECT_EQ(MapSheetName(kScale100, c.B, c.L), c.sheet100) << c.why;
}

constexpr double kL3737 = 37 + 37.0 / 60;  // 37°37' E

INSTANTIATE_TEST_SUITE_P(
    Table, Sheet,
    ::testing::Values(
        SheetCase{"55°45' N 37°37' E", 55.75, kL3737, "N-37-II", "N-37-4"},
        SheetCase{"southern edge of band O belongs to it: southernmost row", 56.0, kL3737,
                  "O-37-XXXII", "O-37-136"},
        SheetCase{"below 40°: no row letter, the sheet part alone", 38.0, kL3737, "XIV", "64"},
        SheetCase{"40° is the southern edge of K", 40.0, kL3737, "K-37-XXXII", "K-37-136"},
        SheetCase{"44° is the southern edge of L", 44.0, kL3737, "L-37-XXXII", "L-37-136"},
        SheetCase{"last row letter S", 75.9, kL3737, "S-37-II", "S-37-4"},
        SheetCase{"76° and above: no row letter", 76.0, kL3737, "XXXII", "136"},
        SheetCase{"just below a band's northern edge: northernmost row", 55.9999, kL3737, "N-37-II",
                  "N-37-4"},
        SheetCase{"western edge of column 37", 55.75, 36.0, "N-37-I", "N-37-1"},
        SheetCase{"eastern edge of column 37", 55.75, 41.999, "N-37-VI", "N-37-12"},
        SheetCase{"42° starts column 38", 55.75, 42.0, "N-38-I", "N-38-1"},
        SheetCase{"near Greenwich: column 31, on a 30' column edge", 51.5, 0.5, "M-31-I",
                  "M-31-14"},
        SheetCase{"south-east corner cell", 52.01, 41.9, "N-37-XXXVI", "N-37-144"}));

TEST(Sheet, OtherScaleCodeGivesThePrefixAlone) {
  EXPECT_EQ(MapSheetName(50, 55.75, kL3737), "N-37-");
}

TEST(Sheet, NotANumberGivesAnEmptyNameInsteadOfFailing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(MapSheetName(kScale200, nan, kL3737), "");
  // The column step fails and leaves the column at 0; the sheet part fails too.
  EXPECT_EQ(MapSheetName(kScale100, 55.75, nan), "N-0-");
}

TEST(Sheet, HugeLatitudeOverflowsAndIsAbsorbed) {
  // 4 · trunc(B / 4) does not fit 16 bits: every step that needs it fails.
  EXPECT_EQ(MapSheetName(kScale200, 1e6, kL3737), "");
}

TEST(SheetNumerals, OutsideTheSixBySixGridIsAFailure) {
  // The corner of the wrong 1:1 000 000 sheet puts the row outside 1..6.
  EXPECT_THROW(Sheet200Numeral(55.75, kL3737, 40, 36), KorvagridError);
  EXPECT_THROW(Sheet200Numeral(55.75, kL3737, 52, 30), KorvagridError);  // column 8
  EXPECT_EQ(Sheet200Numeral(55.75, kL3737, 52, 36), "II");
  EXPECT_EQ(Sheet100Number(55.75, kL3737, 52, 36), "4");
  // The 1:100 000 number has no range check, only 16-bit arithmetic.
  EXPECT_EQ(Sheet100Number(55.75, kL3737, 40, 36), "-428");
  EXPECT_THROW(Sheet100Number(1e5, kL3737, 52, 36), KorvagridError);
}

// Every edge of the 1:200 000 sheet N-37-II (55°20'..56°, 37°..38°) and of the
// 1:100 000 sheet N-37-4 (55°40'..56°, 37°30'..38°), at both scales, from
// packed degrees as the sheet task gets them: a point on an edge belongs to
// the sheet north of it, or east of it for a meridian edge.
struct EdgeCase {
  const char* why;
  double B, L;  // packed degrees
  std::string sheet200, sheet100;
};

TEST(SheetEdges, PointsOnAnEdgeBelongToTheSheetNorthOrEastOfIt) {
  const EdgeCase cases[] = {
      {"south edge of N-37-II", 55.20, 37.15, "N-37-II", "N-37-15"},
      {"north edge of N-37-II: band O", 56.00, 37.15, "O-37-XXXII", "O-37-135"},
      {"west edge of N-37-II", 55.30, 37.00, "N-37-II", "N-37-15"},
      {"east edge of N-37-II", 55.30, 38.00, "N-37-III", "N-37-17"},
      {"south-west corner of N-37-II", 55.20, 37.00, "N-37-II", "N-37-15"},
      {"south edge of N-37-4 (was N-37-16)", 55.40, 37.45, "N-37-II", "N-37-4"},
      {"south edge of N-37-4 at 37°37'", 55.40, 37.37, "N-37-II", "N-37-4"},
      {"north edge of N-37-4", 56.00, 37.45, "O-37-XXXII", "O-37-136"},
      {"west edge of N-37-4", 55.50, 37.30, "N-37-II", "N-37-4"},
      {"east edge of N-37-4", 55.50, 38.00, "N-37-III", "N-37-5"},
      {"52°40': the row edge above the southernmost 1:200 000 row", 52.40, 37.15, "N-37-XXVI", "N-37-111"},
      {"53°20': the row edge above", 53.20, 37.15, "N-37-XX", "N-37-87"},
  };
  for (const EdgeCase& c : cases) {
    const double B = PackedToDegrees(c.B);
    const double L = PackedToDegrees(c.L);
    EXPECT_EQ(MapSheetName(kScale200, B, L), c.sheet200) << c.why;
    EXPECT_EQ(MapSheetName(kScale100, B, L), c.sheet100) << c.why;
  }
}

struct ListCase {
  const char* why;
  std::string results;  // the run's result text
  std::vector<SheetPoint> points;
  bool names;
  std::string text;
};

TEST(SheetList, OneLinePerResultLineNamedFromThePoints) {
  const SheetPoint p1{"P1", 55.75, kL3737};
  const SheetPoint south{"", 56.0, kL3737};
  const ListCase cases[] = {
      {"one point", "55.45\t37.37", {p1}, false, "N-37-II\r\n"},
      {"blank and extra lines keep their places", "x\r\n\r\ny\r\n", {p1, south}, false,
       "N-37-II\r\n\r\nO-37-XXXII\r\n\r\n"},
      {"point name and '; '", "P1\t55.45\t37.37", {p1}, true, "P1; N-37-II\r\n"},
      {"a line that starts with a TAB (no name) is a point too", "\t55.45\t37.37", {south}, true,
       "; O-37-XXXII\r\n"},
      {"empty result text: one empty line", "", {}, false, "\r\n"},
  };
  for (const ListCase& c : cases) {
    EXPECT_EQ(BuildSheetList(c.results, c.points, kScale200, c.names), c.text) << c.why;
  }
}

// ---- The handlers drive a whole run ---------------------------------------

class MapSheetHandler : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  Form1 form{platform};
  void SetUp() override { form.load('.'); }
};

TEST_F(MapSheetHandler, Tr200RunsToKrasovskyAndRestoresTheTarget) {
  // Krasovsky packed degrees in, so the run is an identity and the sheets
  // depend on nothing but the naming.
  form.selectCombo1(testing::kBlhKrasIndex);
  form.formatItemClick(FormatItem::mnugms1);
  form.selectCombo5(1);  // names in
  form.selectCombo4(1);  // names out
  form.selectCombo2(8);  // "42(zone6)"
  form.Txt1 = "P1 55.45 37.37 150\r\n\r\nP2 56.0 37.37 0\r\n";

  form.sheets200k();

  EXPECT_TRUE(form.Txt_TrapVisible);
  EXPECT_EQ(form.Txt_Trap, "P1; N-37-II\r\n\r\nP2; O-37-XXXII\r\n\r\n");
  EXPECT_EQ(form.Combo2.index, 8);
  EXPECT_TRUE(form.Combo4.visible);  // the restored plane target shows the plane layouts
  // The output format stays as the handler set it.
  EXPECT_TRUE(form.format.checked(FormatItem::mnugms1_));
  EXPECT_FALSE(form.format.checked(FormatItem::mnugms2_));
  EXPECT_FALSE(form.format.checked(FormatItem::mnuGGG));
  EXPECT_FALSE(form.format.checked(FormatItem::fOzi));
  EXPECT_NE(form.Txt2.find("55.4500000"), std::string::npos);  // the run's Krasovsky result
}

TEST_F(MapSheetHandler, Tr50WritesTheHundredThousandSheets) {
  form.selectCombo1(testing::kBlhKrasIndex);
  form.formatItemClick(FormatItem::mnugms1);
  form.Txt1 = "55.45 37.37\r\n38.0 37.37";
  form.sheets100k();
  EXPECT_EQ(form.Txt_Trap, "N-37-4\r\n64\r\n");
  EXPECT_EQ(form.Combo2.index, 0);
}

TEST_F(MapSheetHandler, PlaneSourceGoesThroughTheConversion) {
  // A "42(zone6)" point at about 53°50' N, 35°15' E: 10' and 15' from the
  // nearest sheet edges at both scales (about 16 km), so the names do not
  // hang on the accuracy of the conversion.
  form.selectCombo1(8);
  form.Txt1 = "5969818.6 6648125.2 0\r\n";
  form.sheets200k();
  EXPECT_EQ(form.Txt_Trap, "N-36-XXIV\r\n\r\n");
  form.sheets100k();
  EXPECT_EQ(form.Txt_Trap, "N-36-83\r\n\r\n");
  EXPECT_TRUE(platform.questions.empty());
}

// Regression: with unnamed input and the named output layout the result line
// starts with a TAB, and reading it back took the latitude for the name.
TEST_F(MapSheetHandler, SheetsDoNotDependOnTheOutputLayout) {
  form.selectCombo1(testing::kBlhKrasIndex);
  form.formatItemClick(FormatItem::mnugms1);
  for (const int layout : {0, 1, 2}) {
    form.selectCombo4(layout);
    form.Txt1 = "55.45 37.37\r\n";
    form.sheets200k();
    EXPECT_EQ(form.Txt_Trap, std::string(layout == 1 ? "; " : "") + "N-37-II\r\n\r\n") << layout;
  }
}

TEST_F(MapSheetHandler, EmptyListGivesOneEmptyLine) {
  form.Txt1 = "";
  form.sheets200k();
  EXPECT_EQ(form.Txt2, "");
  EXPECT_EQ(form.Txt_Trap, "\r\n");
  EXPECT_TRUE(form.Txt_TrapVisible);
}

TEST_F(MapSheetHandler, WaypointOutputIsSwitchedOffForTheRun) {
  form.selectCombo1(testing::kBlhKrasIndex);
  form.formatItemClick(FormatItem::mnugms1);
  form.selectCombo2(testing::kWgs84Index);
  form.formatItemClick(FormatItem::fOzi);
  ASSERT_TRUE(form.format.checked(FormatItem::fOzi));
  form.Txt1 = "55.45 37.37 0";
  form.sheets200k();
  EXPECT_EQ(form.Txt_Trap, "N-37-II\r\n");
  EXPECT_EQ(form.Combo2.index, testing::kWgs84Index);
  EXPECT_FALSE(form.format.checked(FormatItem::fOzi));
}

// Regression: a 16-bit line counter ended the sheet list after 32767 lines.
TEST(SheetListLength, ListsLongerThan32767LinesAreNamedToTheEnd) {
  std::string results;
  for (int i = 0; i < 40000; ++i) results += "55.450000000\t37.370000000\t1.000 \r\n";
  const std::vector<SheetPoint> points(40000, SheetPoint{"", 55.75, kL3737});
  const std::string list = BuildSheetList(results, points, 200, false);
  EXPECT_EQ(list.substr(0, 9), "N-37-II\r\n");
  EXPECT_TRUE(list.ends_with("N-37-II\r\n\r\n"));
  std::size_t lines = 0;
  for (std::size_t i = 0; i + 1 < list.size(); ++i) lines += list.compare(i, 2, "\r\n") == 0;
  EXPECT_EQ(lines, 40001u);  // and the empty line after the last line end
}

}  // namespace
}  // namespace korvagrid
