// A whole conversion run over any text, with any pair of systems and any
// format settings: it never throws, its result has one line per input line
// (per four-line record for Ashtech reports) up to where it stopped, a
// stopped run names its line, and the batched run of the command line gives
// the same text and outcome.
#include <cstdint>
#include <cstdlib>

#include <sstream>
#include <string>

#include "conversion/batched_run.h"
#include "conversion/catalogue.h"
#include "conversion/own_system.h"
#include "conversion/run.h"
#include "conversion/settings.h"
#include "formats/read_str.h"
#include "fuzz_input.h"
#include "interaction/platform.h"

namespace {

class FuzzPlatform final : public korvagrid::Platform {
 public:
  explicit FuzzPlatform(korvagrid::fuzz::Input& input) : input_(input) {}
  korvagrid::Answer askYesNo(std::string_view, std::string_view) override {
    return input_.flag() ? korvagrid::Answer::Yes : korvagrid::Answer::No;
  }
  korvagrid::Answer askYesNoCancel(std::string_view, std::string_view) override {
    return korvagrid::Answer::Cancel;
  }
  void warn(std::string_view, std::string_view) override {}
  void beep() override {}
  std::optional<korvagrid::ChosenFile> chooseOpenFile(const korvagrid::FileDialogOptions&) override { return {}; }
  std::optional<korvagrid::ChosenFile> chooseSaveFile(const korvagrid::FileDialogOptions&) override { return {}; }
  std::optional<std::int32_t> chooseColour(std::int32_t) override { return {}; }
  korvagrid::DialogEnd showOwnSystemDialog(korvagrid::MySistModel&) override { return korvagrid::DialogEnd::Ok; }
  korvagrid::DialogEnd showWaypointDialog(korvagrid::FmOziModel&) override { return korvagrid::DialogEnd::Ok; }
  void showHelp(korvagrid::FrmHelpModel&) override {}

 private:
  korvagrid::fuzz::Input& input_;
};

// The text and outcome of a run, as the batched run must repeat them.
struct RunResult {
  std::string text;
  korvagrid::RunOutcome outcome;
  bool operator==(const RunResult& o) const {
    return text == o.text && outcome.end == o.outcome.end && outcome.lineNumber == o.outcome.lineNumber &&
           outcome.reason == o.outcome.reason && outcome.points == o.outcome.points;
  }
};

// Runs over `text` (plain when batchLines is 0), read as the window reads it
// or, with `stream`, as the command line reads it.
RunResult Run(const std::string& text, bool stream, const korvagrid::ConversionSettings& s,
              std::uint8_t answers, std::size_t batchLines) {
  using namespace korvagrid;
  fuzz::Input answerBits(&answers, 1);
  FuzzPlatform platform(answerBits);
  RunResult result;
  StringSink sink(result.text);
  PlacementRandom random;
  std::istringstream in(text);
  StreamLineSource streamLines(in);
  TextLineSource textLines(PrepareRunText(NormalizeLineEnds(text)));
  LineSource& lines = stream ? static_cast<LineSource&>(streamLines) : textLines;
  result.outcome = batchLines == 0 ? ConversionRun(lines, sink, s, platform, random)
                                   : ConversionRunInBatches(lines, sink, s, platform, random, 2, batchLines);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvagrid;
  fuzz::Input input(data, size);
  const auto systems = FixedSystems();
  const auto entry = [&](int index, SystemKind ownKind) {
    return index < static_cast<int>(systems.size()) ? systems[static_cast<std::size_t>(index)]
                                                    : OwnSystemEntry(OwnSystem{.kind = ownKind});
  };
  const int count = static_cast<int>(systems.size()) + 1;  // the own system last
  const int sourceIndex = input.choice(count);
  const int targetIndex = input.choice(count);
  ConversionSettings s;
  s.inputLayout = static_cast<RecordLayout>(input.choice(3));
  s.outputLayout = static_cast<RecordLayout>(input.choice(3));
  s.extraLines = input.choice(3);
  s.separators = Separators::WithDecimal(input.flag() ? ',' : '.');
  const SystemKind ownKind = input.flag() ? SystemKind::GaussKrugerZone : SystemKind::LocalPlane;
  s.source = entry(sourceIndex, ownKind);
  s.target = entry(targetIndex, ownKind);
  s.inputAngles = static_cast<InputAngles>(input.choice(5));
  s.outputAngles = static_cast<OutputAngles>(input.choice(4));
  s.inputPlane = static_cast<PlaneStyle>(input.choice(3));
  s.outputPlane = static_cast<PlaneStyle>(input.choice(3));
  s.waypoints.placementIndex = static_cast<std::int16_t>(input.choice(8));
  const std::uint8_t answers = input.byte();
  const std::string text = input.rest();

  const RunResult plain = Run(text, false, s, answers, 0);
  const RunOutcome& outcome = plain.outcome;
  const std::string& out = plain.text;

  // Bit 1 of the answer byte also runs the batched run of the command line
  // (bits 2 and 3 choose its batch size) over the same lines and over the
  // stream's lines, whose finishing it does side by side; each must give the
  // text and outcome of the plain run over the same lines. The bits are free,
  // as a run takes its answers from bit 0.
  if ((answers & 2) != 0) {
    const std::size_t batchSizes[] = {1, 2, 3, 8192};
    const std::size_t batchLines = batchSizes[(answers >> 2) & 3];
    if (!(Run(text, false, s, answers, batchLines) == plain)) std::abort();
    if (!(Run(text, true, s, answers, batchLines) == Run(text, true, s, answers, 0))) std::abort();
  }

  if (outcome.end != RunEnd::Completed && outcome.lineNumber < 0) std::abort();
  if (outcome.end == RunEnd::Failed && outcome.reason.empty()) std::abort();
  const bool ashtech = IsGeographic(s.source) && s.inputAngles == InputAngles::AshtechReport;
  if (outcome.end == RunEnd::Completed && !ashtech) {
    // One result line per input line (extra empty lines and a waypoint header added).
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i + 1 < out.size(); ++i) lineEnds += out.compare(i, 2, "\r\n") == 0;
    const bool waypoints = WritesWaypoints(s);
    const std::size_t header = waypoints ? 4 : 0;
    const std::size_t perPoint = waypoints ? 0 : static_cast<std::size_t>(s.extraLines);
    const auto inputLines = static_cast<std::size_t>(outcome.lines);
    const auto points = static_cast<std::size_t>(outcome.points);
    if (lineEnds != header + inputLines - 1 + points * perPoint) std::abort();
  }
  return 0;
}
