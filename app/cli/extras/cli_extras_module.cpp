// korvagrid-cli-extras: point files, maps and WKT for korvagrid-cli, in a
// module the command line loads only when a command needs them.
#include <QByteArray>

#include "cli_extras.h"
#include "common/error.h"
#include "exchange/point_file_writer.h"
#include "exchange/run_point_file.h"
#include "map_export.h"
#include "projdefs/proj_wkt.h"

namespace korvagrid::cli {
namespace {

class PointFile final : public PointFileOutput {
 public:
  PointFile(const std::string& path, ExchangeFormat format, const CoordinateSystem& target)
      : sink_(path, format, target) {}
  void add(RunPoint point) override { sink_.add(std::move(point)); }
  void finish() override { sink_.finish(); }
  bool failed() const override { return sink_.failed(); }
  const std::vector<std::string>& notes() const override { return sink_.notes(); }

 private:
  PointFileSink sink_;
};

class ModuleExtras final : public CliExtras {
 public:
  std::optional<std::string> writeRefusal(ExchangeFormat format, const CoordinateSystem& target) override {
    return WriteRefusal(format, CrsOfSystem(target));
  }
  std::unique_ptr<PointFileOutput> openPointFile(const std::string& path, ExchangeFormat format,
                                                 const CoordinateSystem& target) override {
    return std::make_unique<PointFile>(path, format, target);
  }
  PointList readPointList(const std::string& path, ExchangeFormat format, const CoordinateSystem& source) override {
    return ReadPointList(path, format, source);
  }
  std::string wkt(const DefinedSystem& system, const DatumShiftSet& set, std::string_view name) override {
    return WktOf(system, set, name);
  }
  void renderMap(std::span<const MapPoint> points, std::int16_t scaleCode, int width, int height,
                 const std::string& path) override {
    map::RenderMapFile(points, scaleCode, width, height, path);
  }
};

}  // namespace

CliExtras* TheModuleExtras() {
  static ModuleExtras extras;
  return &extras;
}

}  // namespace korvagrid::cli

extern "C" __attribute__((visibility("default"))) korvagrid::cli::CliExtras* korvagrid_cli_extras() {
  return korvagrid::cli::TheModuleExtras();
}
