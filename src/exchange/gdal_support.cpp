#include "exchange/gdal_support.h"

#include <cpl_error.h>
#include <ogr_srs_api.h>

#include <charconv>
#include <cstring>
#include <mutex>

#include "common/error.h"

namespace korvagrid::gdal {

void EnsureRegistered() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

MessageCollector::MessageCollector() {
  CPLErrorReset();
  CPLPushErrorHandlerEx(&MessageCollector::Handle, this);
}

MessageCollector::~MessageCollector() { CPLPopErrorHandler(); }

void MessageCollector::Handle(CPLErr level, CPLErrorNum /*number*/, const char* text) {
  auto* self = static_cast<MessageCollector*>(CPLGetErrorHandlerUserData());
  if (self == nullptr || level == CE_Debug || level == CE_None) return;
  self->messages_.emplace_back(text != nullptr ? text : "");
  if (level >= CE_Failure) self->lastError_ = self->messages_.back();
}

std::string MessageCollector::reasonSuffix() const {
  return lastError_.empty() ? std::string() : ": " + lastError_;
}

OGRSpatialReference SpatialReferenceOf(const CrsDescription& crs) {
  MessageCollector messages;
  OGRSpatialReference srs;
  const OGRErr result = crs.epsg ? srs.importFromEPSG(*crs.epsg)
                                 : srs.SetFromUserInput(crs.definition.c_str());
  if (result != OGRERR_NONE || srs.IsEmpty()) {
    const std::string what = crs.epsg ? "EPSG:" + std::to_string(*crs.epsg) : crs.definition;
    throw KorvagridError("система координат «" + crs.displayName + "» не задана: «" + what +
                         "» не читается" + messages.reasonSuffix());
  }
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

std::optional<int> EpsgCodeOf(const OGRSpatialReference& srs) {
  auto codeOf = [](const OGRSpatialReference& s) -> std::optional<int> {
    const char* authority = s.GetAuthorityName(nullptr);
    const char* code = s.GetAuthorityCode(nullptr);
    if (authority == nullptr || code == nullptr || std::strcmp(authority, "EPSG") != 0) {
      return std::nullopt;
    }
    int value = 0;
    const std::size_t length = std::strlen(code);
    const auto parsed = std::from_chars(code, code + length, value);
    if (parsed.ec != std::errc() || parsed.ptr != code + length) return std::nullopt;
    return value;
  };
  if (const std::optional<int> own = codeOf(srs)) return own;
  // A definition without an authority (an ESRI .prj, a PROJ string): the
  // EPSG entry that matches it exactly, if GDAL finds one.
  MessageCollector quiet;
  OGRSpatialReference* match = srs.FindBestMatch(100);
  if (match == nullptr) return std::nullopt;
  const std::optional<int> found = codeOf(*match);
  match->Release();
  return found;
}

std::string DescribeSpatialReference(const OGRSpatialReference& srs) {
  const char* name = srs.GetName();
  std::string text = name != nullptr && *name != '\0' ? name : "без имени";
  if (const std::optional<int> code = EpsgCodeOf(srs)) text += " (EPSG:" + std::to_string(*code) + ")";
  return text;
}

}  // namespace korvagrid::gdal
