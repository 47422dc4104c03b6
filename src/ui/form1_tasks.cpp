// The Tasks menu of the main window: the inverse problem and the map sheets.
#include "conversion/catalogue.h"
#include "tasks/inverse_problem.h"
#include "tasks/map_sheets.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

void WarnStopped(Platform& platform, std::int64_t lineNumber, const std::string& reason) {
  RunOutcome stop;
  stop.end = RunEnd::Failed;
  stop.lineNumber = lineNumber;
  stop.reason = reason;
  platform.warn(FailureMessage(stop), kWarningTitle);
}

}  // namespace

void Form1::solveInverseProblem() {
  Txt_TrapVisible = false;
  Txt2.clear();
  resultPoints_.clear();  // the legs are no points to save
  // A line the task cannot read ends it, keeping the legs so far; the user is
  // told where, so that a partial list is never taken for a complete one.
  InverseProblemResult result =
      SolveInverseProblem(Txt1, Combo3.index == 1, Combo4.index == 1, NumP, NotP);
  Txt2 = std::move(result.text);
  selectedInputLine = result.completed ? 0 : result.lineNumber;
  if (!result.completed) {
    if (result.lineNumber > 0) platform_.showRunPosition(result.lineNumber);
    WarnStopped(platform_, result.lineNumber, result.reason);
  }
}

void Form1::sheets200k() { nameMapSheets(kScale200); }

void Form1::sheets100k() { nameMapSheets(kScale100); }

void Form1::nameMapSheets(int scaleCode) {
  const int rememberedTarget = Combo2.index;
  selectCombo2(indexOf(KrasovskyGeographic()));
  // Krasovsky latitude and longitude as packed degrees, no waypoints.
  format.setChecked(FormatItem::mnugms1_, true);
  format.setChecked(FormatItem::mnuGGG, false);
  format.setChecked(FormatItem::mnugms2_, false);
  format.setChecked(FormatItem::fOzi, false);
  // The sheets are named from the run's points, not from its text read back.
  SheetPointCollector collected;
  runConversion(&collected);
  Txt_TrapVisible = true;
  Txt_Trap = BuildSheetList(Txt2, collected.points, static_cast<std::int16_t>(scaleCode),
                            Combo4.index == 1);
  selectCombo2(rememberedTarget);
}

}  // namespace korvagrid
