#include "conversion/catalogue.h"

#include <cmath>
#include <string>

#include "common/checked_int16.h"
#include "common/error.h"
#include "formats/number_parse.h"

namespace korvagrid {

const std::array<CatalogueEntry, kFixedEntryCount>& FixedEntries() {
  using enum SystemKind;
  // Central meridians in arc seconds: 100620 is 27°57', 111420 30°57', 122220 33°57',
  // 108000 30°, 116940 32°29', 127740 35°29', 138540 38°29', 106140 29°29'.
  static const std::array<CatalogueEntry, kFixedEntryCount> entries{{
      {"63 (C2)", {LocalPlane, 11057.626, 100620, 2, 250000, 0, false}},
      {"63 (C3)", {LocalPlane, 11057.63, 111420, 3, 250000, 0, false}},
      {"63 (C4)", {LocalPlane, 11057.63, 122220, 4, 250000, 0, false}},
      {"M64", {LocalPlane, 6552810.0, 108000, 0, 95942.17, 0, false}},
      {"63 (P1)", {LocalPlane, 12900.563, 116940, 1, 250000, 0, false}},
      {"63 (P2)", {LocalPlane, 12900.563, 127740, 2, 250000, 0, false}},
      {"63 (P3)", {LocalPlane, 12900.563, 138540, 3, 250000, 0, false}},
      {"42(zone5)", {GaussKrugerZone, 0, 97200, 5, 500000, 0, false}},
      {"42(zone6)", {GaussKrugerZone, 0, 118800, 6, 500000, 0, false}},
      {"42(zone7)", {GaussKrugerZone, 0, 140400, 7, 500000, 0, false}},
      {"BLH(Kras)", {Geographic, 0, 0, 0, 500000, 0, false}},
      {"WGS-84", {Geographic, 0, 0, 0, 500000, 0, true}},
      {"  47(1)", {LocalPlane, 11057.626, 100620, 1, 250000, 6200000, false}},
      {"  47(2)", {LocalPlane, 11057.63, 111420, 2, 250000, 6200000, false}},
      {"  47(3)", {LocalPlane, 11057.63, 122220, 3, 250000, 6200000, false}},
      {"  53(1)", {LocalPlane, 12900.563, 106140, 1, 250000, 5900000, false}},
      {"  53(2)", {LocalPlane, 12900.563, 116940, 2, 250000, 5900000, false}},
      {"  53(3)", {LocalPlane, 12900.563, 127740, 3, 250000, 5900000, false}},
  }};
  return entries;
}

std::vector<std::string> CatalogueTexts(std::string_view ownText) {
  std::vector<std::string> texts;
  texts.reserve(kCatalogueEntryCount);
  for (const CatalogueEntry& entry : FixedEntries()) texts.emplace_back(entry.text);
  texts.emplace_back(ownText);
  return texts;
}

CoordinateSystem OwnSystemParameters(const OwnSystem& own, char numP) {
  CoordinateSystem system;
  system.kind = own.cUTM == 1 ? SystemKind::GaussKrugerZone : SystemKind::LocalPlane;
  system.falseNorth = ParseFieldNumber(own.dXmy, numP);
  system.centralMeridian = own.dLmy;
  // The zone whose 6° band holds the meridian: (degrees + 3) / 6, ties to even.
  system.zone = RoundToInt16((ParseFieldNumber(own.T1, numP) + 3) / 6);
  system.falseEast = ParseFieldNumber(own.dYmy, numP);
  system.xOffset = 0;
  system.isWgs84 = false;
  return system;
}

CoordinateSystem CatalogueSystem(int index, int entryCount, const OwnSystem& own, char numP) {
  if (IsOwnEntry(index, entryCount)) return OwnSystemParameters(own, numP);
  if (index < 0 || index >= kFixedEntryCount) {
    throw KorvagridError("нет системы координат с номером " + std::to_string(index));
  }
  return FixedEntries()[static_cast<std::size_t>(index)].system;
}

}  // namespace korvagrid
