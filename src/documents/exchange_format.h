#pragma once
// The file formats in which points are written and read, their names on the
// command line and their file name extensions.
//
// Text and Wpt are the system's own outputs (the result text and the
// OziExplorer waypoint file); they are listed so that one name table serves
// --in-format and --out-format, but the point files of this library are the
// GDAL formats from Gpx on.
#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvagrid {

enum class ExchangeFormat { Text, Wpt, Gpx, Kml, GeoJson, Csv, GeoPackage, Shapefile, Dxf };
inline constexpr std::size_t kExchangeFormatCount = 9;

struct ExchangeFormatInfo {
  ExchangeFormat format;
  std::string_view name;       // command-line name: "gpx", "gpkg", ...
  std::string_view title;      // as dialogs and messages name it: "GPX", "GeoPackage", ...
  std::string_view extension;  // usual extension with its dot: ".gpx"
  std::string_view gdalDriver; // OGR driver that reads it, and writes it but for CSV (written
                               // directly); empty for Text and Wpt
  bool wgs84Only;              // holds WGS-84 latitude/longitude only (GPX, KML, GeoJSON)
  bool planeOnly;              // holds plane coordinates only (DXF)
};

// Every format, in the order of the enumeration.
const std::array<ExchangeFormatInfo, kExchangeFormatCount>& ExchangeFormats();
const ExchangeFormatInfo& InfoOf(ExchangeFormat format);

// The format of a command-line name (case ignored): text, wpt, gpx, kml,
// geojson, csv, gpkg, shp, dxf. std::nullopt for any other name.
std::optional<ExchangeFormat> FormatFromName(std::string_view name);

// The format a file name's extension stands for (case ignored): .gpx, .kml,
// .geojson and .json, .csv, .gpkg, .shp, .dxf, .wpt; Text for any other
// extension and for none.
ExchangeFormat FormatFromPath(const std::filesystem::path& path);

// True for the formats this library writes and reads (Gpx to Dxf).
bool IsPointFileFormat(ExchangeFormat format);

// The point file format a file dialog's filter pattern stands for ("*.gpx",
// case ignored); std::nullopt for the patterns of text ("*.txt"), of
// waypoints, of every file ("*.*") and for any other pattern.
std::optional<ExchangeFormat> PointFormatFromFilterPattern(std::string_view pattern);

// The format of a file a dialog chose: the point file format of the chosen
// filter where it is one, else the format of the name's extension.
ExchangeFormat FormatOfChosenFile(const std::filesystem::path& path, std::string_view filterPattern);

// The entries of the point file formats for a file dialog's filter, one
// pattern each: "GPX (*.gpx)|*.gpx|KML (*.kml)|*.kml|...|DXF (*.dxf)|*.dxf".
std::string PointFormatsDialogFilter();

}  // namespace korvagrid
