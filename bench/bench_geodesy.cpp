// Cost per point of the geodetic chains the conversion run calls once per
// input line. Each iteration moves the point a little so that no result can
// be reused.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "geodesy/constants.h"
#include "geodesy/datum_shift.h"
#include "geodesy/fo42_wgs.h"
#include "geodesy/m42wgs.h"
#include "geodesy/module1.h"
#include "geodesy/packed_angle.h"
#include "geodesy/series_terms.h"

namespace korvagrid {
namespace {

// 0 .. 1023 metres (or 0 .. 1023 · step), cycling with the iteration.
double Wiggle(std::uint32_t i, double step) { return static_cast<double>(i & 1023u) * step; }

// "63 (C3)" to "63 (P1)": inverse and direct Gauss–Krüger series.
void BM_Module1PlaneToPlane(benchmark::State& state) {
  std::uint32_t i = 0;
  for (auto _ : state) {
    const PlanePair r = Module1(6200000 - 11057.63 + Wiggle(i, 1.0), 310000 + Wiggle(i, 0.5),
                                11057.63, 12900.563, 111420 - 116940, 250000, 250000,
                                SystemKind::LocalPlane);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_Module1PlaneToPlane);

// "42(zone6)" plane to WGS-84: inverse Krüger series and the datum shift.
void BM_Fo42_WGSPlaneToWgs84(benchmark::State& state) {
  std::uint32_t i = 0;
  for (auto _ : state) {
    const GeoResult r = Fo42_WGS(6200000 + Wiggle(i, 1.0), 6600000 + Wiggle(i, 0.5), 150, true,
                                 false);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_Fo42_WGSPlaneToWgs84);

// WGS-84 packed degrees to "42(zone7)" plane: datum shift and forward series.
void BM_M42WGSWgs84ToPlane(benchmark::State& state) {
  std::uint32_t i = 0;
  for (auto _ : state) {
    const M42Result r = M42WGS(55.45 + Wiggle(i, 1e-6), 37.37 + Wiggle(i, 1e-6), 150, true, 7,
                               false, false);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_M42WGSWgs84ToPlane);

// SK-42 to WGS-84 in radians.
void BM_DatumShift(benchmark::State& state) {
  std::uint32_t i = 0;
  const double b = 55.75 / kDegreesPerRadian;
  const double l = 37.6166666667 / kDegreesPerRadian;
  for (auto _ : state) {
    const GeodeticPoint r =
        DatumShift({b + Wiggle(i, 1e-9), l + Wiggle(i, 1e-9), 150}, DatumDirection::Sk42ToWgs84);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_DatumShift);

// Krasovsky packed degrees to "42(zone7)" plane: forward series only.
void BM_M42WGSKrasovskyToPlane(benchmark::State& state) {
  std::uint32_t i = 0;
  for (auto _ : state) {
    const M42Result r = M42WGS(55.45 + Wiggle(i, 1e-6), 37.37 + Wiggle(i, 1e-6), 150, false, 7,
                               false, false);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_M42WGSKrasovskyToPlane);

// "42(zone6)" plane to Krasovsky: inverse series only.
void BM_Fo42_WGSPlaneToKrasovsky(benchmark::State& state) {
  std::uint32_t i = 0;
  for (auto _ : state) {
    const GeoResult r = Fo42_WGS(6200000 + Wiggle(i, 1.0), 6600000 + Wiggle(i, 0.5), 150, false,
                                 false);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_Fo42_WGSPlaneToKrasovsky);

// The Krüger terms of orders 2, 4, 6 and 8, one order at a time.
void BM_SeriesTermsOneByOne(benchmark::State& state) {
  std::uint32_t i = 0;
  for (auto _ : state) {
    const double xi = 0.9737 + Wiggle(i, 1e-7);
    const double eta = 0.0157 + Wiggle(i, 1e-7);
    for (int k = 2; k <= 8; k += 2) benchmark::DoNotOptimize(SeriesTerms(xi, eta, k));
    ++i;
  }
}
BENCHMARK(BM_SeriesTermsOneByOne);

// Packed degrees to radians and back.
void BM_PackedToRadAndBack(benchmark::State& state) {
  std::uint32_t i = 0;
  for (auto _ : state) {
    const double r = PackedToRad(55.451234567 + Wiggle(i, 1e-9));
    benchmark::DoNotOptimize(RadToPacked(r));
    ++i;
  }
}
BENCHMARK(BM_PackedToRadAndBack);

}  // namespace
}  // namespace korvagrid
