#include "map/gauss_kruger_zones.h"

#include <cmath>
#include <cstdint>

namespace korvagrid {
namespace {

constexpr double kFullCircleDegrees = 360.0;

// Longitude brought into [0°, 360°).
double EastOfGreenwich(double longitude) {
  const double east = std::fmod(longitude, kFullCircleDegrees);
  return east < 0 ? east + kFullCircleDegrees : east;
}

}  // namespace

int GaussKrugerZone(double longitude) {
  const int index = static_cast<int>(std::floor(EastOfGreenwich(longitude) / kZoneWidthDegrees));
  return index % kZoneCount + 1;
}

double ZoneWestLongitude(int zone) { return (zone - 1) * kZoneWidthDegrees; }

std::optional<std::string> OutsideZoneReason(int zone, double longitude, double overlapDegrees) {
  const double west = ZoneWestLongitude(zone);
  const double east = west + kZoneWidthDegrees;
  // Degrees east of the central meridian in [-180°, 180°), so that the
  // overlap reaches across 0° (zone 1's west, zone 60's east) as well; the
  // differences of whole degrees are exact, so a boundary meridian is in.
  const double centre = west + kZoneHalfWidthDegrees;
  const double fromCentre =
      std::fmod(EastOfGreenwich(longitude) - centre + 1.5 * kFullCircleDegrees,
                kFullCircleDegrees) -
      kFullCircleDegrees / 2;
  if (std::fabs(fromCentre) <= kZoneHalfWidthDegrees + overlapDegrees) return std::nullopt;
  return "долгота " + DegreesMinutesText(longitude) + " вне зоны " + std::to_string(zone) + " (" +
         DegreesMinutesText(west) + "–" + DegreesMinutesText(east) + ")";
}

std::string DegreesMinutesText(double degrees) {
  // Whole seconds, so that 20' held as 0.333...° is not written as 19'59".
  constexpr double kSecondsPerDegree = 3600.0;
  const std::int64_t total = std::llround(std::fabs(degrees) * kSecondsPerDegree * 1000) / 1000;
  const std::int64_t d = total / 3600;
  const std::int64_t m = total / 60 % 60;
  const std::int64_t s = total % 60;
  const auto twoDigits = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  std::string text = degrees < 0 && total != 0 ? "-" : "";
  text += std::to_string(d) + "°" + twoDigits(m) + "'";
  if (s != 0) text += twoDigits(s) + "\"";
  return text;
}

}  // namespace korvagrid
