#include "ui/form1.h"

#include "common/messages.h"
#include "ui/fmozi.h"
#include "ui/mysist.h"

namespace korvagrid {
namespace {

const std::vector<std::string> kPlaneLayouts{" X; Y; H", " Name; X;Y;H", " X; Y"};
const std::vector<std::string> kGeographicLayouts{"Lat; Long; H", "Name;Lat;Long;H", "Lat; Long"};

// The list texts: the fixed rows, then the own entry.
std::vector<std::string> SystemListTexts() {
  std::vector<std::string> texts;
  for (const CoordinateSystem& s : FixedSystems()) texts.push_back(s.name);
  texts.emplace_back(kNewOwnEntryText);
  return texts;
}

// The counter's text as a number of extra empty lines: its leading digits
// (none, or a sign, means 0), at most 32767.
std::int32_t ExtraLinesFromCounter(std::string_view counterText) {
  constexpr std::int32_t kMaxExtraLines = 32767;
  std::int32_t value = 0;
  for (const char c : counterText) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value >= kMaxExtraLines) return kMaxExtraLines;
  }
  return value;
}

// Keeps every point of a run and hands it on to the sink of the task that
// asked for the points, if any.
class KeptPoints final : public PointSink {
 public:
  KeptPoints(std::vector<RunPoint>& kept, PointSink* next) : kept_(kept), next_(next) {}
  void add(RunPoint point) override {
    if (next_ != nullptr) next_->add(point);
    kept_.push_back(std::move(point));
  }

 private:
  std::vector<RunPoint>& kept_;
  PointSink* next_;
};

}  // namespace

Form1::Form1(Platform& platform) : platform_(platform) {
  Combo1.items = SystemListTexts();
  Combo2.items = Combo1.items;
  Combo3.items = kPlaneLayouts;
  Combo4.items = kPlaneLayouts;
  Combo5.items = kGeographicLayouts;
  Combo6.items = kGeographicLayouts;
  Combo5.visible = false;
  Combo6.visible = false;
  ownSystem = InitialMySistFields(NumP);
  markInputSaved();
}

void Form1::load(char localeDecimalSeparator) {
  NumP = ',';
  NotP = '.';
  if (localeDecimalSeparator == '.') {
    NumP = '.';
    NotP = ',';
  }
  // The own system's texts carry the separator of the running system.
  if (MySistState == 0) ownSystem = InitialMySistFields(NumP);
  selectCombo1(0);
  selectCombo2(0);
  selectCombo3(0);
  selectCombo4(0);
}

void Form1::selectCombo1(int index) {
  Combo1.index = index;
  sourceChanged();
}

