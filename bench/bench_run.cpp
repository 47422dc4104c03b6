// Whole conversion runs over an in-memory list: nanoseconds per input line
// for the routes a surveyor uses most.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "../tests/support/list_places.h"
#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "formats/read_str.h"
#include "interaction/platform.h"

namespace korvagrid {
namespace {

class SilentPlatform final : public Interaction {
 public:
  Answer askYesNo(std::string_view, std::string_view) override { return Answer::Yes; }
  void warn(std::string_view, std::string_view) override {}
};

std::string ZoneSixList(int lines) {
  std::string text;
  char line[96];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, "%.3f %.3f %.3f\r\n", 6100000 + (i % 997) * 200.125,
                  6400000 + (i % 991) * 201.375, 100 + (i % 89) * 1.25);
    text += line;
  }
  return text;
}

// WGS-84 points over zone 6 as degree-minute-second lines (the default input
// notation gg°mm'ss.ssss); the seconds stay below 59.6, so every line is a
// valid point.
std::string Wgs84DmsList(int lines) {
  std::string text;
  char line[96];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, "%d\xC2\xB0%02d'%08.5f\" %d\xC2\xB0%02d'%08.5f\" %.3f\r\n", 54 + i % 4,
                  (i * 7) % 60, (i % 5897) * 0.01 + 0.12345, 31 + i % 5, (i * 11) % 60, (i % 5903) * 0.01 + 0.54321,
                  100 + (i % 89) * 1.25);
    text += line;
  }
  return text;
}

void Run(benchmark::State& state, int source, int target) {
  constexpr int kLines = 10000;
  const bool geographicSource = source == testing::kBlhKrasIndex || source == testing::kWgs84Index;
  const std::string list = geographicSource ? Wgs84DmsList(kLines) : ZoneSixList(kLines);
  ConversionSettings settings;
  settings.source = FixedSystems()[static_cast<std::size_t>(source)];
  settings.target = FixedSystems()[static_cast<std::size_t>(target)];
  SilentPlatform platform;
  PlacementRandom random;
  for (auto _ : state) {
    std::string out;
    TextLineSource lines(PrepareRunText(list));
    StringSink sink(out);
    const RunOutcome outcome = ConversionRun(lines, sink, settings, platform, random);
    benchmark::DoNotOptimize(out.data());
    // A run that stops early would be timed per line it never converted.
    if (outcome.end != RunEnd::Completed || outcome.points != kLines) {
      state.SkipWithError("the run did not convert every line");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kLines);
  state.counters["ns_per_line"] =
      benchmark::Counter(static_cast<double>(kLines), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void BM_RunZone6ToWgs84Dms(benchmark::State& state) { Run(state, 8, 11); }
void BM_RunZone6ToZone7(benchmark::State& state) { Run(state, 8, 9); }
void BM_RunZone6ToLocal63C3(benchmark::State& state) { Run(state, 8, 1); }
void BM_RunWgs84DmsToZone6(benchmark::State& state) { Run(state, 11, 8); }

BENCHMARK(BM_RunZone6ToWgs84Dms);
BENCHMARK(BM_RunZone6ToZone7);
BENCHMARK(BM_RunZone6ToLocal63C3);
BENCHMARK(BM_RunWgs84DmsToZone6);

}  // namespace
}  // namespace korvagrid
