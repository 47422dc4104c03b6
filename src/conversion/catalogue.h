#pragma once
// The catalogue of coordinate systems offered in the source and target lists:
// eighteen fixed entries and, last, the user's own system.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/own_system.h"
#include "geodesy/system_kind.h"

namespace korvagrid {

struct CoordinateSystem {
  SystemKind kind = SystemKind::LocalPlane;
  double falseNorth = 0;       // metres, handed to Module1
  double centralMeridian = 0;  // arc seconds east of Greenwich
  std::int16_t zone = 0;       // its millions are the prefix of a full Y
  double falseEast = 0;        // metres, handed to Module1
  std::int32_t xOffset = 0;    // metres by which X is written short (full X = written X + xOffset)
  bool isWgs84 = false;
};

struct CatalogueEntry {
  std::string_view text;  // list text, leading spaces included
  CoordinateSystem system;
};

inline constexpr int kFixedEntryCount = 18;
inline constexpr int kCatalogueEntryCount = kFixedEntryCount + 1;  // with the own system
inline constexpr int kM64Index = 3;
inline constexpr int kBlhKrasIndex = 10;
inline constexpr int kWgs84Index = 11;
inline constexpr std::string_view kNewOwnEntryText = " New...";

const std::array<CatalogueEntry, kFixedEntryCount>& FixedEntries();

// The list texts of both system lists: the fixed texts, then `ownText`.
std::vector<std::string> CatalogueTexts(std::string_view ownText);

// The own entry is the last one, whatever its text.
inline bool IsOwnEntry(int index, int entryCount) { return index == entryCount - 1; }
inline bool IsGeographicEntry(int index) { return index == kBlhKrasIndex || index == kWgs84Index; }

// The parameters of the own system, read from the dialog's texts; throws
// KorvagridError when a text that must be a number is not one.
CoordinateSystem OwnSystemParameters(const OwnSystem& own, char numP);

// The entry at `index` of a list of `entryCount` entries (the last one is the own system).
CoordinateSystem CatalogueSystem(int index, int entryCount, const OwnSystem& own, char numP);

}  // namespace korvagrid
