// M42WGS: optional datum shift WGS-84 → SK-42, then the conformal latitude
// and the forward Krüger series for the Krasovsky ellipsoid.
//
// Transcribed step by step: the zone is chosen from the longitude as passed,
// before the datum shift; the series terms are added in the order of their
// orders; every degree/radian conversion divides by 57.2957795131.
// Deviations from the bare formulas: the terms of orders 2 to 8 come from one
// exponential and one sine/cosine pair (SeriesTermsUpTo8; their last-place
// differences from the per-term functions, times α ≤ 8.4e-4, stay far under
// the last place of ξ' and η'), and inputs and results are checked for
// arithmetic faults.
#include "geodesy/m42wgs.h"

#include <cmath>

#include "common/checked_int16.h"
#include "geodesy/arithmetic_check.h"
#include "geodesy/constants.h"
#include "geodesy/datum_shift.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/series_terms.h"

namespace korvagrid {
namespace {

constexpr char kOperation[] = "M42WGS";

// Forward-series coefficients, Krasovsky: plane terms of order 2, 4, 6, 8.
constexpr double kAlpha1 = 0.00083761176;
constexpr double kAlpha2 = 7.6085e-07;
constexpr double kAlpha3 = 1.203e-09;
constexpr double kAlpha4 = 2.948e-12;

constexpr double kZoneFalseEastMetres = 500000;

// Central meridian in whole degrees, 16-bit.
std::int16_t CentralMeridian(std::int16_t zone, double longitude) {
  if (zone == 0) {
    const std::int16_t zoneIndex = TruncToInt16(longitude / 6);
    return CheckedInt16(6 * static_cast<std::int64_t>(zoneIndex) + 3);
  }
  return CheckedInt16(6 * static_cast<std::int64_t>(zone) - 3);
}

}  // namespace

M42Result M42WGS(double b, double l, double h, bool fromWgs, std::int16_t zone,
                 bool geographicOutput, bool decimalInput) {
  RequireFinite(kOperation, "B", b);
  RequireFinite(kOperation, "L", l);
  RequireFinite(kOperation, "H", h);
  // 1. Central meridian, degrees, from the longitude as passed.
  const std::int16_t l0 = CentralMeridian(zone, l);
  // 2. Radians.
  if (decimalInput) {
    b = b / kDegreesPerRadian;
    l = l / kDegreesPerRadian;
  } else {
    b = PackedToRad(b);
    l = PackedToRad(l);
  }
  // 3. Datum shift.
  double outH = h;
  if (fromWgs) {
    const GeodeticPoint shifted = DatumShift({b, l, h}, DatumDirection::Wgs84ToSk42);
    b = shifted.b;
    l = shifted.l;
    outH = shifted.h;
    if (geographicOutput) {
      return {CheckedRadToPacked(kOperation, "B", b), CheckedRadToPacked(kOperation, "L", l),
              outH};
    }
  }
  const double e = kKrasovsky.e;
  // 4. Longitude difference from the central meridian.
  const double lDiff = l - l0 / kDegreesPerRadian;
  // 5. Conformal latitude.
  const double sinB = std::sin(b);
  const double q = std::pow((1 - e * sinB) / (1 + e * sinB), e / 2);
  const double halfPlus45 = b / 2 + 45 / kDegreesPerRadian;
  const double chi = 2 * std::atan(q * std::sin(halfPlus45) / std::cos(halfPlus45)) -
                     90 / kDegreesPerRadian;
  // 6.
  const double sinL = std::sin(lDiff);
  const double cosL = std::cos(lDiff);
  const double xiPrime = std::atan((std::sin(chi) / std::cos(chi)) / cosL);
  // 7.
  const double v = std::cos(xiPrime) * sinL / cosL;
  const double etaPrime = std::log(v + std::sqrt(v * v + 1));
  // 8.
  const SeriesTermsOfOrders t = SeriesTermsUpTo8(xiPrime, etaPrime);
  // 9.
  const double out1 = kMetresPerRadianKrasovsky *
                      (xiPrime + kAlpha1 * t.k2.s + kAlpha2 * t.k4.s + kAlpha3 * t.k6.s + kAlpha4 * t.k8.s);
  // 10.
  const double out2 =
      (etaPrime + kAlpha1 * t.k2.t + kAlpha2 * t.k4.t + kAlpha3 * t.k6.t + kAlpha4 * t.k8.t) *
          kMetresPerRadianKrasovsky +
      kZoneFalseEastMetres;
  return {RequireFinite(kOperation, "X", out1), RequireFinite(kOperation, "Y", out2), outH};
}

}  // namespace korvagrid
