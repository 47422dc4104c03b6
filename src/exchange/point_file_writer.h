#pragma once
// Writing the points of a run to an exchange file, point by point, in
// constant memory.
//
// What each format holds (the order on the drawing is easting/longitude
// first; ExchangePoint keeps the surveyors' order, see exchange_point.h):
//
//   GPX      WGS-84 only: <wpt lat lon> with <name> and <ele>
//   KML      WGS-84 only: a Placemark per point with <name>, coordinates lon,lat[,height]
//   GeoJSON  WGS-84 only (RFC 7946): Point features [lon, lat(, height)] with property "name"
//   CSV      every system: columns Name, the system's axes as the window names
//            them (X, Y or Lat, Long) and H; "." decimal point; UTF-8; an empty
//            H for a point without height
//   GPKG     every system: layer of Point geometries with the fields "name" and
//            "height" and the system's CRS (EPSG code, else its definition)
//   SHP      the same as GeoPackage: .shp .shx .dbf .prj and a .cpg saying UTF-8
//   DXF      plane systems only: a POINT per point (X east, Y north, its height
//            as Z) on layer POINTS, with text labels of the name (layer NAMES,
//            above right of the point) and of the height (layer HEIGHTS, below
//            right), both anchored at the point itself
//
// Names keep every character; a point without a name is written with its line
// number. The file appears under its name only when finish() succeeds: it is
// written beside it under a temporary name and renamed at the end, so a
// refused or failed writing leaves an existing file as it was.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "exchange/crs_description.h"
#include "documents/exchange_format.h"
#include "exchange/exchange_point.h"

namespace korvagrid {

// Why `format` cannot hold points of `crs`, or std::nullopt when it can:
// GPX, KML and GeoJSON hold WGS-84 only, DXF plane coordinates only, and
// Text and Wpt are not written by PointFileWriter.
std::optional<std::string> WriteRefusal(ExchangeFormat format, const CrsDescription& crs);

class PointFileWriter {
 public:
  // Starts the file. Throws KorvagridError with the reason when the format
  // refuses the system (WriteRefusal), when the path cannot take the file
  // (a directory or device, a Shapefile name without ".shp", a missing
  // folder), or when GDAL cannot create it.
  PointFileWriter(const std::filesystem::path& path, ExchangeFormat format, CrsDescription crs);
  // Without finish() the partial file is removed.
  ~PointFileWriter();
  PointFileWriter(const PointFileWriter&) = delete;
  PointFileWriter& operator=(const PointFileWriter&) = delete;

  // Writes one point. Throws KorvagridError naming the point when it cannot
  // be written (a coordinate that is not finite, a Shapefile name over 254
  // bytes, a GDAL failure).
  void add(const ExchangePoint& point);

  // Completes the file and puts it under its name. Throws KorvagridError when
  // that fails; the partial file is then removed.
  void finish();

  std::int64_t pointsWritten() const { return pointsWritten_; }

  // Remarks on points written with a change the format forces (a DXF label
  // that cannot show a name exactly as it is), one per point concerned.
  const std::vector<std::string>& notes() const { return notes_; }

  // Writes one format's file; defined in the source files of each format.
  class Sink;

 private:
  void discard() noexcept;

  std::filesystem::path target_;     // where the file goes (a symbolic link followed)
  std::filesystem::path partPath_;   // the file being written, beside the target
  ExchangeFormat format_;
  CrsDescription crs_;
  std::unique_ptr<Sink> sink_;
  std::int64_t pointsWritten_ = 0;
  std::vector<std::string> notes_;
  std::string nameBuffer_;
};

}  // namespace korvagrid
