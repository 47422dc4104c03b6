#include "map/view_projection.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "definitions/proj_definition.h"
#include "geodesy/datum_shift_sets.h"
#include "geodesy/ellipsoid.h"

namespace korvagrid {
namespace {

// The view projection is a drawing aid, not one of the geodetic chains: it
// uses the exact π of PROJ's eqc so that a raster warped by GDAL lands on the
// pixel the view computes.
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kMaxStandardParallel = 85.0;  // degrees

// Shortest decimal text that reads back as the same double.
std::string Decimal(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

ViewProjection::ViewProjection(double standardParallel)
    : standardParallel_(std::clamp(std::isfinite(standardParallel) ? standardParallel : 0.0,
                                   -kMaxStandardParallel, kMaxStandardParallel)),
      metresPerDegreeLongitude_(kKrasovsky.a * std::cos(standardParallel_ * kRadiansPerDegree) *
                                kRadiansPerDegree),
      metresPerDegreeLatitude_(kKrasovsky.a * kRadiansPerDegree) {}

WorldPoint ViewProjection::project(GeoPoint p) const {
  return {p.longitude * metresPerDegreeLongitude_, p.latitude * metresPerDegreeLatitude_};
}

GeoPoint ViewProjection::unproject(WorldPoint w) const {
  return {w.y / metresPerDegreeLatitude_, w.x / metresPerDegreeLongitude_};
}

std::string ViewProjection::projDefinition() const {
  return "+proj=eqc +lat_ts=" + Decimal(standardParallel_) +
         " +lat_0=0 +lon_0=0 +x_0=0 +y_0=0 +ellps=krass +towgs84=" + Sk42ToWgs84ProjParameters() +
         " +units=m +no_defs +type=crs";
}

std::string Sk42ToWgs84ProjParameters() {
  // The default set as +towgs84 (position vector: the rotation signs flipped).
  return ProjTowgs84(DatumShiftSetOf(kDefaultDatumShift));
}

}  // namespace korvagrid
