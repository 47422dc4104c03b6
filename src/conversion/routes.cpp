#include "conversion/routes.h"

#include <cmath>
#include <cstdint>
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

// The name under which a route reports an arithmetic fault of its own steps.
std::string_view OperationOf(Route route) {
  switch (route) {
    case Route::Identity: return "Identity";
    case Route::PlaneToPlane: return "PlaneToPlane";
    case Route::LocalToKrasovsky: return "LocalToKrasovsky";
    case Route::ZoneToGeographic: return "ZoneToGeographic";
    case Route::LocalToWgs84: return "LocalToWgs84";
    case Route::GeographicToZone: return "GeographicToZone";
    case Route::KrasovskyToWgs84: return "KrasovskyToWgs84";
    case Route::Wgs84ToKrasovsky: return "Wgs84ToKrasovsky";
    case Route::GeographicToLocal: return "GeographicToLocal";
  }
  return "CarryPoint";
}

// A point of a route with its operation name: the conversions at the edges
// of the chains (packed and decimal degrees, heights), checked for
// arithmetic faults.
class Chain {
 public:
  Chain(Route route, const RoutePair& pair)
      : operation_(OperationOf(route)),
        decimalInput_(pair.decimalInput),
        heights_(pair.heights),
        shift_(&DatumShiftOf(pair.datumShift)) {}

  // A finite height, or the arithmetic fault.
  double Height(double h) const { return RequireFinite(operation_, "H", h); }

  // Latitude and longitude as the run read them (packed, or decimal where
  // the input is decimal) in radians, with the height.
  GeodeticPoint FromInput(const RouteInput& in) const {
    RequireFinite(operation_, "B", in.x);
    RequireFinite(operation_, "L", in.y);
    const double h = Height(in.h);
    if (decimalInput_) return {in.x / kDegreesPerRadian, in.y / kDegreesPerRadian, h};
    return {PackedToRad(in.x), PackedToRad(in.y), h};
  }

  // Packed latitude and longitude (Krasovsky) in radians, with the height.
  GeodeticPoint FromPacked(double b, double l, double h) const {
    return {CheckedPackedToRad(operation_, "B", b), CheckedPackedToRad(operation_, "L", l), h};
  }

  // The result in packed degrees.
  RouteOutput Packed(LatitudeLongitude q, double h) const {
    return {CheckedRadToPacked(operation_, "B", q.latitude),
            CheckedRadToPacked(operation_, "L", q.longitude), h};
  }
  RouteOutput Packed(GeodeticPoint p) const { return Packed({p.b, p.l}, p.h); }

  // SK-42 to WGS-84 and back with the pair's set, heights as the pair says.
  GeodeticPoint ToWgs84(GeodeticPoint sk42) const { return Heights(sk42, shift_->Forward(sk42)); }
  GeodeticPoint FromWgs84(GeodeticPoint wgs84) const {
    return Heights(wgs84, shift_->Reverse(wgs84));
  }

 private:
  GeodeticPoint Heights(GeodeticPoint before, GeodeticPoint after) const {
    if (heights_ == HeightsMode::Keep) after.h = before.h;
    return after;
  }

  std::string_view operation_;
  bool decimalInput_;
  HeightsMode heights_;
  const DatumShift* shift_;
};

// The zone a geographic point is projected into: zone `number`, or for 0
// the zone whose band holds the longitude as read.
KrugerZone ZoneFor(std::int16_t number, double longitude) {
  return number != 0 ? KrugerZone(number) : KrugerZone::Holding(longitude);
}

