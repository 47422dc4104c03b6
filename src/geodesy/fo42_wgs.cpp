// Fo42_WGS: inverse Krüger series for the Krasovsky ellipsoid, then
// optionally the datum shift SK-42 → WGS-84.
//
// Transcribed step by step: the series terms are subtracted in the order of
// their orders, sinh η' comes from two exponentials, 2χ is χ + χ, and every
// angle conversion divides by 57.2957795131. Deviations from the bare
// formulas:
// - The terms of orders 2 to 8 come from one exponential and one sine/cosine
//   pair (SeriesTermsUpTo8), and sin 4χ, sin 6χ from sin 2χ and cos 2χ by the
//   multiple-angle recurrence. Both change only terms whose coefficients
//   (8.4e-4 and below) bring their last-place differences far under the last
//   place of ξ', η' and B: the results are those of the per-term functions
//   to 1e-15 rad.
// - The zone number and the central meridian are 16-bit integers (a Y whose
//   zone leaves that range is an overflow failure), and inputs and results
//   are checked for arithmetic faults.
#include "geodesy/fo42_wgs.h"

#include <cmath>
#include <cstdint>

#include "common/checked_int16.h"
#include "geodesy/arithmetic_check.h"
#include "geodesy/constants.h"
#include "geodesy/datum_shift.h"
#include "geodesy/series_terms.h"

namespace korvagrid {
namespace {

constexpr char kOperation[] = "Fo42_WGS";

// Inverse-series coefficients, Krasovsky: plane terms of order 2, 4, 6, 8.
constexpr double kBeta1 = 0.000837612099;
constexpr double kBeta2 = 5.904e-08;
constexpr double kBeta3 = 1.72e-10;
constexpr double kBeta4 = 6.777e-13;
// Conformal to geodetic latitude: terms of sin 2χ, sin 4χ, sin 6χ.
constexpr double kDelta1 = 0.003356069582;
constexpr double kDelta2 = 6.570026e-06;
constexpr double kDelta3 = 1.7698e-08;

constexpr double kMetresPerZonePrefix = 1000000;  // the zone number is the millions of Y
constexpr double kZoneFalseEastMetres = 500000;

GeoResult ShiftToWgs(double b, double l, double h) {
  const GeodeticPoint shifted = DatumShift({b, l, h}, DatumDirection::Sk42ToWgs84);
  return {CheckedRadToPacked(kOperation, "B", shifted.b),
          CheckedRadToPacked(kOperation, "L", shifted.l), shifted.h};
}

}  // namespace

GeoResult Fo42_WGS(double first, double second, double h, bool toWgs, bool geographicInput) {
  RequireFinite(kOperation, "H", h);
  if (geographicInput) {
    // 1. Packed degrees to radians; 2. on to the datum shift.
    const double b = CheckedPackedToRad(kOperation, "B", first);
    const double l = CheckedPackedToRad(kOperation, "L", second);
    return ShiftToWgs(b, l, h);
  }

  const double x = RequireFinite(kOperation, "X", first);
  const double y = RequireFinite(kOperation, "Y", second);
  // 1. Zone number and central meridian, degrees.
  const std::int16_t zone = TruncToInt16(y / kMetresPerZonePrefix);
  const std::int16_t l0 = CheckedInt16((static_cast<std::int64_t>(zone) - 1) * 6 + 3);
  // 2. Easting from the central meridian.
  const double yPrime = y - zone * kMetresPerZonePrefix - kZoneFalseEastMetres;
  // 3.
  const double xi = x / kMetresPerRadianKrasovsky;
  const double eta = yPrime / kMetresPerRadianKrasovsky;
  // 4.
  const SeriesTermsOfOrders t = SeriesTermsUpTo8(xi, eta);
  // 5.
  const double xiPrime = xi - kBeta1 * t.k2.s - kBeta2 * t.k4.s - kBeta3 * t.k6.s - kBeta4 * t.k8.s;
  const double etaPrime = eta - kBeta1 * t.k2.t - kBeta2 * t.k4.t - kBeta3 * t.k6.t - kBeta4 * t.k8.t;
  // 6. Longitude difference from the central meridian.
  const double sinXiPrime = std::sin(xiPrime);
  const double cosXiPrime = std::cos(xiPrime);
  const double sinhEtaPrime = (std::exp(etaPrime) - std::exp(-etaPrime)) / 2;
  const double l = std::atan(sinhEtaPrime / cosXiPrime);
  // 7. Conformal latitude.
  const double chi = std::atan((sinXiPrime / cosXiPrime) * std::cos(l));
  // 8. Geodetic latitude; sin 4χ and sin 6χ from sin 2χ and cos 2χ by the
  // multiple-angle recurrence.
  const double twoChi = chi + chi;
  const double sin2Chi = std::sin(twoChi);
  const double cos2Chi = std::cos(twoChi);
  const double sin4Chi = 2 * cos2Chi * sin2Chi;
  const double sin6Chi = 2 * cos2Chi * sin4Chi - sin2Chi;
  const double b = chi + kDelta1 * sin2Chi + kDelta2 * sin4Chi + kDelta3 * sin6Chi;
  // 9. Longitude from Greenwich.
  const double lGreenwich = l + l0 / kDegreesPerRadian;
  // 10.
  if (!toWgs) {
    return {CheckedRadToPacked(kOperation, "B", b), CheckedRadToPacked(kOperation, "L", lGreenwich),
            h};
  }
  return ShiftToWgs(b, lGreenwich, h);
}

}  // namespace korvagrid
