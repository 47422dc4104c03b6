// Frames of the map view at 1600 × 1000 drawn offscreen over 200 000 points,
// at three zooms and while panning, beside two peers measured in the same
// run: the same frame drawn through QPainter alone (the way SVG and PDF are
// drawn), and a plain drawing of every marker as a QPainter ellipse with no
// culling, no sharing of pixels and no labels.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "map/gauss_kruger_zones.h"
#include "map/map_view.h"
#include "map_export.h"
#include "map_renderer.h"

namespace korvagrid::map {
namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr int kPoints = 200000;
constexpr GeoPoint kMoscow{55.75, 37.62};

// 200 000 points as survey work spreads them over some 300 km around Moscow:
// 60 % in 800 sites (1.5 km across), 30 % along 50 traverses of 20 to 80 km,
// 10 % scattered. They belong to a "42(zone7)" list, so those west of 36° E
// carry the outside-zone warning.
std::vector<MapPoint> SurveyPoints() {
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> across(-1, 1);
  std::normal_distribution<double> site(0, 1);
  constexpr double kHalfSpanLatitude = 1.35;  // 150 km
  constexpr double kHalfSpanLongitude = 2.4;  // 150 km at 55.75°
  constexpr double kDegreesPerKmLatitude = 1 / 111.3;
  constexpr double kDegreesPerKmLongitude = 1 / 62.7;
  const auto somewhere = [&] {
    return GeoPoint{kMoscow.latitude + across(random) * kHalfSpanLatitude,
                    kMoscow.longitude + across(random) * kHalfSpanLongitude};
  };
  std::vector<GeoPoint> sites(800);
  for (GeoPoint& s : sites) s = somewhere();
  struct Traverse {
    GeoPoint start;
    double dLat, dLon;
  };
  std::vector<Traverse> traverses(50);
  for (Traverse& t : traverses) {
    const double km = 20 + 60 * std::abs(across(random));
    const double bearing = std::numbers::pi * across(random);
    t = {somewhere(), km * std::cos(bearing) * kDegreesPerKmLatitude,
         km * std::sin(bearing) * kDegreesPerKmLongitude};
  }
  std::vector<MapPoint> points(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    MapPoint& p = points[static_cast<std::size_t>(i)];
    GeoPoint at;
    if (i % 10 < 6) {
      const GeoPoint& s = sites[static_cast<std::size_t>(i) % sites.size()];
      at = {s.latitude + site(random) * 0.75 * kDegreesPerKmLatitude,
            s.longitude + site(random) * 0.75 * kDegreesPerKmLongitude};
    } else if (i % 10 < 9) {
      const Traverse& t = traverses[static_cast<std::size_t>(i) % traverses.size()];
      const double along = std::abs(across(random));
      at = {t.start.latitude + along * t.dLat + site(random) * 0.02 * kDegreesPerKmLatitude,
            t.start.longitude + along * t.dLon + site(random) * 0.02 * kDegreesPerKmLongitude};
    } else {
      at = somewhere();
    }
    p.name = "П" + std::to_string(i + 1);
    p.latitude = at.latitude;
    p.longitude = at.longitude;
    p.line = i + 1;
    if (auto reason = OutsideZoneReason(7, at.longitude)) {
      p.status = MapPointStatus::OutsideZone;
      p.reason = *reason;
    }
  }
  return points;
}

struct Scene {
  MapRenderer renderer;
  MapView fitted;
  Scene() {
    renderer.setPoints(SurveyPoints());
    fitted.resize(kWidth, kHeight);
    fitted.fitTo(renderer.points(), kFitMarginPixels);
    renderer.setHighlighted(12345);
  }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

MapView Zoomed(double factor) {
  MapView view = TheScene().fitted;
  view.zoomAbout({kWidth / 2.0, kHeight / 2.0}, factor);
  return view;
}

void DrawFrames(benchmark::State& state, const MapView& view) {
  const MapRenderer& renderer = TheScene().renderer;
  QImage frame;
  // The first frame of a view measures and lays out the names it shows, once.
  renderer.renderImage(frame, view);
  for (auto _ : state) {
    renderer.renderImage(frame, view);
    benchmark::DoNotOptimize(frame.constBits());
  }
}

// The whole 300 km: every point in view.
void BM_FrameFitted(benchmark::State& state) { DrawFrames(state, TheScene().fitted); }
// Eight times closer (about 25 m per pixel): 1:100 000 sheets named.
void BM_FrameZoomed8(benchmark::State& state) { DrawFrames(state, Zoomed(8)); }
// 64 times closer (about 3 m per pixel): a site's points and names.
void BM_FrameZoomed64(benchmark::State& state) { DrawFrames(state, Zoomed(64)); }

// Dragging at 8 times: each frame moved by 37 × 23 pixels, back and forth.
void BM_FramePanning(benchmark::State& state) {
  const MapRenderer& renderer = TheScene().renderer;
  MapView view = Zoomed(8);
  QImage frame;
  renderer.renderImage(frame, view);
  int step = 0;
  for (auto _ : state) {
    const double direction = (step++ / 40) % 2 == 0 ? 1 : -1;
    view.panByPixels(37 * direction, 23 * direction);
    renderer.renderImage(frame, view);
    benchmark::DoNotOptimize(frame.constBits());
  }
}

// Peer: the same fitted frame through QPainter alone, as SVG and PDF get it.
void BM_PeerFittedThroughQPainter(benchmark::State& state) {
  const Scene& scene = TheScene();
  QImage frame(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&frame);
    scene.renderer.render(painter, scene.fitted);
    painter.end();
    benchmark::DoNotOptimize(frame.constBits());
  }
}

// Peer: every point of the fitted view as an antialiased QPainter ellipse,
// with nothing culled or shared and no grid or labels.
void BM_PeerFittedEveryMarker(benchmark::State& state) {
  const Scene& scene = TheScene();
  const PixelTransform toPixel = scene.fitted.pixelTransform();
  QImage frame(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    frame.fill(Qt::white);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(QColor(0x1a, 0x7f, 0x37));
    for (const MapPoint& p : scene.renderer.points()) {
      const PixelPoint px = toPixel({p.latitude, p.longitude});
      painter.drawEllipse(QPointF(px.x, px.y), 3.5, 3.5);
    }
    painter.end();
    benchmark::DoNotOptimize(frame.constBits());
  }
}

BENCHMARK(BM_FrameFitted)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameZoomed8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameZoomed64)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FramePanning)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerFittedThroughQPainter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerFittedEveryMarker)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace korvagrid::map

int main(int argc, char** argv) {
  const korvagrid::map::GuiApplicationScope application;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  korvagrid::map::TheScene();  // points generated before any timing
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
