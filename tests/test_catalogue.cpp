// The catalogue of systems: list texts, parameters, and the own entry.
#include <gtest/gtest.h>

#include "common/error.h"
#include "conversion/catalogue.h"

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
  const auto& entries = FixedEntries();
  for (const EntryCase& c : cases) {
    const CatalogueEntry& e = entries[static_cast<std::size_t>(c.index)];
    EXPECT_EQ(e.text, c.text) << c.index;
    EXPECT_EQ(e.system.kind, c.kind) << c.text;
    EXPECT_EQ(e.system.falseNorth, c.falseNorth) << c.text;
    EXPECT_EQ(e.system.centralMeridian, c.centralMeridian) << c.text;
    EXPECT_EQ(e.system.zone, c.zone) << c.text;
    EXPECT_EQ(e.system.falseEast, c.falseEast) << c.text;
    EXPECT_EQ(e.system.xOffset, c.xOffset) << c.text;
    EXPECT_EQ(e.system.isWgs84, c.index == 11) << c.text;
  }
}

TEST(Catalogue, SharedMeridiansMakeIdentityPairs) {
  const auto& e = FixedEntries();
  const std::vector<std::pair<int, int>> pairs = {{0, 12}, {1, 13}, {2, 14}, {4, 16}, {5, 17}};
  for (const auto& [a, b] : pairs) {
    EXPECT_EQ(e[static_cast<std::size_t>(a)].system.centralMeridian,
              e[static_cast<std::size_t>(b)].system.centralMeridian)
        << e[static_cast<std::size_t>(a)].text << " and " << e[static_cast<std::size_t>(b)].text;
  }
}

TEST(Catalogue, OwnEntryIsTheLastWhateverItsText) {
  const auto texts = CatalogueTexts("Local-1");
  ASSERT_EQ(texts.size(), 19u);
  EXPECT_EQ(texts.back(), "Local-1");
  EXPECT_TRUE(IsOwnEntry(18, 19));
  EXPECT_FALSE(IsOwnEntry(17, 19));
  EXPECT_TRUE(IsGeographicEntry(10));
  EXPECT_TRUE(IsGeographicEntry(11));
  EXPECT_FALSE(IsGeographicEntry(9));
}

TEST(Catalogue, OwnSystemParameters) {
  struct Case {
    const char* why;
    const char* degrees;
    int type;
    int zone;
    SystemKind kind;
  };
  const std::vector<Case> cases = {
      {"32° lies in zone 6", "32", 0, 6, SystemKind::LocalPlane},
      {"33° is zone 6's meridian", "33", 1, 6, SystemKind::GaussKrugerZone},
      {"27° is zone 5's meridian", "27", 0, 5, SystemKind::LocalPlane},
      {"30°: (30 + 3) / 6 = 5.5 goes to the even 6", "30", 0, 6, SystemKind::LocalPlane},
      {"24°: 4.5 goes to the even 4", "24", 0, 4, SystemKind::LocalPlane},
      {"36°: 6.5 goes to the even 6", "36", 0, 6, SystemKind::LocalPlane},
  };
  for (const Case& c : cases) {
    OwnSystem own = InitialOwnSystem('.');
    own.T1 = c.degrees;
    own.cUTM = c.type;
    const CoordinateSystem s = OwnSystemParameters(own, '.');
    EXPECT_EQ(s.zone, c.zone) << c.why;
    EXPECT_EQ(s.kind, c.kind) << c.why;
  }
  // The initial own system as a run reads it.
  const CoordinateSystem initial = CatalogueSystem(18, 19, InitialOwnSystem(','), ',');
  EXPECT_EQ(initial.centralMeridian, 116820);  // 32°27'00"
  EXPECT_EQ(initial.falseNorth, 11057.63);
  EXPECT_EQ(initial.falseEast, 250000);
  EXPECT_EQ(initial.zone, 6);
  EXPECT_EQ(initial.xOffset, 0);
  EXPECT_FALSE(initial.isWgs84);
}

TEST(Catalogue, OwnFieldsThatAreNotNumbersFail) {
  for (const char* text : {"-", "", "1,2,3", "12a", "1.5.5"}) {
    OwnSystem own = InitialOwnSystem('.');
    own.dXmy = text;
    EXPECT_THROW(OwnSystemParameters(own, '.'), KorvagridError) << "\"" << text << "\"";
  }
  OwnSystem own = InitialOwnSystem('.');
  own.T1 = "99999999";  // a zone far outside 16 bits
  EXPECT_THROW(OwnSystemParameters(own, '.'), KorvagridError);
}

}  // namespace
}  // namespace korvagrid
