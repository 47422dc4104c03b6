// Cost per point of the routes of the conversion run (CarryPoint), one
// benchmark per chain of geodetic operations, with the point as the run
// hands it over (packed degrees, Y without its zone prefix). Each iteration
// moves the point a little so that no result can be reused.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "conversion/routes.h"

namespace korvagrid {
namespace {

double Wiggle(std::uint32_t i, double step) { return static_cast<double>(i & 1023u) * step; }

const CoordinateSystem k63C3{"", SystemKind::LocalPlane, 11057.63, 111420, 3, 250000, 0, false};
const CoordinateSystem k63P1{"", SystemKind::LocalPlane, 12900.563, 116940, 1, 250000, 0, false};
const CoordinateSystem kZone6{"", SystemKind::GaussKrugerZone, 0, 118800, 6, 500000, 0, false};
const CoordinateSystem kZone7{"", SystemKind::GaussKrugerZone, 0, 140400, 7, 500000, 0, false};
const CoordinateSystem kKrasovsky{"", SystemKind::Geographic, 0, 0, 0, 500000, 0, false};
const CoordinateSystem kWgs84{"", SystemKind::Geographic, 0, 0, 0, 500000, 0, true};

RoutePair Pair(const CoordinateSystem& source, const CoordinateSystem& target) {
  RoutePair pair;
  pair.source = source;
  pair.target = target;
  pair.targetZone = target.zone;
  pair.wgsInvolved = source.isWgs84 || target.isWgs84;
  return pair;
}

void RunPlane(benchmark::State& state, const RoutePair& pair, double x, double y) {
  const Route route = ChooseRoute(pair);
  const double deltaL = pair.source.centralMeridian - pair.target.centralMeridian;
  std::uint32_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CarryPoint(route, pair, deltaL, {x + Wiggle(i, 1.0), y + Wiggle(i, 0.5), 150}));
    ++i;
  }
}

void RunGeographic(benchmark::State& state, const RoutePair& pair) {
  const Route route = ChooseRoute(pair);
  const double deltaL = pair.source.centralMeridian - pair.target.centralMeridian;
  std::uint32_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        CarryPoint(route, pair, deltaL, {55.45 + Wiggle(i, 1e-6), 37.37 + Wiggle(i, 1e-6), 150}));
    ++i;
  }
}

void BM_RoutePlaneToPlane(benchmark::State& s) { RunPlane(s, Pair(k63C3, k63P1), 6200000 - 11057.63, 310000); }
void BM_RouteLocalToKrasovsky(benchmark::State& s) { RunPlane(s, Pair(k63C3, kKrasovsky), 6200000 - 11057.63, 310000); }
void BM_RouteLocalToWgs84(benchmark::State& s) { RunPlane(s, Pair(k63C3, kWgs84), 6200000 - 11057.63, 310000); }
void BM_RouteZoneToKrasovsky(benchmark::State& s) { RunPlane(s, Pair(kZone6, kKrasovsky), 6200000, 600000); }
void BM_RouteZoneToWgs84(benchmark::State& s) { RunPlane(s, Pair(kZone6, kWgs84), 6200000, 600000); }
void BM_RouteKrasovskyToZone(benchmark::State& s) { RunGeographic(s, Pair(kKrasovsky, kZone7)); }
void BM_RouteWgs84ToZone(benchmark::State& s) { RunGeographic(s, Pair(kWgs84, kZone7)); }
void BM_RouteKrasovskyToWgs84(benchmark::State& s) { RunGeographic(s, Pair(kKrasovsky, kWgs84)); }
void BM_RouteWgs84ToKrasovsky(benchmark::State& s) { RunGeographic(s, Pair(kWgs84, kKrasovsky)); }
void BM_RouteWgs84ToLocal(benchmark::State& s) { RunGeographic(s, Pair(kWgs84, k63P1)); }

BENCHMARK(BM_RoutePlaneToPlane);
BENCHMARK(BM_RouteLocalToKrasovsky);
BENCHMARK(BM_RouteLocalToWgs84);
BENCHMARK(BM_RouteZoneToKrasovsky);
BENCHMARK(BM_RouteZoneToWgs84);
BENCHMARK(BM_RouteKrasovskyToZone);
BENCHMARK(BM_RouteWgs84ToZone);
BENCHMARK(BM_RouteKrasovskyToWgs84);
BENCHMARK(BM_RouteWgs84ToKrasovsky);
BENCHMARK(BM_RouteWgs84ToLocal);

}  // namespace
}  // namespace korvagrid
