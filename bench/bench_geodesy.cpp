// Cost per point of the geodetic operations the routes of the conversion run
// are made of. Each iteration moves the point a little so that no result can
// be reused.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "geodesy/closed_series_plane.h"
#include "geodesy/constants.h"
#include "geodesy/datum_shift.h"
#include "geodesy/kruger_zone.h"
#include "geodesy/packed_angle.h"
#include "geodesy/series_terms.h"

namespace korvagrid {
namespace {

// 0 .. 1023 metres (or 0 .. 1023 · step), cycling with the iteration.
double Wiggle(std::uint32_t i, double step) { return static_cast<double>(i & 1023u) * step; }

// "63 (C3)" to "63 (P1)": reverse and forward closed series.
void BM_ClosedSeriesPlaneToPlane(benchmark::State& state) {
  const ClosedSeriesPlane c3(11057.63, 250000);
  const ClosedSeriesPlane p1(12900.563, 250000);
  std::uint32_t i = 0;
  for (auto _ : state) {
    const PlanePoint r = ToOtherPlane(c3, p1, 111420 - 116940,
                                      {6200000 - 11057.63 + Wiggle(i, 1.0), 310000 + Wiggle(i, 0.5)});
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_ClosedSeriesPlaneToPlane);

// Zone 6 plane to Krasovsky latitude and longitude: reverse Krüger series.
void BM_KrugerZoneReverse(benchmark::State& state) {
  const KrugerZone zone(6);
  std::uint32_t i = 0;
  for (auto _ : state) {
    const LatitudeLongitude r = zone.Reverse({6200000 + Wiggle(i, 1.0), 600000 + Wiggle(i, 0.5)});
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_KrugerZoneReverse);

// Krasovsky latitude and longitude to zone 7 plane: forward Krüger series.
void BM_KrugerZoneForward(benchmark::State& state) {
  const KrugerZone zone(7);
  const double b = 55.75 / kDegreesPerRadian;
  const double l = 37.6166666667 / kDegreesPerRadian;
  std::uint32_t i = 0;
  for (auto _ : state) {
    const PlanePoint r = zone.Forward({b + Wiggle(i, 1e-9), l + Wiggle(i, 1e-9)});
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_KrugerZoneForward);

// SK-42 to WGS-84 in radians, classic set.
void BM_DatumShift(benchmark::State& state) {
  const DatumShift& shift = DatumShiftOf(DatumShiftKey::Classic);
  std::uint32_t i = 0;
  const double b = 55.75 / kDegreesPerRadian;
  const double l = 37.6166666667 / kDegreesPerRadian;
  for (auto _ : state) {
    const GeodeticPoint r = shift.Forward({b + Wiggle(i, 1e-9), l + Wiggle(i, 1e-9), 150});
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_DatumShift);

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