void Form1::selectCombo2(int index) {
  Combo2.index = index;
  targetChanged();
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

int Form1::ownIndex() const { return Combo1.count() - 1; }

const CoordinateSystem& Form1::rowAt(int index) const {
  static const CoordinateSystem ownRow = OwnSystemEntry(OwnSystem{});
  const auto rows = FixedSystems();
  if (index >= 0 && index < static_cast<int>(rows.size()))
    return rows[static_cast<std::size_t>(index)];
  return ownRow;  // the own entry: what the rules read of it does not depend on its values
}

int Form1::indexOf(const CoordinateSystem& row) const {
  return static_cast<int>(&row - FixedSystems().data());
}

void Form1::sourceChanged() {
  if (MySistState == 1) return;  // the own entry is being relabelled
  const CoordinateSystem& source = rowAt(Combo1.index);
  const bool geographic = IsGeographic(source);
  Combo5.visible = geographic;
  Combo3.visible = !geographic;
  mnuOGZ.enabled = InverseProblemAvailable(source);

  const bool fullAndShort = OffersPlaneStyle(source, PlaneStyle::Full);
  format.setEnabled(FormatItem::min1, fullAndShort);
  format.setEnabled(FormatItem::max1, fullAndShort);
  if (!fullAndShort) formatItemClick(FormatItem::Stand);

  ownSystemStep(Combo1);
}

void Form1::targetChanged() {
  if (MySistState == 1) return;
  const CoordinateSystem& target = rowAt(Combo2.index);
  const bool geographic = IsGeographic(target);
  Combo6.visible = geographic;
  Combo4.visible = !geographic;

  const bool fullAndShort = OffersPlaneStyle(target, PlaneStyle::Full);
  format.setEnabled(FormatItem::MinEnd, fullAndShort);
  format.setEnabled(FormatItem::MaxEnd, fullAndShort);
  if (!fullAndShort) formatItemClick(FormatItem::StandEnd);

  ownSystemStep(Combo2);
}

void Form1::formatItemClick(FormatItem item) {
  if (!format.enabled(item)) return;
  format.choose(item);
  switch (item) {
    case FormatItem::mnuAshtech:
    case FormatItem::mnuTrimble: {
      // Receiver reports hold WGS-84 latitude and longitude; a Trimble report
      // also names its points.
      selectCombo1(indexOf(Wgs84Geographic()));
      const InputAngles angles = InputAnglesOf(format);
      const auto layout = static_cast<RecordLayout>(Combo5.index);
      if (LayoutForInputAngles(angles, layout) != layout) {
        selectCombo5(static_cast<int>(LayoutForInputAngles(angles, layout)));
      }
      break;
    }
    case FormatItem::fOzi:
      platform_.showWaypointDialog(fmOzi());
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

WaypointOptions Form1::oziSettings() const {
  return fmOzi_ ? fmOzi_->settings() : WaypointOptions{};
}

ConversionSettings Form1::settings(std::string* refusal) const {
  ConversionSettings s;
  const auto systemAt = [&](int index) {
    if (index != ownIndex()) return rowAt(index);
    const OwnSystemReading own = OwnSystemOf(ownSystem, NumP);
    if (!own.system) {
      if (refusal != nullptr) *refusal = own.refusal;
      return OwnSystemEntry(OwnSystem{});
    }
    return OwnSystemEntry(*own.system);
  };
  s.source = systemAt(Combo1.index);
  s.target = systemAt(Combo2.index);
  s.inputAngles = InputAnglesOf(format);
  s.outputAngles = OutputAnglesOf(format);
  s.inputPlane = InputPlaneStyleOf(format);
  s.outputPlane = OutputPlaneStyleOf(format);
  s.inputLayout = static_cast<RecordLayout>(Combo3.index);
  s.outputLayout = static_cast<RecordLayout>(Combo4.index);
  s.separators = {NumP, NotP};
  s.extraLines = ExtraLinesFromCounter(txtCount);
  s.waypoints = oziSettings();
  s.datumShift = datumShift;
  s.heights = heights;
  return s;
}

void Form1::convert() { runConversion(nullptr); }

void Form1::runConversion(PointSink* points) {
  Txt_TrapVisible = false;
  Txt2.clear();
  resultPoints_.clear();
  selectedInputLine = 0;
  std::string refusal;
  const ConversionSettings settings = this->settings(&refusal);
  if (!refusal.empty()) {
    // The own system holds a text that is not a number: the run cannot start.
    lastRun = RunOutcome{};
    lastRun.end = RunEnd::Failed;
    lastRun.reason = refusal;
  } else {
    TextLineSource lines(PrepareRunText(Txt1));
    StringSink sink(Txt2);
    resultTarget_ = settings.target;
    KeptPoints kept(resultPoints_, points);
    lastRun = ConversionRun(lines, sink, settings, platform_, placementRandom,
                            pointFiles_ != nullptr ? &kept : points);
  }
  // A stopped run leaves its line selected, so the user finds what to correct.
  if (lastRun.end != RunEnd::Completed) selectedInputLine = lastRun.lineNumber;
  if (lastRun.end == RunEnd::Failed && !lastRun.alreadyReported) {
    if (lastRun.lineNumber > 0) platform_.showRunPosition(lastRun.lineNumber);
    platform_.warn(FailureMessage(lastRun), kWarningTitle);
  }
}

}  // namespace korvagrid
