// Krüger's series of a 6° zone for the Krasovsky ellipsoid, forward and
// reverse.
//
// Transcribed term by term: the series terms are added (forward) or
// subtracted (reverse) in the order of their orders, and every degree/radian
// conversion divides by 57.2957795131. Deviations from the bare formulas:
// - The terms of orders 2 to 8 come from one exponential and one sine/cosine
//   pair (SeriesTermsUpTo8; forward, the exponential is the square of the
//   e^η' whose logarithm η' is, and the pair comes from tan ξ'), and sin 4χ, sin 6χ from sin 2χ and cos 2χ by the
//   multiple-angle recurrence. Both change only terms whose coefficients
//   (8.4e-4 and below) bring their last-place differences far under the last
//   place of ξ', η' and B: the results are those of the per-term functions
//   to 1e-15 rad.
// - e^η', sin 2ξ' and cos 2ξ' (forward) come from tan χ and cos l over
//   √(tan²χ + cos²l), cos l and sin 2χ, cos 2χ (reverse) from the tangents
//   their arctangents are taken of (cos = 1/√(1 + tan²)), and sinh η' from
//   one exponential and its reciprocal. These change ξ', η', B and L by a
//   few units in the last place (1e-15 rad).
// - The forward χ is taken by its tangent only, from sin B and cos B, as the
//   sinh of the isometric latitude with the artanh, sinh and cosh of its
//   small part by their series instead of the power q. 45° and 90° there are
//   divided by the degree constant above, not exact quarter and half turns;
//   the shortfalls' effect on χ is added to first order (without it X would
//   move by 2e-8 m). tan χ agrees with the arctangent route's to a few units
//   in the last place.
// - In the chains with the datum shift, Reverse may hand on sin B, cos B,
//   sin L, cos L from sin ξ', cos ξ', sinh η' and cosh η' (ReverseSines)
//   and Forward take the sines and cosines of B and L (ForwardSines), by the
//   angle-sum formulas with the central meridian's sine and cosine; the
//   results agree with the arctangent route to a few units in the last
//   place.
// - The zone number and the central meridian are 16-bit integers (a zone
//   whose meridian leaves that range is an overflow failure), and inputs and
//   results are checked for arithmetic faults.
#include "geodesy/kruger_zone.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>

#include "common/checked_int16.h"
#include "geodesy/arithmetic_check.h"
#include "geodesy/constants.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/series_terms.h"

