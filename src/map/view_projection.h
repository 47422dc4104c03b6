#pragma once
// The projection of the map view: equirectangular (plate carrée with a
// standard parallel) of Krasovsky latitude φ and longitude λ,
//
//   x = a · cos φ0 · λ,   y = a · φ      (φ, λ in radians, a = 6 378 245 m),
//
// which is PROJ's "+proj=eqc +lat_ts=φ0 +lat_0=0 +lon_0=0 +ellps=krass".
// Meridians and parallels are straight lines parallel to the axes, so every
// map-sheet frame (bounded by a meridian and a parallel on each side) is an
// axis-parallel rectangle, and a sheet's name label and its point markers
// can be placed by a linear map from degrees to pixels.
//
// Scale is true along the meridians and along the standard parallel φ0, the
// middle latitude of the points the view was fitted to. Across a view of
// 300 km north–south at 56° the east–west scale differs from that on φ0 by
// at most 4 %; shapes are not conformal, which a check of point positions on
// the sheet grid does not need.
//
// Longitudes are not wrapped: a view across ±180° shows both edges apart.
#include <string>

#include "geodesy/datum_shift_sets.h"
#include "map/map_coordinates.h"

namespace korvagrid {

class ViewProjection {
 public:
  // Standard parallel φ0 in decimal degrees, limited to ±85° so that the
  // east–west scale stays finite; `datumShift` is the set by which the
  // view's points were carried between SK-42 and WGS-84, which data of
  // other datums shown under them must take too.
  explicit ViewProjection(double standardParallel = 0,
                          DatumShiftKey datumShift = kDefaultDatumShift);

  double standardParallel() const { return standardParallel_; }
  DatumShiftKey datumShift() const { return datumShift_; }
  // Metres of the projection plane per degree of longitude and of latitude.
  double metresPerDegreeLongitude() const { return metresPerDegreeLongitude_; }
  double metresPerDegreeLatitude() const { return metresPerDegreeLatitude_; }

  WorldPoint project(GeoPoint p) const;
  GeoPoint unproject(WorldPoint w) const;

  // The same projection as a PROJ definition, on the Krasovsky ellipsoid with
  // the view's SK-42 ↔ WGS-84 datum shift as +towgs84, so that GDAL and PROJ
  // put data of any datum where the view puts SK-42 points.
  std::string projDefinition() const;
  // Krasovsky longitude/latitude with the same +towgs84.
  std::string geographicDefinition() const;

  bool operator==(const ViewProjection&) const = default;

 private:
  double standardParallel_;
  DatumShiftKey datumShift_;
  double metresPerDegreeLongitude_;
  double metresPerDegreeLatitude_;
};

}  // namespace korvagrid
