// PROJ strings and pipelines of Korvagrid's systems (see proj_definition.h).
// Numbers are written in their shortest form that reads back as the same
// double, so that PROJ computes with exactly the values Korvagrid uses.
#include "definitions/proj_definition.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "geodesy/constants.h"

namespace korvagrid {
namespace {

constexpr int kFirstEpsgZone = 2;
constexpr int kLastEpsgZone = 32;
constexpr int kEpsgPrefixedZone0 = 28400;  // Pulkovo 1942 / Gauss-Kruger zone n: 28400 + n
constexpr int kEpsgBareZone0 = 2490;       // Pulkovo 1942 / Gauss-Kruger CM (6n−3)E: 2490 + n
constexpr int kEpsgPulkovo1942 = 4284;
constexpr int kEpsgWgs84 = 4326;
constexpr double kPartsPerMillion = 1e6;  // scale difference m = ppm / 1e6

// Appends `value` in its shortest round-trip form; −0 is written as 0.
void Append(std::string& out, double value) {
  if (value == 0) value = 0;
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void Append(std::string& out, std::string_view a, double value) {
  out += a;
  Append(out, value);
}

bool IsPlane(const DefinedSystem& system) { return system.kind != SystemKind::Geographic; }

// +lat_0=0 +lon_0=.. +k=1 +x_0=.. +y_0=.. +ellps=krass of a plane system.
std::string TransverseMercator(const DefinedSystem& system) {
  std::string out = "+proj=tmerc +lat_0=0";
  Append(out, " +lon_0=", system.centralMeridian / kArcSecondsPerDegree);
  out += " +k=1";
  Append(out, " +x_0=", system.falseEast + system.yPrefix * kMetresPerZonePrefix);
  Append(out, " +y_0=", -(system.falseNorth + system.xOffset));
  out += " +ellps=krass";
  return out;
}

// +proj=helmert with the seven parameters in the coordinate-frame convention.
std::string Helmert(const HelmertParameters& p) {
  std::string out = "+proj=helmert";
  Append(out, " +x=", p.dx);
  Append(out, " +y=", p.dy);
  Append(out, " +z=", p.dz);
  Append(out, " +rx=", p.wx);
  Append(out, " +ry=", p.wy);
  Append(out, " +rz=", p.wz);
  Append(out, " +s=", p.m * kPartsPerMillion);
  out += " +convention=coordinate_frame";
  return out;
}

// The datum steps between geodetic radians on `from` and on `to`.
std::string DatumSteps(std::string_view from, std::string_view to, const HelmertParameters& p,
                       HeightsMode heights) {
  std::string out;
  if (heights == HeightsMode::Keep) out += " +step +proj=push +v_3";
  out += " +step +proj=cart +ellps=";
  out += from;
  out += " +step ";
  out += Helmert(p);
  out += " +step +inv +proj=cart +ellps=";
  out += to;
  if (heights == HeightsMode::Keep) out += " +step +proj=pop +v_3";
  return out;
}

constexpr std::string_view kSwapAxes = " +step +proj=axisswap +order=2,1";
constexpr std::string_view kDegreesToRadians = " +step +proj=unitconvert +xy_in=deg +xy_out=rad";
constexpr std::string_view kRadiansToDegrees = " +step +proj=unitconvert +xy_in=rad +xy_out=deg";

std::string ToWgs84Pipeline(const DefinedSystem& system, const DatumShiftSet& set,
                            HeightsMode heights) {
  std::string out = "+proj=pipeline";
  out += kSwapAxes;
  if (IsPlane(system)) {
    out += " +step +inv ";
    out += TransverseMercator(system);
  } else {
    out += kDegreesToRadians;
  }
  out += DatumSteps("krass", "WGS84", set.toWgs84, heights);
  out += kRadiansToDegrees;
  out += kSwapAxes;
  return out;
}

std::string FromWgs84Pipeline(const DefinedSystem& system, const DatumShiftSet& set,
                              HeightsMode heights) {
  std::string out = "+proj=pipeline";
  out += kSwapAxes;
  out += kDegreesToRadians;
  out += DatumSteps("WGS84", "krass", Negated(set.toWgs84), heights);
  if (IsPlane(system)) {
    out += " +step ";
    out += TransverseMercator(system);
  } else {
    out += kRadiansToDegrees;
  }
  out += kSwapAxes;
  return out;
}

}  // namespace

std::optional<int> EpsgCodeOf(const DefinedSystem& system) {
  if (!IsPlane(system)) return system.isWgs84 ? kEpsgWgs84 : kEpsgPulkovo1942;
  if (system.falseNorth != 0 || system.xOffset != 0 || system.falseEast != kZoneFalseEastingMetres) {
    return std::nullopt;
  }
  const double meridianDegrees = system.centralMeridian / kArcSecondsPerDegree;
  const double zone = (meridianDegrees + kZoneHalfWidthDegrees) / kZoneWidthDegrees;
  if (zone != std::trunc(zone) || zone < kFirstEpsgZone || zone > kLastEpsgZone) return std::nullopt;
  const int n = static_cast<int>(zone);
  if (system.yPrefix == n) return kEpsgPrefixedZone0 + n;
  if (system.yPrefix == 0) return kEpsgBareZone0 + n;
  return std::nullopt;
}

std::string ProjTowgs84(const DatumShiftSet& set) {
  const HelmertParameters& p = set.toWgs84;
  std::string out;
  Append(out, p.dx);
  Append(out, ",", p.dy);
  Append(out, ",", p.dz);
  // Position vector: the rotations with their signs flipped.
  Append(out, ",", -p.wx);
  Append(out, ",", -p.wy);
  Append(out, ",", -p.wz);
  Append(out, ",", p.m * kPartsPerMillion);
  return out;
}

ProjDefinition DefineForProj(const DefinedSystem& system, const DatumShiftSet& set,
                             HeightsMode heights) {
  ProjDefinition d;
  d.epsg = EpsgCodeOf(system);
  if (!IsPlane(system) && system.isWgs84) {
    d.crs = "+proj=longlat +datum=WGS84 +no_defs +type=crs";
    d.toWgs84 = "+proj=noop";
    d.fromWgs84 = "+proj=noop";
    return d;
  }
  d.epsgOperation = set.epsgOperation;
  d.crs = IsPlane(system) ? TransverseMercator(system) : "+proj=longlat +ellps=krass";
  d.crs += " +towgs84=" + ProjTowgs84(set);
  d.crs += IsPlane(system) ? " +units=m +no_defs +type=crs" : " +no_defs +type=crs";
  d.toWgs84 = ToWgs84Pipeline(system, set, heights);
  d.fromWgs84 = FromWgs84Pipeline(system, set, heights);
  return d;
}

}  // namespace korvagrid
