#pragma once
// Datum shift between SK-42 (Krasovsky ellipsoid) and WGS-84 with a named
// parameter set (datum_shift_sets.h).
//
// Method: geodetic latitude, longitude and ellipsoidal height to geocentric
// X, Y, Z on the source ellipsoid; a seven-parameter similarity (Helmert)
// transformation in its small-angle form; geocentric back to geodetic on the
// target ellipsoid with one closed Bowring step (Bowring 1976, no
// iteration), the step PROJ's `cart` operation also takes.
//
// Rotation convention: COORDINATE FRAME rotation (EPSG method 9607), i.e.
//   X' = X + m·X + ωz·Y − ωy·Z + ΔX
//   Y' = Y − ωz·X + m·Y + ωx·Z + ΔY
//   Z' = Z + ωy·X − ωx·Y + m·Z + ΔZ
// with ω in radians (arc seconds divided by 206264.80625). The
// position-vector convention (EPSG 9606, the one of PROJ's +towgs84) is the
// same transformation with the signs of the three rotations flipped: the
// classic set is, as +towgs84, 26.3,-132.6,-76.3,0.22,0.4,0.9,-0.12. The
// scale difference multiplies only the coordinate itself, not the rotation
// terms (PROJ's helmert scales both: the two differ by m·ω·X, 3 µm).
// WGS-84 → SK-42 uses the same formulas with all seven values negated,
// which is close to but not exactly the inverse transformation.
//
// Accuracy: the shift reproduces its parameter set; the sets themselves are
// good to the metres datum_shift_sets.h states. Measured against PROJ's cct
// running the same set with PROJ's cart and helmert (PROJ 9.1,
// tests/test_geodesy_proj.cpp), 1 000 random points of latitudes 42° to 62°
// and longitudes 20° to 60°, heights −50 to 2 500 m, agree to 3.5e-10°
// (0.04 mm) and 0.03 mm in height, both ways and for every set; the
// remainder is the ellipsoid constants (ellipsoid.h) and PROJ's scaling of
// the rotation terms. Shifting a point there and back returns its latitude
// and longitude to better than 0.0001" and its height to within 1 mm. The
// single Bowring step is exact to 0.00001" and 0.1 mm for heights of the
// Earth's surface.
//
// Heights: ellipsoidal heights take part in the shift. A route may instead
// keep heights (HeightsMode::Keep): the shift is computed with the height as
// given, and the height that comes out is the one that went in, as PROJ does
// around a two-dimensional transformation (push/pop of the third
// coordinate). That serves normal heights in the Baltic system, which the
// shift must not touch.
#include <array>
#include <cstddef>
#include <optional>

#include "geodesy/constants.h"
#include "geodesy/datum_shift_sets.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/points.h"

namespace korvagrid {

enum class DatumDirection { Sk42ToWgs84, Wgs84ToSk42 };

// What a route crossing the datum does with the height.
enum class HeightsMode {
  Shift,  // ellipsoidal heights, shifted with the point
  Keep,   // copied unchanged (normal heights)
};

// Step 1: geodetic to geocentric on `ellipsoid`.
GeocentricPoint GeodeticToGeocentric(GeodeticPoint p, const Ellipsoid& ellipsoid);
// The same from the sines and cosines of the latitude and longitude.
GeocentricPoint GeodeticToGeocentric(const LatitudeLongitudeSines& s, double h,
                                     const Ellipsoid& ellipsoid);

// Step 2: the seven-parameter transformation, terms added in the order of
// the formulas above.
GeocentricPoint HelmertShift(GeocentricPoint p, const HelmertParameters& parameters);

// Step 3: geocentric to geodetic on `ellipsoid` with one Bowring step. The
// longitude is the two-argument arctangent atan2(Y, X), the true longitude
// in every quadrant.
GeodeticPoint GeocentricToGeodetic(GeocentricPoint p, const Ellipsoid& ellipsoid);

class DatumShift {
 public:
  // The seven parameters with the rotations in radians.
  struct InRadians {
    double dx, dy, dz;  // metres
    double wx, wy, wz;  // radians
    double m;
  };

  constexpr explicit DatumShift(const DatumShiftSet& set)
      : set_(&set), forward_(Radians(set.toWgs84)), reverse_(Radians(Negated(set.toWgs84))) {}

  const DatumShiftSet& set() const { return *set_; }

  // The rotations turned into radians (ω/ρ), once per set.
  static constexpr InRadians Radians(const HelmertParameters& p) {
    constexpr double rho = kArcSecondsPerRadianDatum;
    return {p.dx, p.dy, p.dz, p.wx / rho, p.wy / rho, p.wz / rho, p.m};
  }

  // SK-42 (Krasovsky) to WGS-84. Throws KorvagridError on an arithmetic fault.
  GeodeticPoint Forward(GeodeticPoint sk42) const;
  // The same for a point given by the sines and cosines of its latitude and
  // longitude and by its latitude (KrugerZone::ReverseSines), with its
  // height: the WGS-84 latitude is the SK-42 one plus the arctangent of
  // tan(B' − B), which for the few seconds of a datum shift is its series.
  GeodeticPoint Forward(const SinesWithLatitude& sk42, double h) const;
  // WGS-84 to SK-42 with the negated set. Throws KorvagridError on an
  // arithmetic fault.
  GeodeticPoint Reverse(GeodeticPoint wgs84) const;
  // The same for a projection that follows (KrugerZone::ForwardSines): the
  // longitude by its sine and cosine (Y'/p and X'/p) and the latitude by the
  // sine and cosine the height is computed with, instead of their
  // arctangents. Nothing for a point so far out (beyond 1e154 m) that its
  // distance from the axis or the sides of tan B overflow, or so near the
  // axis that cos B is no positive number: Reverse then decides.
  std::optional<GeodeticPointSines> ReverseSines(GeodeticPoint wgs84) const;
  // Forward or Reverse.
  GeodeticPoint Apply(GeodeticPoint p, DatumDirection direction) const;

 private:
  const DatumShiftSet* set_;
  InRadians forward_;
  InRadians reverse_;
};

inline constexpr std::array<DatumShift, kDatumShiftSets.size()> kDatumShifts{
    DatumShift(kDatumShiftSets[0]), DatumShift(kDatumShiftSets[1]), DatumShift(kDatumShiftSets[2])};

// The shift with the set of `key`.
constexpr const DatumShift& DatumShiftOf(DatumShiftKey key) {
  return kDatumShifts[static_cast<std::size_t>(key)];
}

}  // namespace korvagrid
