// Cost per call of the text-format operations on typical input.
#include <benchmark/benchmark.h>

#include <string>

#include "formats/angles.h"
#include "formats/number_format.h"
#include "formats/radstr1.h"
#include "formats/reports.h"

namespace korvagrid {
namespace {

void BM_RadStr1PlaneLine(benchmark::State& state) {
  const std::string line = "P17 6012345.678 6512345.678 152.30  ";
  PointRecord record;
  for (auto _ : state) {
    RadStr1(line, record, true, '.', ',', 1);
    benchmark::DoNotOptimize(record);
  }
}
BENCHMARK(BM_RadStr1PlaneLine);

void BM_FormatPlaneX(benchmark::State& state) {
  double value = 6012345.6789;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    std::string text = Format(value, "0.##0", '.');
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatPlaneX);

void BM_PackedToDms(benchmark::State& state) {
  double value = 55.301234;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    std::string text = PackedToDms(value, '.');
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_PackedToDms);

// Appended to a result line as the result writers do: the height mask and
// the degree-minute-second text.
void BM_FormatToHeight(benchmark::State& state) {
  double value = 152.3047;
  std::string line;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    line.clear();
    FormatTo(line, value, "0.##0 ", '.');
    benchmark::DoNotOptimize(line.data());
  }
}
BENCHMARK(BM_FormatToHeight);

void BM_PackedToDmsTo(benchmark::State& state) {
  double value = 55.301234567;
  std::string line;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    line.clear();
    PackedToDmsTo(line, value, '.');
    benchmark::DoNotOptimize(line.data());
  }
}
BENCHMARK(BM_PackedToDmsTo);

// A degree-minute-second line rewritten by RadStr3 (the shortcut for common
// lines), and the same line read field by field, its peer.
void RadStr3DmsLine(benchmark::State& state, bool fieldByField) {
  const std::string input = "P1 55\xC2\xB0" "45'12.3456\" 37\xC2\xB0" "36'56.789\" 150.2  ";
  std::string line;
  for (auto _ : state) {
    line = input;
    const bool ok = fieldByField ? detail::RadStr3FieldByField(line, true, '.', ',', false)
                                 : RadStr3(line, true, '.', ',', false);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(line.data());
  }
}
void BM_RadStr3DmsLine(benchmark::State& state) { RadStr3DmsLine(state, false); }
void BM_RadStr3FieldByFieldDmsLine(benchmark::State& state) { RadStr3DmsLine(state, true); }
BENCHMARK(BM_RadStr3DmsLine);
BENCHMARK(BM_RadStr3FieldByFieldDmsLine);

}  // namespace
}  // namespace korvagrid
