// Terms of Krüger's series: S = sin(kξ)·(e^(kη) + e^(−kη))/2 and
// T = cos(kξ)·(e^(kη) − e^(−kη))/2, each product left to right.
#include "geodesy/series_terms.h"

#include <cmath>

#include "geodesy/arithmetic_check.h"

namespace korvagrid {

SeriesTerm SeriesTerms(double xi, double eta, int k) {
  constexpr char kOperation[] = "SeriesTerms";
  const double kXi = k * xi;
  const double kEta = k * eta;
  const double ePlus = std::exp(kEta);
  const double eMinus = std::exp(-kEta);
  const double coshKEta = (ePlus + eMinus) / 2;
  const double sinhKEta = (ePlus - eMinus) / 2;
  const double s = std::sin(kXi) * coshKEta;
  const double t = std::cos(kXi) * sinhKEta;
  return {RequireFinite(kOperation, "S", s), RequireFinite(kOperation, "T", t)};
}

}  // namespace korvagrid
