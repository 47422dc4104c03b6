#pragma once
// Point files: lists of points in the exchange formats (GPX, KML, GeoJSON,
// CSV, GeoPackage, Shapefile, DXF), which the window opens as input lists and
// into which it saves the points of a run. The core reads and writes none of
// them: korvagrid_exchange does, through GDAL, and hands itself to the window
// as a PointFiles. Without one the window offers text files only.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "interaction/platform.h"

namespace korvagrid {

// The points of a file as the input list of a source system.
struct PointList {
  // One line per point, each ended by CR LF: "name X Y H" with X and Y as
  // the source system writes them (standard style), or "name Lat Long H" in
  // decimal degrees; read with the named layout.
  std::string text;
  bool geographic = false;  // latitude/longitude lines; plane X, Y otherwise
  std::int64_t points = 0;
  // One line per feature of the file that gave no point (a line, a polygon,
  // a feature without coordinates), and one per layer skipped.
  std::vector<std::string> messages;
};

class PointFiles {
 public:
  virtual ~PointFiles() = default;

  // The formats' entries for a file dialog's filter, one pattern each:
  // "GPX (*.gpx)|*.gpx|KML (*.kml)|*.kml|...".
  virtual std::string dialogFilterEntries() const = 0;

  // Whether `file`, as a dialog chose it, is a point file: the format of the
  // chosen filter where that is a point format, else that of the extension.
  virtual bool isPointFile(const ChosenFile& file) const = 0;

  // The points of `file` as an input list of `source`. Throws KorvagridError
  // with the reason when the file cannot be read as its format or holds the
  // coordinates of another system (naming both).
  virtual PointList readList(const ChosenFile& file, const CoordinateSystem& source) const = 0;

  // Writes `points`, converted by a run whose target was `target`, to `file`
  // with the target's coordinate reference system. Returns remarks on names
  // the format had to change (DXF labels). Throws KorvagridError with the
  // reason when the format does not hold the target's coordinates (GPX for
  // "BLH(Kras)", DXF for a geographic target) or the file cannot be written;
  // an existing file of that name is then left as it was.
  virtual std::vector<std::string> writePoints(const ChosenFile& file, const CoordinateSystem& target,
                                               std::span<const RunPoint> points) const = 0;
};

}  // namespace korvagrid
