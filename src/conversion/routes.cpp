#include "conversion/routes.h"

#include <cmath>

#include "common/checked_int16.h"
#include "formats/angles.h"
#include "geodesy/fo42_wgs.h"
#include "geodesy/m42wgs.h"
#include "geodesy/module1.h"

namespace korvagrid {
namespace {

constexpr double kArcSecondsPerZone = 21600;      // 6°
constexpr double kArcSecondsHalfZone = 10800;     // 3°
constexpr double kMetresPerZonePrefix = 1000000;  // the zone number is the millions of Y

bool IsPlane(const CoordinateSystem& s) { return s.kind != SystemKind::Geographic; }

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
  const CoordinateSystem& src = pair.source;
  const CoordinateSystem& tgt = pair.target;
  RouteOutput out{0, 0, in.h};
  switch (route) {
    case Route::Identity: {
      out.x = in.x;
      out.y = in.y;
      if (src.kind == SystemKind::Geographic && pair.decimalInput) {
        out.x = DegreesToPacked(in.x);
        out.y = DegreesToPacked(in.y);
      }
      break;
    }
    case Route::PlaneToPlane: {
      const PlanePair p = Module1(in.x, in.y, src.falseNorth, tgt.falseNorth, deltaL, src.falseEast,
                                  tgt.falseEast, tgt.kind);
      out.x = p.out1;
      out.y = p.out2;
      break;
    }
    case Route::LocalToKrasovsky: {
      // Module1 as for a target with false northing 0 and meridian 0: the
      // longitude comes out counted from Greenwich.
      const PlanePair p = Module1(in.x, in.y, src.falseNorth, 0, src.centralMeridian, src.falseEast,
                                  tgt.falseEast, SystemKind::Geographic);
      out.x = p.out1;
      out.y = p.out2;
      break;
    }
    case Route::ZoneToGeographic: {
      // The prefix the run stripped from Y goes back from the source zone.
      const double y = in.y + static_cast<double>(src.zone) * kMetresPerZonePrefix;
      const GeoResult g = Fo42_WGS(in.x, y, in.h, pair.wgsInvolved, false);
      out = {g.b, g.l, g.h};
      break;
    }
    case Route::LocalToWgs84: {
      const PlanePair k = Module1(in.x, in.y, src.falseNorth, 0, src.centralMeridian, src.falseEast,
                                  tgt.falseEast, SystemKind::Geographic);
      const GeoResult g = Fo42_WGS(k.out1, k.out2, in.h, true, true);
      out = {g.b, g.l, g.h};
      break;
    }
    case Route::GeographicToZone: {
      // Projected into the target's zone, so that the value agrees with the
      // zone it is written for (and with its prefix) wherever the point lies.
      const M42Result m =
          M42WGS(in.x, in.y, in.h, pair.wgsInvolved, pair.targetZone, false, pair.decimalInput);
      out = {m.out1, m.out2, m.h};
      break;
    }
    case Route::KrasovskyToWgs84: {
      double b = in.x;
      double l = in.y;
      if (pair.decimalInput) {
        b = DegreesToPacked(b);
        l = DegreesToPacked(l);
      }
      const GeoResult g = Fo42_WGS(b, l, in.h, true, true);
      out = {g.b, g.l, g.h};
      break;
    }
    case Route::Wgs84ToKrasovsky: {
      const M42Result m = M42WGS(in.x, in.y, in.h, true, 0, true, pair.decimalInput);
      out = {m.out1, m.out2, m.h};
      break;
    }
    case Route::GeographicToLocal: {
      // The intermediate Gauss–Krüger values lie in the 6° zone whose band
      // holds the target meridian.
      const std::int16_t band = TruncToInt16(tgt.centralMeridian / kArcSecondsPerZone);
      const std::int16_t zone = CheckedInt16(std::int64_t{band} + 1);
      const double zoneMeridian = band * kArcSecondsPerZone + kArcSecondsHalfZone;
      const double zoneDeltaL = zoneMeridian - tgt.centralMeridian;
      const M42Result g =
          M42WGS(in.x, in.y, in.h, pair.wgsInvolved, zone, false, pair.decimalInput);
      const PlanePair p = Module1(g.out1, g.out2, 0, tgt.falseNorth, zoneDeltaL, src.falseEast,
                                  tgt.falseEast, SystemKind::LocalPlane);
      out = {p.out1, p.out2, g.h};
      break;
    }
  }
  return out;
}

}  // namespace korvagrid
