#pragma once
// Module1: a point from one transverse-Mercator plane system on the
// Krasovsky ellipsoid into another such system, or to Krasovsky latitude and
// longitude.
//
// Method: the classical closed Gauss–Krüger formulas for the Krasovsky
// ellipsoid, written as polynomials in cos²B with fixed numeric coefficients
// (footpoint latitude, radius of curvature N and the series terms b2..b5 of
// the inverse problem, a0, a3..a6 of the direct problem). The coefficients
// are the stored values of the Krasovsky tables and are used as written; the
// pairs 0.333333/0.166667 (inverse) and 0.3333333/0.1666667 (direct) are
// distinct stored values. Nothing is iterated.
//
// Accuracy, latitudes 40° to 63°: within 100 km of the central meridian the
// inverse step agrees with the Krüger series of Fo42_WGS to 0.00004" and
// inverse followed by direct into the same system closes to 0.84 mm (a
// systematic +0.5 to +0.8 mm in x, so a way there and back closes to about
// 2 mm); at 150 km 0.00005" and 1.2 mm, at 200 km 0.0002" and 3.2 mm. The
// truncated direct series grows quickly with the distance from the target
// meridian: a way there and back closes to 4 mm within 3° of both meridians,
// 0.06 m within 6°, and only to metres between meridians 12° apart.
#include "geodesy/system_kind.h"

namespace korvagrid {

// Result of Module1: target x and y in metres, or latitude and longitude in
// packed degrees when the target kind is Geographic.
struct PlanePair {
  double out1;
  double out2;
};

// x, y: source plane coordinates in metres (x in full, y without a zone
// prefix). sourceFalseNorth is added to x and sourceFalseEast subtracted from
// y before the inverse step; targetFalseNorth is subtracted from the computed
// x and targetFalseEast added to the computed y (neither for geographic
// output). deltaL, arc seconds, is added to the longitude difference from the
// source central meridian: source minus target central meridian for plane
// output, the source central meridian itself for geographic output.
// targetKind Geographic asks for packed latitude and longitude, any other
// kind for plane coordinates. Throws KorvagridError on an arithmetic fault.
PlanePair Module1(double x, double y, double sourceFalseNorth, double targetFalseNorth,
                  double deltaL, double sourceFalseEast, double targetFalseEast,
                  SystemKind targetKind);

}  // namespace korvagrid
