#pragma once
// The points of a conversion run written to a point file, and a point file
// read as the input list of a source system: what the window and the command
// line share between the run and PointFileWriter / ReadPointFile.
//
// A run hands over the target's coordinates as it carries them (RunPoint):
// plane X in full and Y without a zone prefix, in metres, or latitude and
// longitude in packed degrees. A file holds them as its CRS counts them:
// decimal degrees; Y of a Gauss–Krüger zone of EPSG:28402..28432 with the zone
// number in its millions; X and Y of a local definition (LocalTransverseMercatorCrs)
// as the run carries them. The CRS of a system is DescribeCatalogueSystem's,
// the one place that chooses it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "documents/point_files.h"
#include "exchange/crs_description.h"
#include "documents/exchange_format.h"
#include "exchange/exchange_point.h"
#include "exchange/point_file_writer.h"

namespace korvagrid {

// The coordinate reference system of a catalogue row, the own system's
// included, named by its list text.
CrsDescription CrsOfSystem(const CoordinateSystem& system);

// Metres by which Y of `crs` exceeds Y as the run carries it: the zone number
// in the millions for an EPSG Gauss–Krüger zone, 0 for every other system.
double ZonePrefixMetres(const CrsDescription& crs);

// A run's point as a file of `crs` holds it. The name is taken back from the
// input list's escapes (DecodeListName): a point read from a file is written
// under the name it had there.
ExchangePoint ExchangePointOf(const RunPoint& point, const CrsDescription& crs);

// Receives the points of a run and writes them to a point file of the
// run's target system.
class PointFileSink final : public PointSink {
 public:
  // Throws KorvagridError when the format does not hold the target's
  // coordinates (the reason of WriteRefusal) or the file cannot be started.
  PointFileSink(const std::filesystem::path& path, ExchangeFormat format, const CoordinateSystem& target);

  // Throws KorvagridError naming the point when it cannot be written; the
  // sink has then failed and writes nothing more.
  void add(RunPoint point) override;
  // Completes the file. Throws KorvagridError.
  void finish();

  bool failed() const { return failed_; }
  std::int64_t pointsWritten() const { return writer_.pointsWritten(); }
  const std::vector<std::string>& notes() const { return writer_.notes(); }

 private:
  CrsDescription crs_;
  PointFileWriter writer_;
  bool failed_ = false;
};

// The points of the file at `path`, read as `format`, as an input list of
// `source`: the file must hold coordinates of `source` (SourceMismatch).
// Plane points are written as the source system writes them in its standard
// style: X short by the system's xOffset; Y of a fixed EPSG zone with its
// zone number, which the run takes off; Y of the own system, which the run
// takes as it stands, without one. Throws KorvagridError with the reason when
// the file cannot be read or holds another system's coordinates.
PointList ReadPointList(const std::filesystem::path& path, ExchangeFormat format, const CoordinateSystem& source);

}  // namespace korvagrid
