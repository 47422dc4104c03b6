// Whole conversion runs over an in-memory list: nanoseconds per input line
// for the routes a surveyor uses most.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "formats/read_str.h"
#include "ui/platform.h"

namespace korvagrid {
namespace {

class SilentPlatform final : public Platform {
 public:
  Answer askYesNo(std::string_view, std::string_view) override { return Answer::Yes; }
  Answer askYesNoCancel(std::string_view, std::string_view) override { return Answer::Cancel; }
  void warn(std::string_view, std::string_view) override {}
  void beep() override {}
  std::optional<ChosenFile> chooseOpenFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<ChosenFile> chooseSaveFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::int32_t> chooseColour(std::int32_t) override { return std::nullopt; }
  DialogEnd showMySist(MySistModel&) override { return DialogEnd::Ok; }
  DialogEnd showFmOzi(FmOziModel&) override { return DialogEnd::Ok; }
  void showHelp(FrmHelpModel&) override {}
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
// notation gg°mm'ss.ssss).
std::string Wgs84DmsList(int lines) {
  std::string text;
  char line[96];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, "%d\xC2\xB0%02d'%08.5f\" %d\xC2\xB0%02d'%08.5f\" %.3f\r\n", 54 + i % 4,
                  (i * 7) % 60, (i % 5999) * 0.01 + 0.12345, 31 + i % 5, (i * 11) % 60, (i % 5987) * 0.01 + 0.54321,
                  100 + (i % 89) * 1.25);
    text += line;
  }
  return text;
}

void Run(benchmark::State& state, int source, int target) {
  constexpr int kLines = 10000;
  const bool geographicSource = source == kBlhKrasIndex || source == kWgs84Index;
  const std::string list = geographicSource ? Wgs84DmsList(kLines) : ZoneSixList(kLines);
  RunSettings settings;
  settings.sourceIndex = source;
  settings.targetIndex = target;
  settings.sourceText = CatalogueTexts(kNewOwnEntryText)[static_cast<std::size_t>(source)];
  settings.geographicInputShown = geographicSource;
  settings.own = InitialOwnSystem('.');
  SilentPlatform platform;
  PlacementRandom random;
  for (auto _ : state) {
    std::string out;
    TextLineSource lines(PrepareRunText(list));
    StringSink sink(out);
    benchmark::DoNotOptimize(ConversionRun(lines, sink, settings, platform, random));
    benchmark::DoNotOptimize(out.data());
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
