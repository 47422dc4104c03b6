#include "ui/form1.h"

#include "ui/fmozi.h"
#include "ui/mysist.h"

namespace korvagrid {
namespace {

const std::vector<std::string> kPlaneLayouts{" X; Y; H", " Name; X;Y;H", " X; Y"};
const std::vector<std::string> kGeographicLayouts{"Lat; Long; H", "Name;Lat;Long;H", "Lat; Long"};

// Source or target systems for which X is never written short or with its
// prefix: "M64", the 47 and 53 families and the own system.
bool HasOnlyStandardPlaneStyle(int index) { return index > kWgs84Index || index == kM64Index; }

}  // namespace

Form1::Form1(Platform& platform) : platform_(platform) {
  Combo1.items = CatalogueTexts(kNewOwnEntryText);
  Combo2.items = Combo1.items;
  Combo3.items = kPlaneLayouts;
  Combo4.items = kPlaneLayouts;
  Combo5.items = kGeographicLayouts;
  Combo6.items = kGeographicLayouts;
  Combo5.visible = false;
  Combo6.visible = false;
  ownSystem = InitialOwnSystem(NumP);
  markInputSaved();
}

void Form1::Form_Load(char localeDecimalSeparator) {
  NumP = ',';
  NotP = '.';
  if (localeDecimalSeparator == '.') {
    NumP = '.';
    NotP = ',';
  }
  // The own system's texts carry the separator of the running system.
  if (MySistState == 0) ownSystem = InitialOwnSystem(NumP);
  selectCombo1(0);
  selectCombo2(0);
  selectCombo3(0);
  selectCombo4(0);
}

void Form1::selectCombo1(int index) {
  Combo1.index = index;
  Combo1_Click();
}

void Form1::selectCombo2(int index) {
  Combo2.index = index;
  Combo2_Click();
}

// The layout lists of a side always hold the same index.
void Form1::selectCombo3(int index) {
  Combo3.index = index;
  Combo5.index = index;
}

void Form1::selectCombo4(int index) {
  Combo4.index = index;
  Combo6.index = index;
}

void Form1::selectCombo5(int index) {
  Combo5.index = index;
  Combo3.index = index;
}

void Form1::selectCombo6(int index) {
  Combo6.index = index;
  Combo4.index = index;
}

void Form1::Combo1_Click() {
  if (MySistState == 1) return;  // the own entry is being relabelled
  const int index = Combo1.index;
  const bool geographic = IsGeographicEntry(index);
  Combo5.visible = geographic;
  Combo3.visible = !geographic;
  mnuOGZ.enabled = !geographic;  // the inverse problem needs plane input

  const bool standardOnly = HasOnlyStandardPlaneStyle(index);
  format.setEnabled(FormatItem::min1, !standardOnly);
  format.setEnabled(FormatItem::max1, !standardOnly);
  if (standardOnly) formatItemClick(FormatItem::Stand);

  ownSystemStep(Combo1);
}

void Form1::Combo2_Click() {
  if (MySistState == 1) return;
  const int index = Combo2.index;
  const bool geographic = IsGeographicEntry(index);
  Combo6.visible = geographic;
  Combo4.visible = !geographic;

  const bool standardOnly = HasOnlyStandardPlaneStyle(index);
  format.setEnabled(FormatItem::MinEnd, !standardOnly);
  format.setEnabled(FormatItem::MaxEnd, !standardOnly);
  if (standardOnly) formatItemClick(FormatItem::StandEnd);

  ownSystemStep(Combo2);
}

void Form1::formatItemClick(FormatItem item) {
  if (!format.enabled(item)) return;
  format.choose(item);
  switch (item) {
    case FormatItem::mnuAshtech:
      selectCombo1(kWgs84Index);
      break;
    case FormatItem::mnuTrimble:
      selectCombo1(kWgs84Index);
      selectCombo5(1);  // "Name;Lat;Long;H"
      break;
    case FormatItem::fOzi:
      platform_.showFmOzi(fmOzi());
      txtCount = "0";  // waypoint files get no extra empty lines
      break;
    default:
      break;
  }
}

FmOziModel& Form1::fmOzi() {
  if (!fmOzi_) {
    fmOzi_ = std::make_unique<FmOziModel>();
    fmOzi_->load();
  }
  return *fmOzi_;
}

OziSettings Form1::oziSettings() const { return fmOzi_ ? fmOzi_->settings() : OziSettings{}; }

RunSettings Form1::runSettings() const {
  RunSettings settings;
  settings.sourceIndex = Combo1.index;
  settings.targetIndex = Combo2.index;
  settings.entryCount = Combo1.count();
  settings.sourceText = Combo1.text();
  settings.inputLayout = Combo3.index;
  settings.outputLayout = Combo4.index;
  settings.geographicInputShown = Combo5.visible;
  settings.txtCount = txtCount;
  settings.format = format;
  settings.numP = NumP;
  settings.notP = NotP;
  settings.own = ownSystem;
  settings.ozi = oziSettings();
  return settings;
}

void Form1::CmdStart_Click() { runConversion(nullptr); }

void Form1::runConversion(PointSink* points) {
  Txt_TrapVisible = false;
  Txt2.clear();
  selectedInputLine = 0;
  const RunSettings settings = runSettings();

  TextLineSource lines(PrepareRunText(Txt1));
  StringSink sink(Txt2);
  lastRun = ConversionRun(lines, sink, settings, platform_, placementRandom, points);
  // A stopped run leaves its line selected, so the user finds what to correct.
  if (lastRun.end != RunEnd::Completed) selectedInputLine = lastRun.lineNumber;
  if (lastRun.end == RunEnd::Failed && !lastRun.alreadyReported) {
    if (lastRun.lineNumber > 0) platform_.showRunPosition(lastRun.lineNumber);
    platform_.warn(FailureMessage(lastRun), kWarningTitle);
  }
}

}  // namespace korvagrid
