// The catalogue of systems: its rows, the own system's row, the rules of
// which choices go together, and a system that joins with one row.
#include <gtest/gtest.h>

#include "conversion/catalogue.h"
#include "conversion/own_system.h"
#include "conversion/settings.h"
#include "support/run_helpers.h"

namespace korvagrid {
namespace {

struct EntryCase {
  int index;
  const char* text;  // leading spaces are part of the list text
  SystemKind kind;
  double falseNorth;
  double centralMeridian;
  int zone;
  double falseEast;
  int xOffset;
};

TEST(Catalogue, FixedEntries) {
  using enum SystemKind;
  const std::vector<EntryCase> cases = {
      {0, "63 (C2)", LocalPlane, 11057.626, 100620, 2, 250000, 0},
      {1, "63 (C3)", LocalPlane, 11057.63, 111420, 3, 250000, 0},  // 0.004 m off entry 0
      {3, "M64", LocalPlane, 6552810.0, 108000, 0, 95942.17, 0},
      {6, "63 (P3)", LocalPlane, 12900.563, 138540, 3, 250000, 0},
      {7, "42(zone5)", GaussKrugerZone, 0, 97200, 5, 500000, 0},
      {9, "42(zone7)", GaussKrugerZone, 0, 140400, 7, 500000, 0},
      {10, "BLH(Kras)", Geographic, 0, 0, 0, 500000, 0},
      {11, "WGS-84", Geographic, 0, 0, 0, 500000, 0},
      {12, "  47(1)", LocalPlane, 11057.626, 100620, 1, 250000, 6200000},
      {15, "  53(1)", LocalPlane, 12900.563, 106140, 1, 250000, 5900000},
      {17, "  53(3)", LocalPlane, 12900.563, 127740, 3, 250000, 5900000},
  };
  const auto rows = FixedSystems();
  ASSERT_EQ(rows.size(), 18u);
  for (const EntryCase& c : cases) {
    const CoordinateSystem& e = rows[static_cast<std::size_t>(c.index)];
    EXPECT_EQ(e.name, c.text) << c.index;
    EXPECT_EQ(e.kind, c.kind) << c.text;
    EXPECT_EQ(e.falseNorth, c.falseNorth) << c.text;
    EXPECT_EQ(e.centralMeridian, c.centralMeridian) << c.text;
    EXPECT_EQ(e.zone, c.zone) << c.text;
    EXPECT_EQ(e.falseEast, c.falseEast) << c.text;
    EXPECT_EQ(e.xOffset, c.xOffset) << c.text;
    EXPECT_EQ(e.isWgs84, c.index == 11) << c.text;
    EXPECT_FALSE(e.userDefined) << c.text;
  }
}

TEST(Catalogue, SharedMeridiansMakeIdentityPairs) {
  const auto e = FixedSystems();
  const std::vector<std::pair<int, int>> pairs = {{0, 12}, {1, 13}, {2, 14}, {4, 16}, {5, 17}};
  for (const auto& [a, b] : pairs) {
    EXPECT_EQ(e[static_cast<std::size_t>(a)].centralMeridian, e[static_cast<std::size_t>(b)].centralMeridian)
        << e[static_cast<std::size_t>(a)].name << " and " << e[static_cast<std::size_t>(b)].name;
  }
}

TEST(Catalogue, OwnEntryIsItsOwnWhateverItsName) {
  OwnSystem own;
  own.name = "63 (C2)";  // the name of a fixed row
  const CoordinateSystem row = OwnSystemEntry(own);
  EXPECT_TRUE(row.userDefined);
  EXPECT_FALSE(SameEntry(row, FixedSystems()[0]));
  EXPECT_TRUE(SameEntry(row, OwnSystemEntry(own)));
  EXPECT_TRUE(IsGeographic(KrasovskyGeographic()));
  EXPECT_TRUE(Wgs84Geographic().isWgs84);
  EXPECT_FALSE(KrasovskyGeographic().isWgs84);
}

TEST(Catalogue, OwnSystemFromItsFields) {
  struct Case {
    const char* why;
    const char* degrees;
    SystemKind kind;
    int zone;
  };
  const std::vector<Case> cases = {
      {"32° lies in zone 6", "32", SystemKind::LocalPlane, 6},
      {"33° is zone 6's meridian", "33", SystemKind::GaussKrugerZone, 6},
      {"27° is zone 5's meridian", "27", SystemKind::LocalPlane, 5},
      {"30°: (30 + 3) / 6 = 5.5 goes to the even 6", "30", SystemKind::LocalPlane, 6},
      {"24°: 4.5 goes to the even 4", "24", SystemKind::LocalPlane, 4},
      {"36°: 6.5 goes to the even 6", "36", SystemKind::LocalPlane, 6},
  };
  for (const Case& c : cases) {
    OwnSystemTexts texts = InitialOwnSystemTexts('.');
    texts.degrees = c.degrees;
    texts.kind = c.kind;
    const OwnSystemReading own = ReadOwnSystem(texts, '.');
    ASSERT_TRUE(own.system) << c.why;
    EXPECT_EQ(own.system->zone, c.zone) << c.why;
    EXPECT_EQ(OwnSystemEntry(*own.system).kind, c.kind) << c.why;
  }
  // The initial own system as a run reads it.
  const OwnSystemReading initial = ReadOwnSystem(InitialOwnSystemTexts(','), ',');
  ASSERT_TRUE(initial.system);
  const CoordinateSystem row = OwnSystemEntry(*initial.system);
  EXPECT_EQ(row.centralMeridian, 116820);  // 32°27'00"
  EXPECT_EQ(row.falseNorth, 11057.63);
  EXPECT_EQ(row.falseEast, 250000);
  EXPECT_EQ(row.zone, 6);
  EXPECT_EQ(row.xOffset, 0);
  EXPECT_FALSE(row.isWgs84);
}

TEST(Catalogue, OwnFieldsThatAreNotNumbersAreRefused) {
  for (const char* text : {"-", "", "1,2,3", "12a", "1.5.5"}) {
    OwnSystemTexts texts = InitialOwnSystemTexts('.');
    texts.falseNorth = text;
    EXPECT_FALSE(ReadOwnSystem(texts, '.').system) << "\"" << text << "\"";
  }
  OwnSystemTexts texts = InitialOwnSystemTexts('.');
  texts.degrees = "99999999";  // a zone far outside 16 bits
  EXPECT_FALSE(ReadOwnSystem(texts, '.').system);
}

// The rules both front ends apply: what the window enables and disables,
// what the command line refuses.
TEST(Settings, WhichChoicesGoTogether) {
  struct Case {
    const char* why;
    int source, target;
    InputAngles angles;
    PlaneStyle in, out;
    std::vector<SettingsConflict> conflicts;
  };
  using enum SettingsConflict;
  const auto dms = InputAngles::Dms;
  const auto standard = PlaneStyle::Standard, full = PlaneStyle::Full, shortX = PlaneStyle::Short;
  const std::vector<Case> cases = {
      {"63 (C3) offers every style", 1, 1, dms, shortX, full, {}},
      {"M64 writes X and Y its own way only", 3, 1, dms, shortX, standard, {InputPlaneStyleNotOffered}},
      {"the 47 family as target", 1, 13, dms, standard, full, {OutputPlaneStyleNotOffered}},
      {"the own system", 18, 18, dms, full, shortX, {InputPlaneStyleNotOffered, OutputPlaneStyleNotOffered}},
      {"a Trimble report from a plane source", 8, 11, InputAngles::TrimbleReport, standard, standard,
       {ReportFromPlaneSource}},
      {"an Ashtech report from WGS-84", 11, 8, InputAngles::AshtechReport, standard, standard, {}},
  };
  for (const Case& c : cases) {
    ConversionSettings s = testing::SettingsFor(c.source, c.target);
    s.inputAngles = c.angles;
    s.inputPlane = c.in;
    s.outputPlane = c.out;
    EXPECT_EQ(ConflictsOf(s), c.conflicts) << c.why;
  }
  EXPECT_EQ(LayoutForInputAngles(InputAngles::TrimbleReport, RecordLayout::XYH), RecordLayout::NameXYH);
  EXPECT_EQ(LayoutForInputAngles(InputAngles::Dms, RecordLayout::XY), RecordLayout::XY);
}

// A new system joins with one row: the run reads its flags, its zone advice
// and its parameters, and nothing else needs to know it.
TEST(Catalogue, ASystemJoinsWithOneRow) {
  const CoordinateSystem row{.name = "Test(8)", .kind = SystemKind::LocalPlane, .falseNorth = 0,
                             .centralMeridian = 45 * 3600, .zone = 8, .falseEast = 300000,
                             .xOffset = 5000000, .zoneAdvice = "Надо Test(8)."};
  ConversionSettings s = testing::SettingsFor(1, 1);
  s.source = row;
  s.target = row;
  // Written short, so a large X asks; a Y prefixed for zone 8 is its own.
  testing::FakePlatform platform;
  platform.answers = {Answer::Yes};
  const auto c = testing::Convert("1234567.8 8345678.9 10", s, platform);
  ASSERT_EQ(platform.questions.size(), 1u);
  EXPECT_NE(platform.questions[0].text.find("('X' великоват)"), std::string::npos);
  EXPECT_EQ(c.text, "1234567.800\t8345678.900 \t10.000 ");  // the same entry: written as read
  // A Y prefixed for another zone than the row's asks with that zone's advice.
  testing::FakePlatform other;
  other.answers = {Answer::Yes, Answer::Yes};
  testing::Convert("1234567.8 3345678.9 10", s, other);
  ASSERT_EQ(other.questions.size(), 2u);
  EXPECT_NE(other.questions[1].text.find("Надо 63(C3), 47(3) или 53(3)."), std::string::npos);
}

}  // namespace
}  // namespace korvagrid
