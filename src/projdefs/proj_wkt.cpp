// WKT2:2019 of the coordinate systems through PROJ's C API (see proj_wkt.h).
#include "projdefs/proj_wkt.h"

#include <proj.h>
#include <proj_experimental.h>

#include <memory>
#include <optional>
#include <string>

#include "common/error.h"
#include "geodesy/constants.h"

namespace korvagrid {
namespace {

struct ContextDeleter {
  void operator()(PJ_CONTEXT* context) const { proj_context_destroy(context); }
};
struct ObjectDeleter {
  void operator()(PJ* object) const { proj_destroy(object); }
};
using Context = std::unique_ptr<PJ_CONTEXT, ContextDeleter>;
using Object = std::unique_ptr<PJ, ObjectDeleter>;

constexpr double kRadiansPerDegree = 0.0174532925199433;     // as EPSG writes the degree
constexpr double kRadiansPerArcSecond = 4.84813681109536e-06;  // as EPSG writes the arc-second
constexpr double kPartsPerMillion = 1e-6;
constexpr int kEpsgPulkovo1942 = 4284;
constexpr int kEpsgWgs84 = 4326;

// KorvagridError with PROJ's message for `what`.
[[noreturn]] void ThrowProjError(PJ_CONTEXT* context, const std::string& what) {
  const int code = proj_context_errno(context);
  throw KorvagridError("PROJ: " + what + ": " +
                       (code != 0 ? proj_context_errno_string(context, code) : "no object"));
}

// `object`, or the error of `what`.
Object Require(PJ_CONTEXT* context, PJ* object, const std::string& what) {
  if (object == nullptr) ThrowProjError(context, what);
  return Object(object);
}

Object FromEpsg(PJ_CONTEXT* context, int code, PJ_CATEGORY category) {
  const std::string text = std::to_string(code);
  return Require(context,
                 proj_create_from_database(context, "EPSG", text.c_str(), category, 0, nullptr),
                 "EPSG:" + text);
}

// The plane system as a projected CRS on Pulkovo 1942 (see proj_wkt.h).
Object ProjectedCrs(PJ_CONTEXT* context, const DefinedSystem& s, const PJ* pulkovo1942,
                    const std::string& name) {
  const Object conversion = Require(
      context,
      proj_create_conversion_transverse_mercator(
          context, 0, s.centralMeridian / kArcSecondsPerDegree, 1,
          s.falseEast + s.yPrefix * kMetresPerZonePrefix, -(s.falseNorth + s.xOffset), "degree",
          kRadiansPerDegree, "metre", 1.0),
      "transverse Mercator of " + name);
  // X north, then Y east, named as the EPSG Gauss–Krüger zones name them.
  const PJ_AXIS_DESCRIPTION axisDescriptions[] = {
      {const_cast<char*>("northing"), const_cast<char*>("X"), const_cast<char*>("north"),
       const_cast<char*>("metre"), 1.0, PJ_UT_LINEAR},
      {const_cast<char*>("easting"), const_cast<char*>("Y"), const_cast<char*>("east"),
       const_cast<char*>("metre"), 1.0, PJ_UT_LINEAR},
  };
  const Object axes =
      Require(context, proj_create_cs(context, PJ_CS_TYPE_CARTESIAN, 2, axisDescriptions),
              "axes of " + name);
  return Require(context,
                 proj_create_projected_crs(context, name.c_str(), pulkovo1942, conversion.get(),
                                           axes.get()),
                 name);
}

// The set's transformation from Pulkovo 1942 to WGS 84.
Object Transformation(PJ_CONTEXT* context, const DatumShiftSet& set, PJ* pulkovo1942, PJ* wgs84) {
  if (set.epsgOperation) return FromEpsg(context, *set.epsgOperation, PJ_CATEGORY_COORDINATE_OPERATION);
  const HelmertParameters& p = set.toWgs84;
  const PJ_PARAM_DESCRIPTION parameters[] = {
      {"X-axis translation", "EPSG", "8605", p.dx, "metre", 1.0, PJ_UT_LINEAR},
      {"Y-axis translation", "EPSG", "8606", p.dy, "metre", 1.0, PJ_UT_LINEAR},
      {"Z-axis translation", "EPSG", "8607", p.dz, "metre", 1.0, PJ_UT_LINEAR},
      {"X-axis rotation", "EPSG", "8608", p.wx, "arc-second", kRadiansPerArcSecond, PJ_UT_ANGULAR},
      {"Y-axis rotation", "EPSG", "8609", p.wy, "arc-second", kRadiansPerArcSecond, PJ_UT_ANGULAR},
      {"Z-axis rotation", "EPSG", "8610", p.wz, "arc-second", kRadiansPerArcSecond, PJ_UT_ANGULAR},
      {"Scale difference", "EPSG", "8611", p.m / kPartsPerMillion, "parts per million",
       kPartsPerMillion, PJ_UT_SCALE},
  };
  const std::string name = "Pulkovo 1942 to WGS 84 (" + std::string(set.name) + ")";
  const std::string method = std::to_string(set.epsgMethod);
  return Require(context,
                 proj_create_transformation(context, name.c_str(), nullptr, nullptr, pulkovo1942,
                                            wgs84, nullptr, "Coordinate Frame rotation (geog2D domain)",
                                            "EPSG", method.c_str(), 7, parameters,
                                            set.accuracy.value_or(-1)),
                 name);
}

}  // namespace

std::string WktOf(const DefinedSystem& system, const DatumShiftSet& set, std::string_view name) {
  const Context owner(proj_context_create());
  PJ_CONTEXT* context = owner.get();
  const Object wgs84 = FromEpsg(context, kEpsgWgs84, PJ_CATEGORY_CRS);
  Object crs;
  if (system.kind == SystemKind::Geographic && system.isWgs84) {
    crs = FromEpsg(context, kEpsgWgs84, PJ_CATEGORY_CRS);
  } else {
    const Object pulkovo1942 = FromEpsg(context, kEpsgPulkovo1942, PJ_CATEGORY_CRS);
    const std::optional<int> epsg = EpsgCodeOf(system);
    const Object base = epsg ? FromEpsg(context, *epsg, PJ_CATEGORY_CRS)
                             : ProjectedCrs(context, system, pulkovo1942.get(), std::string(name));
    const Object transformation = Transformation(context, set, pulkovo1942.get(), wgs84.get());
    crs = Require(context,
                  proj_crs_create_bound_crs(context, base.get(), wgs84.get(), transformation.get()),
                  "bound CRS of " + std::string(name));
  }
  const char* wkt = proj_as_wkt(context, crs.get(), PJ_WKT2_2019, nullptr);
  if (wkt == nullptr) ThrowProjError(context, "WKT of " + std::string(name));
  return wkt;
}

}  // namespace korvagrid
