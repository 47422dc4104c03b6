// Terms of Krüger's series: S = sin(kξ)·(e^(kη) + e^(−kη))/2 and
// T = cos(kξ)·(e^(kη) − e^(−kη))/2, each product left to right; for the
// four orders at once, the powers of one exponential and the multiple-angle
// recurrence of sin and cos (see series_terms.h).
#include "geodesy/series_terms.h"

#include <cmath>

#include "geodesy/arithmetic_check.h"

namespace korvagrid {
namespace {

constexpr char kOperation[] = "SeriesTerms";

SeriesTerm Checked(SeriesTerm term) {
  return {RequireFinite(kOperation, "S", term.s), RequireFinite(kOperation, "T", term.t)};
}

// S and T from sin kξ, cos kξ and the exponentials e^(kη), e^(−kη).
SeriesTerm Term(double sinKXi, double cosKXi, double ePlus, double eMinus) {
  const double coshKEta = (ePlus + eMinus) / 2;
  const double sinhKEta = (ePlus - eMinus) / 2;
  return {sinKXi * coshKEta, cosKXi * sinhKEta};
}

}  // namespace

SeriesTerm SeriesTerms(double xi, double eta, int k) {
  const double kXi = k * xi;
  const double kEta = k * eta;
  const double ePlus = std::exp(kEta);
  const double eMinus = std::exp(-kEta);
  return Checked(Term(std::sin(kXi), std::cos(kXi), ePlus, eMinus));
}

SeriesTermsOfOrders SeriesTermsUpTo8(double xi, double eta) {
  const double theta = 2 * xi;
  return SeriesTermsUpTo8From(std::exp(2 * eta), std::sin(theta), std::cos(theta));
}

SeriesTermsOfOrders SeriesTermsUpTo8From(double exp2Eta, double sin2Xi, double cos2Xi) {
  // e^(±2η) and their powers e^(±4η), e^(±6η), e^(±8η).
  const double e2 = exp2Eta;
  const double e4 = e2 * e2;
  const double e6 = e4 * e2;
  const double e8 = e4 * e4;
  const double m2 = 1 / e2;
  const double m4 = m2 * m2;
  const double m6 = m4 * m2;
  const double m8 = m4 * m4;
  // sin and cos of θ = 2ξ, then of 2θ, 3θ, 4θ by the recurrence.
  const double sin2 = sin2Xi;
  const double cos2 = cos2Xi;
  const double twoCos = 2 * cos2;
  const double sin4 = twoCos * sin2;
  const double cos4 = twoCos * cos2 - 1;
  const double sin6 = twoCos * sin4 - sin2;
  const double cos6 = twoCos * cos4 - cos2;
  const double sin8 = twoCos * sin6 - sin4;
  const double cos8 = twoCos * cos6 - cos4;
  return {Checked(Term(sin2, cos2, e2, m2)), Checked(Term(sin4, cos4, e4, m4)),
          Checked(Term(sin6, cos6, e6, m6)), Checked(Term(sin8, cos8, e8, m8))};
}

}  // namespace korvagrid
