#include "documents/exchange_format.h"

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
      {Text, "text", "Text", ".txt", "", false, false},
      {Wpt, "wpt", "OziExplorer", ".wpt", "", false, false},
      {Gpx, "gpx", "GPX", ".gpx", "GPX", true, false},
      {Kml, "kml", "KML", ".kml", "KML", true, false},
      {GeoJson, "geojson", "GeoJSON", ".geojson", "GeoJSON", true, false},
      {Csv, "csv", "CSV", ".csv", "CSV", false, false},
      {GeoPackage, "gpkg", "GeoPackage", ".gpkg", "GPKG", false, false},
      {Shapefile, "shp", "Shapefile", ".shp", "ESRI Shapefile", false, false},
      {Dxf, "dxf", "DXF", ".dxf", "DXF", false, true},
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

std::optional<ExchangeFormat> PointFormatFromFilterPattern(std::string_view pattern) {
  // A single "*.ext": several patterns or wildcards choose no one format.
  const std::string_view extension = pattern.substr(std::min<std::size_t>(1, pattern.size()));
  if (!pattern.starts_with("*.") || extension.find_first_of("*?;, ") != std::string_view::npos) {
    return std::nullopt;
  }
  const ExchangeFormat format = FormatFromPath("x" + std::string(extension));
  if (!IsPointFileFormat(format)) return std::nullopt;
  return format;
}

ExchangeFormat FormatOfChosenFile(const std::filesystem::path& path, std::string_view filterPattern) {
  if (const std::optional<ExchangeFormat> chosen = PointFormatFromFilterPattern(filterPattern)) return *chosen;
  return FormatFromPath(path);
}

std::string PointFormatsDialogFilter() {
  std::string filter;
  for (const ExchangeFormatInfo& info : ExchangeFormats()) {
    if (!IsPointFileFormat(info.format)) continue;
    if (!filter.empty()) filter += '|';
    const std::string pattern = "*" + std::string(info.extension);
    filter.append(info.title).append(" (").append(pattern).append(")|").append(pattern);
  }
  return filter;
}

}  // namespace korvagrid
