#pragma once
// The harmonic terms of Krüger's transverse-Mercator series.
//
// Krüger's series (in powers of the third flattening) correct the Gauss–
// Krüger coordinates ξ = x/A, η = y/A by sums of the terms
// sin(kξ)·cosh(kη) and cos(kξ)·sinh(kη) for k = 2, 4, 6, 8. Fo42_WGS uses
// them to go from the plane to conformal coordinates, M42WGS the other way;
// each has its own fixed coefficients for the Krasovsky ellipsoid.
//
// cosh and sinh are formed from the two exponentials e^(kη) and e^(−kη),
// not with std::cosh/std::sinh, so that the results reproduce the stored
// worked values to the last digit used (0.0001", 1 mm).

namespace korvagrid {

struct SeriesTerm {
  double s;  // sin(k·ξ) · cosh(k·η)
  double t;  // cos(k·ξ) · sinh(k·η)
};

// The terms of order k (a small positive integer) at (ξ, η), both in
// radians of rectified latitude. Throws KorvagridError when an exponential
// overflows.
SeriesTerm SeriesTerms(double xi, double eta, int k);

}  // namespace korvagrid
