#include "exchange/exchange_point_files.h"

#include "documents/exchange_format.h"
#include "exchange/run_point_file.h"

namespace korvagrid {

std::string ExchangePointFiles::dialogFilterEntries() const { return PointFormatsDialogFilter(); }

bool ExchangePointFiles::isPointFile(const ChosenFile& file) const {
  return IsPointFileFormat(FormatOfChosenFile(file.path, file.filterPattern));
}

PointList ExchangePointFiles::readList(const ChosenFile& file, const CoordinateSystem& source) const {
  return ReadPointList(file.path, FormatOfChosenFile(file.path, file.filterPattern), source);
}

std::vector<std::string> ExchangePointFiles::writePoints(const ChosenFile& file, const CoordinateSystem& target,
                                                         std::span<const RunPoint> points) const {
  PointFileSink sink(file.path, FormatOfChosenFile(file.path, file.filterPattern), target);
  for (const RunPoint& point : points) sink.add(point);
  sink.finish();
  return sink.notes();
}

}  // namespace korvagrid
