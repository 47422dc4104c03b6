#pragma once
// Reading the points of an exchange file through GDAL/OGR.
//
// Every layer of the file is read in order (for GPX the waypoints; its routes
// and tracks are lines). What becomes a point:
//  - a Point feature, and each point of a MultiPoint (or of a collection of
//    points), with the feature's name;
//  - in a CSV file, a row whose header names the columns: Name; X and Y (the
//    surveyors' X, northing, and Y, easting) or Lat and Long (also Latitude,
//    Longitude, Lon, Northing, Easting); H (also Height, Ele, Elevation, Z).
//    "." or "," as decimal separator; ",", ";" or TAB between the fields;
//  - in a DXF drawing, a POINT entity; a text label whose insertion point is
//    the point's position (within 1 mm) and which is not on layer HEIGHTS
//    gives its name, as the writer places them. Other labels are ignored.
// The name is the "name" field (any case); the height the "height", "h",
// "ele", "elevation" or "z" field when it is set, else the geometry's Z, else
// none. A feature that is not a point (a line, a polygon, a feature without
// coordinates, a CSV row whose coordinates are not numbers) is skipped and
// reported by its layer and number. Names that are not UTF-8 are read as
// Windows-1251, the code page of older files.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "exchange/crs_description.h"
#include "documents/exchange_format.h"
#include "exchange/exchange_point.h"

namespace korvagrid {

// The coordinate reference system a file states, as GDAL reports it (a 3D
// geographic system is taken as its 2D form).
struct FileCrs {
  std::string name;          // "Pulkovo 1942 / Gauss-Kruger zone 6"
  std::optional<int> epsg;   // its EPSG code, stated or identified by GDAL
  std::string wkt;           // WKT2, to show
  std::string projJson;      // PROJJSON, which reads back as the very same system (WKT2 of a
                             // system with a datum shift does not), for comparisons
  bool geographic = false;

  // "name (EPSG:code)", or the name alone.
  std::string label() const;
};

struct PointFileContent {
  std::vector<ExchangePoint> points;  // line = position in this list, from 1
  // The file's CRS; none when it states none (CSV, DXF, a Shapefile
  // without .prj). GPX, KML and GeoJSON always state WGS-84.
  std::optional<FileCrs> crs;
  // The points are latitude/longitude: from the CRS, else from the CSV
  // header (Lat/Long); plane otherwise.
  bool geographic = false;
  // One line per feature that gave no point, and one per layer skipped.
  std::vector<std::string> messages;
};

// Reads `path` as `format` (one of the point file formats). Throws
// KorvagridError with GDAL's reason when the file cannot be opened as such.
PointFileContent ReadPointFile(const std::filesystem::path& path, ExchangeFormat format);

// True when the file's CRS is the system's: OGRSpatialReference::IsSame on
// both, in the same axis order and in their 2D forms, or else the same PROJ
// string (the same projection, ellipsoid and datum shift under other names:
// an ESRI .prj renames an unnamed datum). Where only one side carries a
// datum shift to WGS-84 (a .prj never does), the shift is left out.
bool CrsMatches(const FileCrs& file, const CrsDescription& system);

// Why the points of `file` cannot be read as coordinates of the source
// system `system`, naming both; std::nullopt when they can. A file with a CRS
// must match it (CrsMatches); a file without one must be of the same kind
// (geographic or plane).
std::optional<std::string> SourceMismatch(const PointFileContent& file, const CrsDescription& system);

}  // namespace korvagrid
