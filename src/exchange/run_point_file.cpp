#include "exchange/run_point_file.h"

#include "common/error.h"
#include "exchange/input_list.h"
#include "exchange/point_file_reader.h"
#include "formats/angles.h"
#include "geodesy/constants.h"

namespace korvagrid {

CrsDescription CrsOfSystem(const CoordinateSystem& system) {
  return DescribeCatalogueSystem(system.name, system);
}

double ZonePrefixMetres(const CrsDescription& crs) {
  if (crs.geographic || !crs.epsg) return 0;
  return static_cast<double>(*crs.epsg - CrsDescription::kEpsgPulkovo1942GaussKrugerZone0) *
         kMetresPerZonePrefix;
}

ExchangePoint ExchangePointOf(const RunPoint& point, const CrsDescription& crs) {
  ExchangePoint out;
  out.name = DecodeListName(point.name);
  out.line = point.line;
  out.height = point.height;
  if (crs.geographic) {
    out.first = PackedToDegrees(point.first);
    out.second = PackedToDegrees(point.second);
  } else {
    out.first = point.first;
    out.second = point.second + ZonePrefixMetres(crs);
  }
  return out;
}

PointFileSink::PointFileSink(const std::filesystem::path& path, ExchangeFormat format,
                             const CoordinateSystem& target)
    : crs_(CrsOfSystem(target)), writer_(path, format, crs_) {}

void PointFileSink::add(RunPoint point) {
  if (failed_) return;
  try {
    writer_.add(ExchangePointOf(point, crs_));
  } catch (...) {
    failed_ = true;
    throw;
  }
}

void PointFileSink::finish() {
  if (failed_) throw KorvagridError("файл точек не записан");
  writer_.finish();
}

PointList ReadPointList(const std::filesystem::path& path, ExchangeFormat format, const CoordinateSystem& source) {
  PointFileContent content = ReadPointFile(path, format);
  const CrsDescription crs = CrsOfSystem(source);
  if (const std::optional<std::string> mismatch = SourceMismatch(content, crs)) throw KorvagridError(*mismatch);
  // The run neither takes off nor puts back the zone number of the own
  // system's Y: the list has Y as that system writes it, without one.
  if (source.userDefined) {
    const double prefix = ZonePrefixMetres(crs);
    for (ExchangePoint& point : content.points) point.second -= prefix;
  }
  const InputList list = MakeInputList(content.points, crs.geographic, source.xOffset);
  return {list.text, crs.geographic, static_cast<std::int64_t>(content.points.size()), std::move(content.messages)};
}

}  // namespace korvagrid