namespace korvagrid {
namespace {

constexpr char kOperation[] = "KrugerZone";

// Forward series, plane terms of order 2, 4, 6, 8.
constexpr double kAlpha1 = 0.00083761176;
constexpr double kAlpha2 = 7.6085e-07;
constexpr double kAlpha3 = 1.203e-09;
constexpr double kAlpha4 = 2.948e-12;
// Reverse series, plane terms of order 2, 4, 6, 8.
constexpr double kBeta1 = 0.000837612099;
constexpr double kBeta2 = 5.904e-08;
constexpr double kBeta3 = 1.72e-10;
constexpr double kBeta4 = 6.777e-13;
// Conformal to geodetic latitude: terms of sin 2χ, sin 4χ, sin 6χ.
constexpr double kDelta1 = 0.003356069582;
constexpr double kDelta2 = 6.570026e-06;
constexpr double kDelta3 = 1.7698e-08;

// 45° and 90° divided by the degree constant fall short of a quarter and a
// half turn by these angles (2.4e-13 and 4.8e-13 rad); their tangents are the
// angles themselves to far below a unit in their last place.
constexpr double kQuarterTurnShortfall = static_cast<double>(
    std::numbers::pi_v<long double> / 4 - static_cast<long double>(45 / kDegreesPerRadian));
constexpr double kHalfTurnShortfall = static_cast<double>(
    std::numbers::pi_v<long double> / 2 - static_cast<long double>(90 / kDegreesPerRadian));

}  // namespace

KrugerZone KrugerZone::Holding(double longitude) {
  const std::int16_t band = TruncToInt16(longitude / kZoneWidthDegrees);
  return KrugerZone(std::int32_t{band} + 1,
                    CheckedInt16(std::int64_t{kZoneWidthDegrees} * band + kZoneHalfWidthDegrees));
}

KrugerZone KrugerZone::OfPrefixedY(double prefixedY) {
  RequireFinite(kOperation, "Y", prefixedY);
  return KrugerZone(TruncToInt16(prefixedY / kMetresPerZonePrefix));
}

PlanePoint KrugerZone::Forward(LatitudeLongitude geodetic) const {
  // A NaN or infinite B or L makes X and Y NaN: the checks of the results
  // report it.
  const double b = geodetic.latitude;
  // Longitude difference from the central meridian.
  const double l = geodetic.longitude - meridian_ / kDegreesPerRadian;
  return forwardFrom(std::sin(b), std::cos(b), std::sin(l), std::cos(l));
}

PlanePoint KrugerZone::ForwardSines(const GeodeticPointSines& geodetic) const {
  // sin l and cos l of l = L − L0 by the angle-difference formulas.
  const MeridianSines m = meridianSines();
  const double sinL = geodetic.sinL * m.cos - geodetic.cosL * m.sin;
  const double cosL = geodetic.cosL * m.cos + geodetic.sinL * m.sin;
  return forwardFrom(geodetic.sinB, geodetic.cosB, sinL, cosL);
}

double KrugerZone::ConformalLatitudeTangent(double sinB, double cosB) {
  // χ = 2·arctan(q·tan(B/2 + π/4)) − π/2 with q = ((1 − e·sin B)/(1 + e·sin B))^(e/2)
  // is the Gudermannian of the isometric latitude ψ = artanh(sin B) − σ,
  // σ = e·artanh(e·sin B), so tan χ = sinh ψ = (sin B·cosh σ − sinh σ)/cos B.
  // e·sin B < 0.082 and σ < 0.0068: artanh by its series to the term in
  // (e·sin B)¹⁴ and sinh σ, cosh σ by theirs to σ⁷ and σ⁶ leave out less than
  // 1e-18 of each.
  const double e = kKrasovsky.e;
  const double z = e * sinB;
  const double z2 = z * z;
  // The series in pairs of terms (with z², z⁴ and z⁸ at once), so that the
  // pairs need not wait for each other, and their divisions as products
  // with the reciprocals.
  const double z4 = z2 * z2;
  const double z8 = z4 * z4;
  const double artanhZ =
      z * ((1 + z2 * (1.0 / 3)) + z4 * (1.0 / 5 + z2 * (1.0 / 7)) +
           z8 * ((1.0 / 9 + z2 * (1.0 / 11)) + z4 * (1.0 / 13 + z2 * (1.0 / 15))));
  const double sigma = e * artanhZ;
  const double sigma2 = sigma * sigma;
  const double sigma4 = sigma2 * sigma2;
  const double sinhSigma =
      sigma * ((1 + sigma2 * (1.0 / 6)) + sigma4 * (1.0 / 120 + sigma2 * (1.0 / 5040)));
  const double coshSigma = (1 + sigma2 * (1.0 / 2)) + sigma4 * (1.0 / 24 + sigma2 * (1.0 / 720));
  const double tanChiExact = (sinB * coshSigma - sinhSigma) / cosB;
  // 45° and 90° divided by the degree constant fall short of the turns by
  // s₄₅ and s₉₀, which move χ by s₉₀ − s₄₅·dχ/d(B/2 + 45°) = s₉₀ − 2·s₄₅·cos χ/cos B,
  // with cos B/cos χ = cosh σ − sinh σ·sin B: tan χ + (1 + tan²χ)·δχ (the
  // angle-sum formula, whose next term is δχ² ≈ 1e-31 times tan³χ).
  const double shortfall =
      kHalfTurnShortfall - 2 * kQuarterTurnShortfall / (coshSigma - sinhSigma * sinB);
  return tanChiExact + shortfall * (1 + tanChiExact * tanChiExact);
}

PlanePoint KrugerZone::forwardFrom(double sinB, double cosB, double sinL, double cosL) {
  // Conformal latitude, by its tangent.
  const double tanChi = ConformalLatitudeTangent(sinB, cosB);
  // Conformal coordinates on the sphere ξ', η': tan ξ' = tan χ/cos l and,
  // with D = √(tan²χ + cos²l), sinh η' = sin l/D and cosh η' = sec χ/D, so
  // e^η' = (sin l + sec χ)/D without waiting for ξ'. ξ' is the arctangent
  // of its tangent and sinh η' = cos ξ'·tan l, so more than 90° from the
  // meridian (cos l < 0) sin l counts with the sign of cos l.
  const double tanXiPrime = tanChi / cosL;
  const double xiPrime = std::atan(tanXiPrime);
  const double tanSquaredChi = tanChi * tanChi;
  const double dSquared = tanSquaredChi + cosL * cosL;
  const double reciprocalD = 1 / std::sqrt(dSquared);
  const double secChi = std::sqrt(1 + tanSquaredChi);
  const double signedSinL = cosL < 0 ? -sinL : sinL;
  const double expEtaPrime = (signedSinL + secChi) * reciprocalD;
  const double etaPrime = std::log(expEtaPrime);
  // Krüger's series to the plane, from e^(2η') = (e^η')² and
  // sin 2ξ' = 2·tan χ·cos l/D², cos 2ξ' = (cos²l − tan²χ)/D².
  const double reciprocalDSquared = reciprocalD * reciprocalD;
  const double sin2XiPrime = 2 * tanChi * cosL * reciprocalDSquared;
  const double cos2XiPrime = (cosL * cosL - tanSquaredChi) * reciprocalDSquared;
  const SeriesTermsOfOrders t =
      SeriesTermsUpTo8From(expEtaPrime * expEtaPrime, sin2XiPrime, cos2XiPrime);
  const double x = kMetresPerRadianKrasovsky *
                   (xiPrime + kAlpha1 * t.k2.s + kAlpha2 * t.k4.s + kAlpha3 * t.k6.s + kAlpha4 * t.k8.s);
  const double y =
      (etaPrime + kAlpha1 * t.k2.t + kAlpha2 * t.k4.t + kAlpha3 * t.k6.t + kAlpha4 * t.k8.t) *
          kMetresPerRadianKrasovsky +
      kZoneFalseEastingMetres;
  return {RequireFinite(kOperation, "X", x), RequireFinite(kOperation, "Y", y)};
}

// The steps Reverse and ReverseSines share: Krüger's series back to the
// conformal coordinates ξ', η' on the sphere, as sin ξ', cos ξ', sinh η'
// and cosh η'.
struct KrugerZone::ConformalCoordinates {
  double sinXi;
  double cosXi;
  double sinhEta;
  double coshEta;
};

KrugerZone::ConformalCoordinates KrugerZone::conformalOf(PlanePoint p) {
  const double x = RequireFinite(kOperation, "X", p.x);
  const double y = RequireFinite(kOperation, "Y", p.y);
  // Easting from the central meridian, then ξ, η in radians of rectified latitude.
  const double easting = y - kZoneFalseEastingMetres;
  const double xi = x / kMetresPerRadianKrasovsky;
  const double eta = easting / kMetresPerRadianKrasovsky;
  const SeriesTermsOfOrders t = SeriesTermsUpTo8(xi, eta);
  const double xiPrime = xi - kBeta1 * t.k2.s - kBeta2 * t.k4.s - kBeta3 * t.k6.s - kBeta4 * t.k8.s;
  const double etaPrime = eta - kBeta1 * t.k2.t - kBeta2 * t.k4.t - kBeta3 * t.k6.t - kBeta4 * t.k8.t;
  const double expEtaPrime = std::exp(etaPrime);
  const double expMinusEtaPrime = 1 / expEtaPrime;
  return {std::sin(xiPrime), std::cos(xiPrime), (expEtaPrime - expMinusEtaPrime) / 2,
          (expEtaPrime + expMinusEtaPrime) / 2};
}

// B − χ from sin 2χ and cos 2χ; sin 4χ and sin 6χ from them by the
// multiple-angle recurrence. Added to χ term by term.
struct ConformalCorrection {
  double term2, term4, term6;
};

ConformalCorrection CorrectionTerms(double sin2Chi, double cos2Chi) {
  const double sin4Chi = 2 * cos2Chi * sin2Chi;
  const double sin6Chi = 2 * cos2Chi * sin4Chi - sin2Chi;
  return {kDelta1 * sin2Chi, kDelta2 * sin4Chi, kDelta3 * sin6Chi};
}

LatitudeLongitude KrugerZone::Reverse(PlanePoint p) const {
  const ConformalCoordinates c = conformalOf(p);
  // Longitude difference from the central meridian; cos l from tan l.
  const double tanL = c.sinhEta / c.cosXi;
  const double cosL = 1 / std::sqrt(1 + tanL * tanL);
  // Conformal latitude, and sin 2χ, cos 2χ from its tangent.
  const double tanChi = (c.sinXi / c.cosXi) * cosL;
  const double l = std::atan(tanL);
  const double chi = std::atan(tanChi);
  const double tanSquaredChi = tanChi * tanChi;
  const ConformalCorrection k = CorrectionTerms(2 * tanChi / (1 + tanSquaredChi),
                                                (1 - tanSquaredChi) / (1 + tanSquaredChi));
  // Geodetic latitude.
  const double b = chi + k.term2 + k.term4 + k.term6;
  // Longitude from Greenwich.
  const double lGreenwich = l + meridian_ / kDegreesPerRadian;
  return {RequireFinite(kOperation, "B", b), RequireFinite(kOperation, "L", lGreenwich)};
}

std::optional<SinesWithLatitude> KrugerZone::ReverseSines(PlanePoint p) const {
  const ConformalCoordinates c = conformalOf(p);
  // The sphere's latitude χ and longitude l from ξ', η' without their
  // tangents: with D = √(cos²ξ' + sinh²η'),
  //   sin χ = sin ξ'/cosh η', cos χ = D/cosh η', sin l = sinh η'/D, cos l = cos ξ'/D.
  // Reverse takes l and χ as the arctangents of tan l = sinh η'/cos ξ' and
  // tan χ = tan ξ'·cos l, so |l| < 90° and beyond the pole (cos ξ' < 0)
  // sin ξ' and sinh η' count with the sign of cos ξ', here as there.
  const double sign = c.cosXi < 0 ? -1.0 : 1.0;
  const double sinXi = sign * c.sinXi;
  const double sinhEta = sign * c.sinhEta;
  const double d = std::sqrt(c.cosXi * c.cosXi + c.sinhEta * c.sinhEta);
  const double reciprocalCosh = 1 / c.coshEta;
  const double reciprocalD = 1 / d;
  const double sinChi = sinXi * reciprocalCosh;
  const double cosChi = d * reciprocalCosh;
  // Latitude B = χ + Δ. Δ stays under 0.0034 rad, so its sine and cosine
  // series end with the terms shown: the next ones (Δ⁷/5040, Δ⁶/720) are
  // below 1e-17.
  const ConformalCorrection k =
      CorrectionTerms(2 * sinChi * cosChi, (cosChi - sinChi) * (cosChi + sinChi));
  const double delta = k.term2 + k.term4 + k.term6;
  const double delta2 = delta * delta;
  const double sinDelta = delta * (1 - delta2 * (1.0 / 6) * (1 - delta2 * (1.0 / 20)));
  const double cosDelta = 1 - delta2 * (1.0 / 2) * (1 - delta2 * (1.0 / 12));
  const double b = std::atan(sinXi * reciprocalD) + delta;
  const double sinB = sinChi * cosDelta + cosChi * sinDelta;
  const double cosB = cosChi * cosDelta - sinChi * sinDelta;
  // Longitude from Greenwich L = l + L0.
  const double sinL = sinhEta * reciprocalD;
  const double cosL = std::fabs(c.cosXi) * reciprocalD;
  const MeridianSines m = meridianSines();
  const double sinLGreenwich = sinL * m.cos + cosL * m.sin;
  const double cosLGreenwich = cosL * m.cos - sinL * m.sin;
  if (!std::isfinite(sinB) || !std::isfinite(cosB) || !std::isfinite(sinLGreenwich) ||
      !std::isfinite(cosLGreenwich) || !std::isfinite(b)) {
    return std::nullopt;
  }
  return SinesWithLatitude{{sinB, cosB, sinLGreenwich, cosLGreenwich}, b};
}

// The central meridians of zones 1 to 60 are looked up, any other one computed.
KrugerZone::MeridianSines KrugerZone::meridianSines() const {
  constexpr int kZones = 60;
  static const std::array<MeridianSines, kZones> zones = [] {
    std::array<MeridianSines, kZones> table{};
    for (int n = 1; n <= kZones; ++n) {
      const double l0 = (kZoneWidthDegrees * n - kZoneHalfWidthDegrees) / kDegreesPerRadian;
      table[static_cast<std::size_t>(n - 1)] = {std::sin(l0), std::cos(l0)};
    }
    return table;
  }();
  if (number_ >= 1 && number_ <= kZones) return zones[static_cast<std::size_t>(number_ - 1)];
  const double l0 = meridian_ / kDegreesPerRadian;
  return {std::sin(l0), std::cos(l0)};
}

}  // namespace korvagrid