// Geographic input (Krasovsky, or WGS-84 when the pair involves it) to the
// plane of zone `number` (0: the zone holding the point as read); the height
// as the datum leaves it.
RouteOutput GeographicToZonePlane(const Chain& chain, const RoutePair& pair, std::int16_t number,
                                  const RouteInput& in) {
  GeodeticPoint p = chain.FromInput(in);
  const KrugerZone zone = ZoneFor(number, in.y);
  if (pair.wgsInvolved) p = chain.FromWgs84(p);
  const PlanePoint plane = zone.Forward({p.b, p.l});
  return {plane.x, plane.y, p.h};
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
  const CoordinateSystem& src = pair.source;
  const CoordinateSystem& tgt = pair.target;
  const Chain chain(route, pair);
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
      const PlanePoint p = ToOtherPlane(ClosedSeriesPlane(src.falseNorth, src.falseEast),
                                        ClosedSeriesPlane(tgt.falseNorth, tgt.falseEast), deltaL,
                                        {in.x, in.y});
      out.x = p.x;
      out.y = p.y;
      break;
    }
    case Route::LocalToKrasovsky: {
      // The longitude comes out counted from Greenwich.
      const LatitudeLongitude q =
          ToGeographic(ClosedSeriesPlane(src.falseNorth, src.falseEast), src.centralMeridian, {in.x, in.y});
      out = chain.Packed(q, in.h);
      break;
    }
    case Route::ZoneToGeographic: {
      // The prefix the run stripped from Y goes back from the source zone;
      // the zone of the full Y is the one its millions name.
      const double y = in.y + static_cast<double>(src.zone) * kMetresPerZonePrefix;
      const double h = chain.Height(in.h);
      const KrugerZone zone = KrugerZone::OfPrefixedY(y);
      const LatitudeLongitude q = zone.Reverse({in.x, zone.WithoutPrefix(y)});
      if (pair.wgsInvolved) {
        out = chain.Packed(chain.ToWgs84({q.latitude, q.longitude, h}));
      } else {
        out = chain.Packed(q, h);
      }
      break;
    }
    case Route::LocalToWgs84: {
      // Krasovsky latitude and longitude in packed degrees, as for a
      // "BLH(Kras)" target, then on to WGS-84.
      const RouteOutput k = chain.Packed(
          ToGeographic(ClosedSeriesPlane(src.falseNorth, src.falseEast), src.centralMeridian, {in.x, in.y}),
          in.h);
      out = chain.Packed(chain.ToWgs84(chain.FromPacked(k.x, k.y, chain.Height(in.h))));
      break;
    }
    case Route::GeographicToZone: {
      // Projected into the target's zone, so that the value agrees with the
      // zone it is written for (and with its prefix) wherever the point lies.
      out = GeographicToZonePlane(chain, pair, pair.targetZone, in);
      break;
    }
    case Route::KrasovskyToWgs84: {
      double b = in.x;
      double l = in.y;
      if (pair.decimalInput) {
        b = DegreesToPacked(b);
        l = DegreesToPacked(l);
      }
      out = chain.Packed(chain.ToWgs84(chain.FromPacked(b, l, chain.Height(in.h))));
      break;
    }
    case Route::Wgs84ToKrasovsky: {
      // The longitude's zone is formed as on the plane routes, so that a
      // longitude beyond the 16-bit zone range fails alike on every route
      // from geographic input.
      const GeodeticPoint wgs84 = chain.FromInput(in);
      KrugerZone::Holding(in.y);
      out = chain.Packed(chain.FromWgs84(wgs84));
      break;
    }
    case Route::GeographicToLocal: {
      // The intermediate Gauss–Krüger values lie in the 6° zone whose band
      // holds the target meridian.
      const std::int16_t band = TruncToInt16(tgt.centralMeridian / kArcSecondsPerZoneWidth);
      const std::int16_t number = CheckedInt16(std::int64_t{band} + 1);
      const double zoneMeridian = band * kArcSecondsPerZoneWidth + kArcSecondsPerZoneHalfWidth;
      const double zoneDeltaL = zoneMeridian - tgt.centralMeridian;
      const RouteOutput g = GeographicToZonePlane(chain, pair, number, in);
      const PlanePoint p = ToOtherPlane(ClosedSeriesPlane(0, kZoneFalseEastingMetres),
                                        ClosedSeriesPlane(tgt.falseNorth, tgt.falseEast), zoneDeltaL,
                                        {g.x, g.y});
      out = {p.x, p.y, g.h};
      break;
    }
  }
  return out;
}

}  // namespace korvagrid
