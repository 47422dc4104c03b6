#include "gdal_support.h"

#include <cpl_error.h>

#include <mutex>

#include "common/error.h"

namespace korvagrid::map {

void RegisterGdalOnce() {
  static std::once_flag registered;
  std::call_once(registered, [] { GDALAllRegister(); });
}

QuietGdalErrors::QuietGdalErrors() {
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLErrorReset();
}

QuietGdalErrors::~QuietGdalErrors() { CPLPopErrorHandler(); }

std::string QuietGdalErrors::lastMessage(const std::string& fallback) {
  const char* message = CPLGetLastErrorMsg();
  return message != nullptr && *message != '\0' ? std::string(message) : fallback;
}

namespace {

OGRSpatialReference FromProj(const std::string& definition) {
  OGRSpatialReference reference;
  if (reference.importFromProj4(definition.c_str()) != OGRERR_NONE) {
    throw KorvagridError("PROJ не принял систему координат карты: " + definition);
  }
  reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return reference;
}

}  // namespace

OGRSpatialReference KrasovskyGeographic(const ViewProjection& projection) {
  return FromProj(projection.geographicDefinition());
}

OGRSpatialReference ViewReference(const ViewProjection& projection) {
  return FromProj(projection.projDefinition());
}

}  // namespace korvagrid::map
