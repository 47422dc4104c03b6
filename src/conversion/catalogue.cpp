#include "conversion/catalogue.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "conversion/own_system.h"

namespace korvagrid {
namespace {

// Advice of the zone question, by the zone number written in front of Y.
constexpr std::string_view kZone1Advice = "Надо 63(P1), 63(Q1), 47(1) или 53(1).";
constexpr std::string_view kZone2Advice = "Надо 63(C2), 63(P2), 47(2) или 53(2).";
constexpr std::string_view kZone3Advice = "Надо 63(C3), 47(3) или 53(3).";
constexpr std::string_view kZone4Advice = "Надо 63(C4).";
constexpr std::string_view kZone5Advice = "Надо 'UTM-27'.";
constexpr std::string_view kZone6Advice = "Надо 'UTM-33'.";

// EPSG codes: Pulkovo 1942 geographic, WGS 84 geographic, and the Pulkovo
// 1942 Gauss-Kruger zones (28400 + zone).
constexpr int kEpsgPulkovo1942 = 4284;
constexpr int kEpsgWgs84 = 4326;
constexpr int kEpsgGaussKrugerZone = 28400;

// Central meridians in arc seconds: 100620 is 27°57', 111420 30°57', 122220
// 33°57', 108000 30°, 116940 32°29', 127740 35°29', 138540 38°29', 106140 29°29'.
const std::array<CoordinateSystem, 18>& Rows() {
  using enum SystemKind;
  static const std::array<CoordinateSystem, 18> rows{{
      {.name = "63 (C2)",
       .kind = LocalPlane,
       .falseNorth = 11057.626,
       .centralMeridian = 100620,
       .zone = 2,
       .falseEast = 250000,
       .zoneAdvice = kZone2Advice},
      {.name = "63 (C3)",
       .kind = LocalPlane,
       .falseNorth = 11057.63,
       .centralMeridian = 111420,
       .zone = 3,
       .falseEast = 250000,
       .zoneAdvice = kZone3Advice},
      {.name = "63 (C4)",
       .kind = LocalPlane,
       .falseNorth = 11057.63,
       .centralMeridian = 122220,
       .zone = 4,
       .falseEast = 250000,
       .zoneAdvice = kZone4Advice},
      {.name = "M64",
       .kind = LocalPlane,
       .falseNorth = 6552810.0,
       .centralMeridian = 108000,
       .zone = 0,
       .falseEast = 95942.17,
       .xBelowMillion = true,
       .offersFullAndShortX = false},
      {.name = "63 (P1)",
       .kind = LocalPlane,
       .falseNorth = 12900.563,
       .centralMeridian = 116940,
       .zone = 1,
       .falseEast = 250000,
       .zoneAdvice = kZone1Advice},
      {.name = "63 (P2)",
       .kind = LocalPlane,
       .falseNorth = 12900.563,
       .centralMeridian = 127740,
       .zone = 2,
       .falseEast = 250000,
       .zoneAdvice = kZone2Advice},
      {.name = "63 (P3)",
       .kind = LocalPlane,
       .falseNorth = 12900.563,
       .centralMeridian = 138540,
       .zone = 3,
       .falseEast = 250000},
      {.name = "42(zone5)",
       .kind = GaussKrugerZone,
       .centralMeridian = 97200,
       .zone = 5,
       .falseEast = 500000,
       .zoneAdvice = kZone5Advice,
       .epsg = kEpsgGaussKrugerZone + 5},
      {.name = "42(zone6)",
       .kind = GaussKrugerZone,
       .centralMeridian = 118800,
       .zone = 6,
       .falseEast = 500000,
       .zoneAdvice = kZone6Advice,
       .epsg = kEpsgGaussKrugerZone + 6},
      {.name = "42(zone7)",
       .kind = GaussKrugerZone,
       .centralMeridian = 140400,
       .zone = 7,
       .falseEast = 500000,
       .epsg = kEpsgGaussKrugerZone + 7},
      {.name = "BLH(Kras)", .kind = Geographic, .falseEast = 500000, .epsg = kEpsgPulkovo1942},
      {.name = "WGS-84",
       .kind = Geographic,
       .falseEast = 500000,
       .isWgs84 = true,
       .epsg = kEpsgWgs84},
      {.name = "  47(1)",
       .kind = LocalPlane,
       .falseNorth = 11057.626,
       .centralMeridian = 100620,
       .zone = 1,
       .falseEast = 250000,
       .xOffset = 6200000,
       .offersFullAndShortX = false,
       .zoneAdvice = kZone1Advice},
      {.name = "  47(2)",
       .kind = LocalPlane,
       .falseNorth = 11057.63,
       .centralMeridian = 111420,
       .zone = 2,
       .falseEast = 250000,
       .xOffset = 6200000,
       .offersFullAndShortX = false,
       .zoneAdvice = kZone2Advice},
      {.name = "  47(3)",
       .kind = LocalPlane,
       .falseNorth = 11057.63,
       .centralMeridian = 122220,
       .zone = 3,
       .falseEast = 250000,
       .xOffset = 6200000,
       .offersFullAndShortX = false,
       .zoneAdvice = kZone3Advice},
      {.name = "  53(1)",
       .kind = LocalPlane,
       .falseNorth = 12900.563,
       .centralMeridian = 106140,
       .zone = 1,
       .falseEast = 250000,
       .xOffset = 5900000,
       .offersFullAndShortX = false,
       .zoneAdvice = kZone1Advice},
      {.name = "  53(2)",
       .kind = LocalPlane,
       .falseNorth = 12900.563,
       .centralMeridian = 116940,
       .zone = 2,
       .falseEast = 250000,
       .xOffset = 5900000,
       .offersFullAndShortX = false,
       .zoneAdvice = kZone2Advice},
      {.name = "  53(3)",
       .kind = LocalPlane,
       .falseNorth = 12900.563,
       .centralMeridian = 127740,
       .zone = 3,
       .falseEast = 250000,
       .xOffset = 5900000,
       .offersFullAndShortX = false,
       .zoneAdvice = kZone3Advice},
  }};
  return rows;
}

const CoordinateSystem& FirstGeographic(bool wgs84) {
  const auto rows = FixedSystems();
  return *std::find_if(rows.begin(), rows.end(), [wgs84](const CoordinateSystem& s) {
    return s.kind == SystemKind::Geographic && s.isWgs84 == wgs84;
  });
}

}  // namespace

std::string NormalisedName(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  std::string out(text.substr(first, last - first + 1));
  // ASCII only, whatever the locale: the names are compared byte for byte.
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::span<const CoordinateSystem> FixedSystems() { return Rows(); }

CoordinateSystem OwnSystemEntry(const OwnSystem& own) {
  return {.name = own.name,
          .kind = own.kind,
          .falseNorth = own.falseNorth,
          .centralMeridian = own.centralMeridian,
          .zone = own.zone,
          .falseEast = own.falseEast,
          .offersFullAndShortX = false,
          .userDefined = true};
}

bool SameEntry(const CoordinateSystem& a, const CoordinateSystem& b) {
  return a.userDefined == b.userDefined && a.name == b.name;
}

const CoordinateSystem& Wgs84Geographic() { return FirstGeographic(true); }
const CoordinateSystem& KrasovskyGeographic() { return FirstGeographic(false); }

std::optional<std::string_view> ZoneAdvice(std::int64_t zone) {
  for (const CoordinateSystem& s : FixedSystems()) {
    if (s.zone == zone && !s.zoneAdvice.empty()) return s.zoneAdvice;
  }
  return std::nullopt;
}

const CoordinateSystem* FindFixedSystem(std::string_view nameOrIndex) {
  const std::string wanted = NormalisedName(nameOrIndex);
  if (wanted.empty()) return nullptr;
  const auto rows = FixedSystems();
  int index = -1;
  const auto [end, error] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), index);
  if (error == std::errc{} && end == wanted.data() + wanted.size()) {
    return index >= 0 && index < static_cast<int>(rows.size())
               ? &rows[static_cast<std::size_t>(index)]
               : nullptr;
  }
  for (const CoordinateSystem& s : rows) {
    if (NormalisedName(s.name) == wanted) return &s;
  }
  return nullptr;
}

}  // namespace korvagrid
