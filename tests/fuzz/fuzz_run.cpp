// A whole conversion run over any text, with any pair of systems and any
// format settings: it never throws, its result has one line per input line
// (per four-line record for Ashtech reports) up to where it stopped, a
// stopped run names its line, and the batched run of the command line gives
// the same text and outcome.
#include <cstdint>
#include <cstdlib>

#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "ui/format_menu.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvagrid;
  fuzz::Input input(data, size);
  ConversionSettings s;
  s.sourceIndex = input.choice(kCatalogueEntryCount);
  s.targetIndex = input.choice(kCatalogueEntryCount);
  s.sourceText = CatalogueTexts(kNewOwnEntryText)[static_cast<std::size_t>(s.sourceIndex)];
  s.inputLayout = input.choice(3);
  s.outputLayout = input.choice(3);
  s.geographicInputShown = IsGeographicEntry(s.sourceIndex);
  s.txtCount = std::to_string(input.choice(3));
  const auto [numP, notP] = fuzz::Separators(input.flag());
  s.numP = numP;
  s.notP = notP;
  s.own = InitialOwnSystem(numP);
  s.own.cUTM = input.choice(2);
  const FormatItem inputAngles[] = {FormatItem::mnuGGG_0, FormatItem::mnugms1, FormatItem::mnugms2,
                                    FormatItem::mnuAshtech, FormatItem::mnuTrimble};
  const FormatItem outputAngles[] = {FormatItem::mnuGGG, FormatItem::mnugms1_, FormatItem::mnugms2_,
                                     FormatItem::fOzi};
  const FormatItem inputPlane[] = {FormatItem::Stand, FormatItem::max1, FormatItem::min1};
  const FormatItem outputPlane[] = {FormatItem::StandEnd, FormatItem::MaxEnd, FormatItem::MinEnd};
  s.format.choose(inputAngles[input.choice(5)]);
  s.format.choose(outputAngles[input.choice(4)]);
  s.format.choose(inputPlane[input.choice(3)]);
  s.format.choose(outputPlane[input.choice(3)]);
  s.waypoints.placementIndex = static_cast<std::int16_t>(input.choice(8));
  const std::uint8_t answers = input.byte();
  const std::string text = input.rest();

  fuzz::Input answerBits(&answers, 1);
  FuzzPlatform platform(answerBits);
  std::string out;
  StringSink sink(out);
  TextLineSource lines(PrepareRunText(NormalizeLineEnds(text)));
  PlacementRandom random;
  const RunOutcome outcome = ConversionRun(lines, sink, s, platform, random);

  // Bit 1 of the answer byte also runs the batched run of the command line
  // (bits 2 and 3 choose its batch size), which must give the same text and
  // outcome; the bits are free, as a run takes its answers from bit 0.
  if ((answers & 2) != 0) {
    fuzz::Input batchAnswerBits(&answers, 1);
    FuzzPlatform batchPlatform(batchAnswerBits);
    std::string batchOut;
    StringSink batchSink(batchOut);
    TextLineSource batchLines(PrepareRunText(NormalizeLineEnds(text)));
    PlacementRandom batchRandom;
    const std::size_t batchSizes[] = {1, 2, 3, 8192};
    const RunOutcome batched = ConversionRunInBatches(batchLines, batchSink, s, batchPlatform, batchRandom, 2,
                                                      batchSizes[(answers >> 2) & 3]);
    if (batchOut != out || batched.end != outcome.end || batched.lineNumber != outcome.lineNumber ||
        batched.reason != outcome.reason || batched.points != outcome.points) {
      std::abort();
    }
  }

  if (outcome.end != RunEnd::Completed && outcome.lineNumber < 0) std::abort();
  if (outcome.end == RunEnd::Failed && outcome.reason.empty()) std::abort();
  if (outcome.end == RunEnd::Completed && !s.format.checked(FormatItem::mnuAshtech)) {
    // One result line per input line (extra empty lines and a waypoint header added).
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i + 1 < out.size(); ++i) lineEnds += out.compare(i, 2, "\r\n") == 0;
    const std::size_t header = s.format.checked(FormatItem::fOzi) && !s.format.checked(FormatItem::mnuAshtech) &&
                                       IsGeographicEntry(s.targetIndex)
                                   ? 4
                                   : 0;
    const std::size_t perPoint = header == 0 ? static_cast<std::size_t>(std::stoi(s.txtCount)) : 0;
    const auto inputLines = static_cast<std::size_t>(outcome.lines);
    const auto points = static_cast<std::size_t>(outcome.points);
    if (lineEnds != header + inputLines - 1 + points * perPoint) std::abort();
  }
  return 0;
}
