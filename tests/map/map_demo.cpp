// Not a test: shows the map view over a list of points for screenshots, or
// draws it into a file as korvagrid-cli map does.
//
//   korvagrid_map_demo show POINTS [--highlight LINE] [--background FILE]
//   korvagrid_map_demo file POINTS OUT.png|svg|pdf [WIDTH HEIGHT]
//
// POINTS holds one point a line: name, Krasovsky latitude and longitude in
// decimal degrees, and optionally the zone of the point's system, which
// marks a point outside that zone with a warning. Blank lines count as lines.
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QToolBar>
#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/error.h"
#include "map/gauss_kruger_zones.h"
#include "map_background.h"
#include "map_export.h"
#include "mapwidget.h"

namespace {

using korvagrid::MapPoint;

double Number(const std::string& text) {
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    throw korvagrid::KorvagridError("не число: " + text);
  }
  return value;
}

std::vector<MapPoint> ReadPoints(const char* path) {
  std::ifstream in(path);
  if (!in) throw korvagrid::KorvagridError(std::string("не открыть ") + path);
  std::vector<MapPoint> points;
  std::string line;
  for (std::int64_t number = 1; std::getline(in, line); ++number) {
    std::istringstream fields(line);
    std::string name, latitude, longitude, zone;
    if (!(fields >> name >> latitude >> longitude)) continue;
    MapPoint p;
    p.name = name;
    p.latitude = Number(latitude);
    p.longitude = Number(longitude);
    p.line = number;
    if (fields >> zone) {
      if (auto reason = korvagrid::OutsideZoneReason(static_cast<int>(Number(zone)), p.longitude)) {
        p.status = korvagrid::MapPointStatus::OutsideZone;
        p.reason = *reason;
      }
    }
    points.push_back(std::move(p));
  }
  return points;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: korvagrid_map_demo show|file POINTS ...\n";
    return 2;
  }
  const std::string mode = argv[1];
  try {
    std::vector<MapPoint> points = ReadPoints(argv[2]);
    if (mode == "file" && argc >= 4) {
      const int width = argc >= 6 ? static_cast<int>(Number(argv[4])) : 1600;
      const int height = argc >= 6 ? static_cast<int>(Number(argv[5])) : 1000;
      korvagrid::map::RenderMapFile(points, 100, width, height, argv[3]);
      return 0;
    }
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Карта"));
    auto* map = new korvagrid::map::MapWidget(&window);
    window.setCentralWidget(map);
    QToolBar* tools = window.addToolBar(QStringLiteral("Карта"));
    tools->addActions(
        {map->fitAction(), map->zoomInAction(), map->zoomOutAction(), map->exportAction()});
    QObject::connect(map, &korvagrid::map::MapWidget::pointClicked, &window, [&](qint64 line) {
      window.statusBar()->showMessage(QStringLiteral("Строка %1").arg(line));
    });
    window.resize(1100, 760);
    window.show();
    map->setPoints(std::move(points));
    for (int i = 3; i + 1 < argc; i += 2) {
      const std::string option = argv[i];
      if (option == "--highlight") map->highlightLine(static_cast<qint64>(Number(argv[i + 1])));
      if (option == "--background")
        map->setBackground(korvagrid::map::OpenMapBackground(argv[i + 1]));
    }
    return app.exec();
  } catch (const korvagrid::KorvagridError& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
}
