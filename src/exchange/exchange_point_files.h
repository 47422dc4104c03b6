#pragma once
// The window's point files (documents/point_files.h) through this library:
// the format of a chosen file, reading it as an input list and writing the
// points of a run.
#include "documents/point_files.h"

namespace korvagrid {

class ExchangePointFiles final : public PointFiles {
 public:
  std::string dialogFilterEntries() const override;
  bool isPointFile(const ChosenFile& file) const override;
  PointList readList(const ChosenFile& file, const CoordinateSystem& source) const override;
  std::vector<std::string> writePoints(const ChosenFile& file, const CoordinateSystem& target,
                                       std::span<const RunPoint> points) const override;
};

}  // namespace korvagrid
