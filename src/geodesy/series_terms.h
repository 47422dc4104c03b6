#pragma once
// The harmonic terms of Krüger's transverse-Mercator series.
//
// Krüger's series (in powers of the third flattening) correct the Gauss–
// Krüger coordinates ξ = x/A, η = y/A by sums of the terms
// sin(kξ)·cosh(kη) and cos(kξ)·sinh(kη) for k = 2, 4, 6, 8. KrugerZone's
// Reverse uses them to go from the plane to conformal coordinates, its
// Forward the other way; each has its own fixed coefficients for the
// Krasovsky ellipsoid (kruger_zone.h).
//
// cosh and sinh are formed from the two exponentials e^(kη) and e^(−kη),
// not with std::cosh/std::sinh, whose last bits differ: the results stay bit
// for bit those Korvagrid has always written.
//
// The chains take all four orders at once from SeriesTermsUpTo8: one
// exponential e^(2η) and one sine/cosine pair of 2ξ, the higher orders from
// the powers e^(kη) = (e^(2η))^(k/2) and the multiple-angle recurrence
//   sin((n+1)θ) = 2·cos θ·sin(nθ) − sin((n−1)θ),
//   cos((n+1)θ) = 2·cos θ·cos(nθ) − cos((n−1)θ),   θ = 2ξ.
// Their order-2 terms are those of SeriesTerms except for e^(−2η), taken as
// 1/e^(2η); every term agrees with SeriesTerms to a few units in the last
// place (relative 1e-15 for |η| < 0.1), far below what the coefficients
// (at most 8.4e-4) carry into ξ' and η'.

namespace korvagrid {

struct SeriesTerm {
  double s;  // sin(k·ξ) · cosh(k·η)
  double t;  // cos(k·ξ) · sinh(k·η)
};

// The terms of order k (a small positive integer) at (ξ, η), both in
// radians of rectified latitude. Throws KorvagridError when an exponential
// overflows.
SeriesTerm SeriesTerms(double xi, double eta, int k);

// The terms of the orders 2, 4, 6 and 8 at (ξ, η).
struct SeriesTermsOfOrders {
  SeriesTerm k2;
  SeriesTerm k4;
  SeriesTerm k6;
  SeriesTerm k8;
};

// All four orders at once (see above). Throws KorvagridError when a term is
// not finite (an exponential overflows, or ξ or η is not finite).
SeriesTermsOfOrders SeriesTermsUpTo8(double xi, double eta);

// The same from e^(2η), sin 2ξ and cos 2ξ, for a caller that has them
// without the exponential and the sine/cosine (KrugerZone::Forward: e^η' is
// the v + √(v² + 1) its η' is the logarithm of, and 2ξ' has the tangent
// of ξ' at hand). Throws as SeriesTermsUpTo8.
SeriesTermsOfOrders SeriesTermsUpTo8From(double exp2Eta, double sin2Xi, double cos2Xi);

}  // namespace korvagrid
