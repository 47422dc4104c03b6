#pragma once
// The parts of korvagrid-cli that need large libraries: point files (GDAL),
// drawing maps (Qt), WKT (libproj). They live in a module of their own,
// korvagrid-cli-extras.so beside the executable, loaded only when a command
// uses them, so that converting a text list starts in a few milliseconds and
// runs in a few megabytes.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "definitions/proj_definition.h"
#include "documents/point_files.h"
#include "documents/exchange_format.h"
#include "map/map_point.h"

namespace korvagrid::cli {

// A point file being written from the points of a run.
class PointFileOutput : public PointSink {
 public:
  // Completes the file. Throws KorvagridError.
  virtual void finish() = 0;
  // Whether a point could not be written (the file is then not written).
  virtual bool failed() const = 0;
  // Remarks on names the format had to change.
  virtual const std::vector<std::string>& notes() const = 0;
};

class CliExtras {
 public:
  virtual ~CliExtras() = default;

  // Why `format` cannot hold the coordinates of `target`; nothing when it can.
  virtual std::optional<std::string> writeRefusal(ExchangeFormat format, const CoordinateSystem& target) = 0;
  // A point file of `target`'s coordinates at `path`. Throws KorvagridError.
  virtual std::unique_ptr<PointFileOutput> openPointFile(const std::string& path, ExchangeFormat format,
                                                         const CoordinateSystem& target) = 0;
  // The points of the file at `path` as an input list of `source`. Throws
  // KorvagridError with the reason.
  virtual PointList readPointList(const std::string& path, ExchangeFormat format,
                                  const CoordinateSystem& source) = 0;
  // WKT2:2019 of `system` with the datum shift `set`. Throws KorvagridError.
  virtual std::string wkt(const DefinedSystem& system, const DatumShiftSet& set, std::string_view name) = 0;
  // Draws `points` on the sheet grid of `scaleCode` to a PNG, SVG or PDF
  // file, fitted to them. Throws KorvagridError.
  virtual void renderMap(std::span<const MapPoint> points, std::int16_t scaleCode, int width, int height,
                         const std::string& path) = 0;
};

// The module, loaded on first use. Throws KorvagridError naming the module
// and the reason when it cannot be loaded.
CliExtras& Extras();

// The name of the module's entry point.
inline constexpr const char* kCliExtrasEntry = "korvagrid_cli_extras";

}  // namespace korvagrid::cli
