#include "exchange/exchange_format.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace korvagrid {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

const std::array<ExchangeFormatInfo, kExchangeFormatCount>& ExchangeFormats() {
  using enum ExchangeFormat;
  static constexpr std::array<ExchangeFormatInfo, kExchangeFormatCount> formats{{
      {Text, "text", ".txt", "", false, false},
      {Wpt, "wpt", ".wpt", "", false, false},
      {Gpx, "gpx", ".gpx", "GPX", true, false},
      {Kml, "kml", ".kml", "KML", true, false},
      {GeoJson, "geojson", ".geojson", "GeoJSON", true, false},
      {Csv, "csv", ".csv", "CSV", false, false},
      {GeoPackage, "gpkg", ".gpkg", "GPKG", false, false},
      {Shapefile, "shp", ".shp", "ESRI Shapefile", false, false},
      {Dxf, "dxf", ".dxf", "DXF", false, true},
  }};
  return formats;
}

const ExchangeFormatInfo& InfoOf(ExchangeFormat format) {
  return ExchangeFormats()[static_cast<std::size_t>(format)];
}

std::optional<ExchangeFormat> FormatFromName(std::string_view name) {
  for (const ExchangeFormatInfo& info : ExchangeFormats()) {
    if (EqualsIgnoringCase(name, info.name)) return info.format;
  }
  return std::nullopt;
}

ExchangeFormat FormatFromPath(const std::filesystem::path& path) {
  const std::string extension = path.extension().string();
  if (EqualsIgnoringCase(extension, ".json")) return ExchangeFormat::GeoJson;
  for (const ExchangeFormatInfo& info : ExchangeFormats()) {
    if (EqualsIgnoringCase(extension, info.extension)) return info.format;
  }
  return ExchangeFormat::Text;
}

bool IsPointFileFormat(ExchangeFormat format) {
  return !InfoOf(format).gdalDriver.empty();
}

}  // namespace korvagrid
