#include "conversion/routes.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/checked_int16.h"
#include "formats/angles.h"
#include "geodesy/arithmetic_check.h"
#include "geodesy/closed_series_plane.h"
#include "geodesy/constants.h"
#include "geodesy/kruger_zone.h"
#include "geodesy/packed_angle.h"

namespace korvagrid {
namespace {

bool IsPlane(const CoordinateSystem& s) { return s.kind != SystemKind::Geographic; }

// Latitude and longitude as the run read them (packed degrees, or decimal
// degrees where the input is decimal) in radians, with the height; each
// checked, a fault reported under `operation`.
GeodeticPoint ReadGeographic(std::string_view operation, const RoutePair& pair, const RouteInput& in) {
  RequireFinite(operation, "B", in.x);
  RequireFinite(operation, "L", in.y);
  RequireFinite(operation, "H", in.h);
  if (pair.decimalInput) return {in.x / kDegreesPerRadian, in.y / kDegreesPerRadian, in.h};
  if (const auto& parts = in.angleParts) {
    return {PartsToRad(parts->latitude), PartsToRad(parts->longitude), in.h};
  }
  return {PackedToRad(in.x), PackedToRad(in.y), in.h};
}

// Packed latitude and longitude (Krasovsky) in radians, with the height.
GeodeticPoint FromPacked(std::string_view operation, double b, double l, double h) {
  return {CheckedPackedToRad(operation, "B", b), CheckedPackedToRad(operation, "L", l), h};
}

// A result in packed degrees.
RouteOutput Packed(std::string_view operation, double b, double l, double h) {
  return {CheckedRadToPacked(operation, "B", b), CheckedRadToPacked(operation, "L", l), h};
}

// The height after a datum shift: shifted with the point, or kept as it was
// given, as the pair says.
double HeightAfterShift(const RoutePair& pair, double shifted, double given) {
  return pair.heights == HeightsMode::Keep ? given : shifted;
}

// SK-42 to WGS-84 and back with the pair's set.
GeodeticPoint ToWgs84(const RoutePair& pair, GeodeticPoint sk42) {
  GeodeticPoint r = DatumShiftOf(pair.datumShift).Forward(sk42);
  r.h = HeightAfterShift(pair, r.h, sk42.h);
  return r;
}

GeodeticPoint FromWgs84(const RoutePair& pair, GeodeticPoint wgs84) {
  GeodeticPoint r = DatumShiftOf(pair.datumShift).Reverse(wgs84);
  r.h = HeightAfterShift(pair, r.h, wgs84.h);
  return r;
}

// The zone a geographic point is projected into: zone `number`, or for 0
// the zone whose band holds the longitude as read.
KrugerZone ZoneFor(std::int16_t number, double longitude) {
  return number != 0 ? KrugerZone(number) : KrugerZone::Holding(longitude);
}

ClosedSeriesPlane SourcePlane(const RoutePair& pair) {
  return ClosedSeriesPlane(pair.source.falseNorth, pair.source.falseEast);
}

ClosedSeriesPlane TargetPlane(const RoutePair& pair) {
  return ClosedSeriesPlane(pair.target.falseNorth, pair.target.falseEast);
}

// ---- The routes (see routes.h) -----------------------------------------------

RouteOutput Identity(const RoutePair& pair, const RouteInput& in) {
  if (pair.source.kind == SystemKind::Geographic && pair.decimalInput) {
    return {DegreesToPacked(in.x), DegreesToPacked(in.y), in.h};
  }
  return {in.x, in.y, in.h};
}

RouteOutput PlaneToPlane(const RoutePair& pair, double deltaL, const RouteInput& in) {
  const PlanePoint p = ToOtherPlane(SourcePlane(pair), TargetPlane(pair), deltaL, {in.x, in.y});
  return {p.x, p.y, in.h};
}

RouteOutput LocalToKrasovsky(const RoutePair& pair, const RouteInput& in) {
  // The longitude comes out counted from Greenwich.
  const LatitudeLongitude q = ToGeographic(SourcePlane(pair), pair.source.centralMeridian, {in.x, in.y});
  return Packed("LocalToKrasovsky", q.latitude, q.longitude, in.h);
}

RouteOutput ZoneToGeographic(const RoutePair& pair, const RouteInput& in) {
  constexpr std::string_view kOperation = "ZoneToGeographic";
  // The prefix the run stripped from Y goes back from the source zone; the
  // zone of the full Y is the one its millions name.
  const double y = in.y + static_cast<double>(pair.source.zone) * kMetresPerZonePrefix;
  const double h = RequireFinite(kOperation, "H", in.h);
  const KrugerZone zone = KrugerZone::OfPrefixedY(y);
  const PlanePoint p{in.x, zone.WithoutPrefix(y)};
  if (pair.wgsInvolved) {
    // On to WGS-84, the Krasovsky point by the sines and cosines the shift
    // takes of its latitude and longitude.
    if (const std::optional<SinesWithLatitude> q = zone.ReverseSines(p)) {
      const GeodeticPoint wgs84 = DatumShiftOf(pair.datumShift).Forward(*q, h);
      return Packed(kOperation, wgs84.b, wgs84.l, HeightAfterShift(pair, wgs84.h, h));
    }
  }
  const LatitudeLongitude q = zone.Reverse(p);
  if (!pair.wgsInvolved) return Packed(kOperation, q.latitude, q.longitude, h);
  const GeodeticPoint wgs84 = ToWgs84(pair, {q.latitude, q.longitude, h});
  return Packed(kOperation, wgs84.b, wgs84.l, wgs84.h);
}

RouteOutput LocalToWgs84(const RoutePair& pair, const RouteInput& in) {
  constexpr std::string_view kOperation = "LocalToWgs84";
  // Krasovsky latitude and longitude in packed degrees, as for a
  // "BLH(Kras)" target, then on to WGS-84.
  const LatitudeLongitude q = ToGeographic(SourcePlane(pair), pair.source.centralMeridian, {in.x, in.y});
  const RouteOutput k = Packed(kOperation, q.latitude, q.longitude, in.h);
  const double h = RequireFinite(kOperation, "H", in.h);
  const GeodeticPoint wgs84 = ToWgs84(pair, FromPacked(kOperation, k.x, k.y, h));
  return Packed(kOperation, wgs84.b, wgs84.l, wgs84.h);
}

// Geographic input (Krasovsky, or WGS-84 when the pair involves it) to the
// plane of zone `number` (0: the zone holding the point as read); the height
// as the datum leaves it.
RouteOutput IntoZone(std::string_view operation, const RoutePair& pair, std::int16_t number,
                     const RouteInput& in) {
  GeodeticPoint p = ReadGeographic(operation, pair, in);
  const KrugerZone zone = ZoneFor(number, in.y);
  if (pair.wgsInvolved) {
    // The Krasovsky point goes on to the projection with the sines the shift
    // has of it.
    if (const std::optional<GeodeticPointSines> sk42 =
            DatumShiftOf(pair.datumShift).ReverseSines(p)) {
      const PlanePoint plane = zone.ForwardSines(*sk42);
      return {plane.x, plane.y, HeightAfterShift(pair, sk42->h, p.h)};
    }
    p = FromWgs84(pair, p);
  }
  const PlanePoint plane = zone.Forward({p.b, p.l});
  return {plane.x, plane.y, p.h};
}

RouteOutput GeographicToZone(const RoutePair& pair, const RouteInput& in) {
  // Projected into the target's zone, so that the value agrees with the
  // zone it is written for (and with its prefix) wherever the point lies.
  return IntoZone("GeographicToZone", pair, pair.targetZone, in);
}

RouteOutput KrasovskyToWgs84(const RoutePair& pair, const RouteInput& in) {
  constexpr std::string_view kOperation = "KrasovskyToWgs84";
  double b = in.x;
  double l = in.y;
  if (pair.decimalInput) {
    b = DegreesToPacked(b);
    l = DegreesToPacked(l);
  }
  const double h = RequireFinite(kOperation, "H", in.h);
  const GeodeticPoint wgs84 = ToWgs84(pair, FromPacked(kOperation, b, l, h));
  return Packed(kOperation, wgs84.b, wgs84.l, wgs84.h);
}

RouteOutput Wgs84ToKrasovsky(const RoutePair& pair, const RouteInput& in) {
  constexpr std::string_view kOperation = "Wgs84ToKrasovsky";
  const GeodeticPoint wgs84 = ReadGeographic(kOperation, pair, in);
  // The longitude's zone is formed as on the routes into a plane, so that a
  // longitude beyond the 16-bit zone range fails alike on every route from
  // geographic input.
  KrugerZone::Holding(in.y);
  const GeodeticPoint sk42 = FromWgs84(pair, wgs84);
  return Packed(kOperation, sk42.b, sk42.l, sk42.h);
}

RouteOutput GeographicToLocal(const RoutePair& pair, const RouteInput& in) {
  // The intermediate Gauss–Krüger values lie in the 6° zone whose band holds
  // the target meridian.
  const double targetMeridian = pair.target.centralMeridian;
  const std::int16_t band = TruncToInt16(targetMeridian / kArcSecondsPerZoneWidth);
  const std::int16_t number = CheckedInt16(std::int64_t{band} + 1);
  const double zoneMeridian = band * kArcSecondsPerZoneWidth + kArcSecondsPerZoneHalfWidth;
  const double zoneDeltaL = zoneMeridian - targetMeridian;
  const RouteOutput g = IntoZone("GeographicToLocal", pair, number, in);
  const PlanePoint p =
      ToOtherPlane(ClosedSeriesPlane(0, kZoneFalseEastingMetres), TargetPlane(pair), zoneDeltaL, {g.x, g.y});
  return {p.x, p.y, g.h};
}

}  // namespace

Route ChooseRoute(const RoutePair& pair) {
  const CoordinateSystem& src = pair.source;
  const CoordinateSystem& tgt = pair.target;
  if (pair.sameEntry || (src.centralMeridian != 0 && src.centralMeridian == tgt.centralMeridian)) {
    return Route::Identity;
  }
  if (IsPlane(src) && IsPlane(tgt)) return Route::PlaneToPlane;
  if (IsPlane(src)) {  // geographic target
    if (src.kind == SystemKind::GaussKrugerZone) return Route::ZoneToGeographic;
    return tgt.isWgs84 ? Route::LocalToWgs84 : Route::LocalToKrasovsky;
  }
  if (IsPlane(tgt)) {  // geographic source
    return tgt.kind == SystemKind::GaussKrugerZone ? Route::GeographicToZone
                                                   : Route::GeographicToLocal;
  }
  return tgt.isWgs84 ? Route::KrasovskyToWgs84 : Route::Wgs84ToKrasovsky;
}

RouteOutput CarryPoint(Route route, const RoutePair& pair, double deltaL, const RouteInput& in) {
  switch (route) {
    case Route::Identity: return Identity(pair, in);
    case Route::PlaneToPlane: return PlaneToPlane(pair, deltaL, in);
    case Route::LocalToKrasovsky: return LocalToKrasovsky(pair, in);
    case Route::ZoneToGeographic: return ZoneToGeographic(pair, in);
    case Route::LocalToWgs84: return LocalToWgs84(pair, in);
    case Route::GeographicToZone: return GeographicToZone(pair, in);
    case Route::KrasovskyToWgs84: return KrasovskyToWgs84(pair, in);
    case Route::Wgs84ToKrasovsky: return Wgs84ToKrasovsky(pair, in);
    case Route::GeographicToLocal: return GeographicToLocal(pair, in);
  }
  return {0, 0, in.h};
}

}  // namespace korvagrid
