#pragma once
// A 6° Gauss–Krüger zone of SK-42 computed with Krüger's series of the
// transverse Mercator projection for the Krasovsky ellipsoid.
//
// Method: Krüger's series in powers of the third flattening n, with the
// harmonic terms sin(kξ)·cosh(kη) and cos(kξ)·sinh(kη) of orders k = 2, 4,
// 6, 8 (series_terms.h).
// Forward: geodetic latitude B to conformal latitude χ with the closed
// formula χ = 2·arctan(((1 − e sin B)/(1 + e sin B))^(e/2)·tan(B/2 + 45°)) − 90°;
// ξ' = arctan(tan χ/cos l), η' = arsinh(cos ξ'·tan l); then
// x = A·(ξ' + Σ α_j·sin 2jξ'·cosh 2jη'), y = A·(η' + Σ α_j·cos 2jξ'·sinh 2jη')
// + 500 000 m.
// Reverse: ξ = x/A, η = (y − 500 000 m)/A; ξ' = ξ − Σ β_j·sin 2jξ·cosh 2jη,
// η' likewise with the T terms; l = arctan(sinh η'/cos ξ'),
// χ = arctan(tan ξ'·cos l), then B = χ + δ1·sin 2χ + δ2·sin 4χ + δ3·sin 6χ.
//
// Coefficients (fixed) for the Krasovsky ellipsoid, n = 1/595.6:
//   A  6 367 558.4969 m         meridian arc per radian (constants.h)
//   e  0.081813334017           first eccentricity, √(2f − f²) with f = 1/298.3
//   α  0.00083761176, 7.6085e-07, 1.203e-09, 2.948e-12
//   β  0.000837612099, 5.904e-08, 1.72e-10, 6.777e-13
//   δ  0.003356069582, 6.570026e-06, 1.7698e-08
// α1 = n/2 − 2n²/3 + 5n³/16 + 41n⁴/180 and the corresponding β1, β2 of the
// reverse projection (Krüger's series in n, fourth order) to the digits
// stored. The other coefficients differ from that series by up to 2.2e-10
// (α2 7.6085e-07 against 7.6063e-07, δ1 0.003356069582 against
// 0.003356069602), which moves positions by up to A·Δα2 = 1.4 mm; the
// accuracy below includes it.
//
// Accuracy, latitudes 42° to 62°, measured against an exact transverse
// Mercator on the Krasovsky ellipsoid (PROJ 9.1's tmerc;
// tests/test_geodesy_proj.cpp, 400 random points per band):
//   within 3° of the central meridian (the zone)   Forward 1.2 mm, Reverse 0.000027" (0.8 mm)
//   within 4.5° (points up to 1.5° beyond the zone edge, as the routes
//   project them)                                   Forward 1.2 mm, Reverse 0.000027"
// Forward followed by Reverse returns a point to 0.00006" (about 2 mm).
// Within 100 km of the meridian the reverse series agrees with the closed
// series of ClosedSeriesPlane to 0.00004".
//
// Zones: zone n has its central meridian at 6·n − 3 degrees east and a false
// easting of 500 000 m; the zone number is written as the millions of Y and
// is not part of the Y that Forward returns and Reverse takes. The zone
// number and its central meridian are 16-bit integers: a zone whose meridian
// leaves −32768..32767 degrees is an overflow failure.
#include <cstdint>
#include <optional>

#include "common/checked_int16.h"
#include "geodesy/constants.h"
#include "geodesy/points.h"

namespace korvagrid {

class KrugerZone {
 public:
  // Zone `number`, central meridian 6·number − 3 degrees. Throws
  // KorvagridError when the meridian leaves 16 bits.
  explicit KrugerZone(std::int16_t number)
      : KrugerZone(number, CheckedInt16(std::int64_t{kZoneWidthDegrees} * number - kZoneHalfWidthDegrees)) {}

  // The zone whose 6° band holds `longitude` (degrees, packed or decimal: only
  // the whole degrees count): central meridian 6·trunc(L/6) + 3, so that 36°
  // belongs to the zone of 39° and −1° to the zone of 3°. Throws
  // KorvagridError when L/6 or the meridian leaves 16 bits.
  static KrugerZone Holding(double longitude);

  // The zone written as the millions of a full Y (a Y below 1 000 000 is
  // zone 0, central meridian −3°). Throws KorvagridError when Y is not finite
  // or its zone leaves 16 bits.
  static KrugerZone OfPrefixedY(double prefixedY);

  // The central meridian, whole degrees east of Greenwich.
  std::int16_t centralMeridian() const { return meridian_; }

  // Y without the zone prefix from a full Y: Y − number·1 000 000.
  double WithoutPrefix(double prefixedY) const { return prefixedY - number_ * kMetresPerZonePrefix; }

  // Krasovsky latitude and longitude from Greenwich (radians) to x and y of
  // the zone (metres, y with the false easting, without the zone prefix).
  // Throws KorvagridError on an arithmetic fault.
  PlanePoint Forward(LatitudeLongitude geodetic) const;

  // Forward for a point that comes from geocentric coordinates
  // (DatumShift::ReverseSines): the sine and cosine of the latitude as given,
  // and sin l, cos l from the sine and cosine of the longitude by the
  // angle-difference formulas. They agree with Forward's to a few units in
  // the last place (X and Y to 1e-9 m). Throws KorvagridError on an
  // arithmetic fault.
  PlanePoint ForwardSines(const GeodeticPointSines& geodetic) const;

  // tan χ of the conformal latitude χ = 2·arctan(q·tan(B/2 + 45°)) − 90° of
  // the latitude with sine and cosine sinB and cosB (45° and 90° divided by
  // the degree constant), to a few units in the last place.
  static double ConformalLatitudeTangent(double sinB, double cosB);

  // x and y of the zone (metres, y with the false easting, without the zone
  // prefix) to Krasovsky latitude and longitude from Greenwich (radians).
  // Throws KorvagridError on an arithmetic fault.
  LatitudeLongitude Reverse(PlanePoint p) const;

  // Reverse for a chain that goes on to geocentric coordinates: the sines and
  // cosines of the latitude and of the longitude from Greenwich, from the
  // sphere's sin χ, cos χ, sin l and cos l (B = χ + Δ and L = l + L0 by the
  // angle-sum formulas; sin Δ and cos Δ by their series, Δ < 0.0034 rad),
  // and the latitude itself. They agree with Reverse's B and with the sines
  // and cosines of its B and L to a few units in the last place (1e-16).
  // Nothing when a value on the way is
  // not finite: Reverse then decides, with its checks. Throws KorvagridError
  // when X or Y is not finite.
  std::optional<SinesWithLatitude> ReverseSines(PlanePoint p) const;

 private:
  KrugerZone(std::int32_t number, std::int16_t meridian) : number_(number), meridian_(meridian) {}

  static PlanePoint forwardFrom(double sinB, double cosB, double sinL, double cosL);
  struct ConformalCoordinates;
  static ConformalCoordinates conformalOf(PlanePoint p);
  struct MeridianSines {
    double sin;
    double cos;
  };
  MeridianSines meridianSines() const;

  std::int32_t number_;    // 32768 for the band of L/6 = 32767
  std::int16_t meridian_;  // degrees
};

}  // namespace korvagrid
