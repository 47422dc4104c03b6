#include "conversion/run_steps.h"

#include <new>

#include "common/error.h"
#include "common/messages.h"
#include "formats/dms_line.h"
#include "formats/field_scan.h"
#include "formats/reports.h"
#include "formats/signs.h"

namespace korvagrid::detail {
namespace {

constexpr std::int64_t kProgressEvery = 65536;   // lines between progress reports
constexpr std::int32_t kShortXOffset = 6000000;  // "Краткий": X written without 6 000 000 m

}  // namespace

RunSteps::RunSteps(LineSource& lines, ResultSink& out, const ConversionSettings& settings,
                   Interaction& interaction, PlacementRandom& random, PointSink* points)
    : lines_(lines),
      out_(out),
      s_(settings),
      interaction_(interaction),
      random_(random),
      points_(points) {}

RunOutcome RunSteps::execute(const std::function<void()>& loop) {
  RunOutcome outcome;
  try {
    prepare();
    loop();
    outcome.end = RunEnd::Completed;
  } catch (const AnsweredNo& no) {
    outcome.end = RunEnd::StoppedByNo;
    outcome.reason = no.prompt;
  } catch (const KorvagridError& error) {
    fail(outcome, error.what());
  } catch (const std::bad_alloc&) {
    fail(outcome, "не хватает памяти");
  } catch (const std::exception& error) {
    fail(outcome, error.what());
  }
  outcome.lineNumber = currentLine_;
  outcome.points = pointsWritten_;
  outcome.lines = lines_.count;
  outcome.nonBlankLines = nonBlankLines_;
  return outcome;
}

void RunSteps::fail(RunOutcome& outcome, std::string reason) const {
  outcome.end = RunEnd::Failed;
  if (invalidValueLine_ != 0 && invalidValueLine_ == currentLine_) {
    // The reader already told the user about this line; say it once.
    outcome.reason = std::string(kInvalidValueMessage);
    outcome.detail = invalidValueDetail_;
    outcome.alreadyReported = true;
  } else {
    outcome.reason = std::move(reason);
  }
}

void RunSteps::prepare() {
  ashtech_ = IsGeographic(s_.source) && s_.inputAngles == InputAngles::AshtechReport;
  // The rewritten Ashtech record always starts with the name.
  nameIn_ = s_.inputLayout == RecordLayout::NameXYH || ashtech_;
  pair_.source = s_.source;
  pair_.target = s_.target;
  pair_.sameEntry = SameEntry(s_.source, s_.target);
  pair_.targetZone = pair_.target.zone;
  // The own system as a source neither strips nor restores a Y prefix.
  if (s_.source.userDefined) pair_.source.zone = 0;
  if (s_.inputPlane == PlaneStyle::Short && !IsGeographic(s_.source) && !s_.source.userDefined) {
    pair_.source.xOffset = kShortXOffset;
  }
  pair_.wgsInvolved = pair_.source.isWgs84 || pair_.target.isWgs84;
  pair_.decimalInput = s_.inputAngles == InputAngles::Decimal;
  pair_.datumShift = s_.datumShift;
  pair_.heights = s_.heights;
  if (s_.outputPlane != PlaneStyle::Full && pair_.target.xOffset == 0) pair_.target.zone = 0;
  deltaL_ = pair_.source.centralMeridian - pair_.target.centralMeridian;
  route_ = ChooseRoute(pair_);
  if (!IsGeographic(s_.source) && !s_.source.userDefined)
    checks_.emplace(pair_.source, interaction_);

  style_.nameOut = s_.outputLayout == RecordLayout::NameXYH;
  style_.withHeight = s_.outputLayout != RecordLayout::XY;
  style_.extraLines = s_.extraLines;
  style_.angles = s_.outputAngles;
  style_.shortX = s_.outputPlane == PlaneStyle::Short;
  style_.decimalSeparator = s_.separators.decimal;

  waypoints_ = WritesWaypoints(s_);
  if (waypoints_) {
    out_.append(OziHeader(!pair_.target.isWgs84));
    middle_ = WaypointMiddle(s_.waypoints.backgroundColour);
  }
}

bool RunSteps::takeRecord(std::string& text, std::int64_t& line, bool finishLater) {
  // The lines of an Ashtech record are assembled at once, finished.
  if (!(finishLater && !ashtech_ ? lines_.takeRawLine(text) : lines_.next(text))) return false;
  line = lines_.count;
  if (ashtech_) {
    // A record is the non-blank line and the three after it; a blank line
    // is handed on as an empty text.
    ReplaceTabsBySpaces(text);
    if (IsBlankLine(text)) {
      text.clear();
    } else {
      text = AssembleAshtechRecord(text, lines_);
    }
  }
  return true;
}

void RunSteps::enterLine(std::int64_t line) {
  currentLine_ = line;
  if (currentLine_ % kProgressEvery == 0) interaction_.progress(currentLine_, -1);
}

bool RunSteps::takeLine(std::string& text) {
  std::int64_t line = 0;
  if (!takeRecord(text, line)) return false;
  enterLine(line);
  return true;
}

void RunSteps::readLine(std::string& text, ReadLine& read, bool finish) const {
  read.invalidValue = false;
  read.failure = nullptr;
  if (ashtech_) {
    read.blank = text.empty();
  } else {
    if (finish) lines_.finishLine(text);
    ReplaceTabsBySpaces(text);
    read.blank = IsBlankLine(text);
  }
  if (read.blank) return;
  try {
    readRecord(text, read);
  } catch (...) {
    read.failure = std::current_exception();
  }
}

void RunSteps::readRecord(std::string& text, ReadLine& read) const {
  PointRecord& record = read.record;
  record.first = 0;
  record.second = 0;
  record.third = 0;
  record.angleParts.reset();
  const char decimal = s_.separators.decimal;
  const char other = s_.separators.other;
  const int layout = static_cast<int>(s_.inputLayout);
  if (IsGeographic(s_.source)) {
    switch (s_.inputAngles) {
      case InputAngles::Dms:
      case InputAngles::TrimbleReport: {
        const bool trimble = s_.inputAngles == InputAngles::TrimbleReport;
        // A common line is read without writing its angles as text first.
        if (ReadCommonDmsRecord(text, record, nameIn_, decimal, other, trimble, layout)) return;
        read.invalidValue = !RadStr3(text, nameIn_, decimal, other, trimble, &read.why);
        break;
      }
      case InputAngles::AshtechReport:
        read.invalidValue = !ReadAsh(text, decimal, &read.why);
        break;
      case InputAngles::Decimal:
      case InputAngles::Packed:
        checkPlainGeographic(text);
        break;
    }
  }
  RadStr1(text, record, nameIn_, decimal, other, layout);
}

// Geographic values read as plain numbers: a hemisphere letter between them
// (before the height) would be a separator and change nothing.
void RunSteps::checkPlainGeographic(std::string_view line) const {
  std::size_t from = 0;
  if (nameIn_) {
    from = line.find_first_of(" ;");
    if (from == std::string_view::npos) return;
  }
  // The angles end where the third number starts.
  std::size_t to = from;
  int fields = 0;
  bool inField = false;
  for (; to < line.size(); ++to) {
    const bool number = IsNumberChar(line[to]);
    if (number && !inField && ++fields == 3) break;
    inField = number;
  }
  RequireNorthEast(line.substr(from, to - from));
}

void RunSteps::reportInvalidValue(std::string why) {
  interaction_.showRunPosition(currentLine_);
  interaction_.warn(kInvalidValueMessage, kWarningTitle);
  invalidValueLine_ = currentLine_;
  invalidValueDetail_ = std::move(why);
}

bool RunSteps::acceptPoint(ReadLine& read, PointJob& job) {
  if (read.blank) return false;
  ++nonBlankLines_;
  if (read.invalidValue) reportInvalidValue(std::move(read.why));
  if (read.failure) std::rethrow_exception(read.failure);
  double x = read.record.first;
  double y = read.record.second;
  const double h = read.record.third;
  if (x == 0 && y == 0) return false;

  if (!IsGeographic(s_.source)) {
    const std::int64_t prefix = checks_ ? checks_->check(x, y, currentLine_) : 0;
    x = x + pair_.source.xOffset;
    y = y - static_cast<double>(prefix);
  }
  job.input = {x, y, h, read.record.angleParts};
  job.name.assign(read.record.name);
  job.number = pointsTaken_++;
  job.line = currentLine_;
  job.random = waypoints_ && s_.waypoints.placementIndex == 7 ? random_.next() : 0;
  return true;
}

bool RunSteps::takePoint(std::string& text, PointJob& job) {
  readLine(text, read_);
  return acceptPoint(read_, job);
}

void RunSteps::writePoint(const PointJob& job, RouteOutput& value, std::string& text) const {
  const RouteOutput r = CarryPoint(route_, pair_, deltaL_, job.input);
  value = r;
  if (waypoints_) {
    const int j = PlacementCode(s_.waypoints.placementIndex, job.number, job.random);
    text += WaypointLine(job.number + 1, job.name, r.x, r.y, j, s_.waypoints.fontSizeText, middle_);
  } else if (IsGeographic(pair_.target)) {
    AppendGeographicResult(text, job.name, r.x, r.y, r.h, style_);
  } else {
    AppendPlaneResult(text, job.name, r.x, r.y, r.h, pair_.target, style_);
  }
}

void RunSteps::appendPoint(const PointJob& job, std::string_view text, const RouteOutput& value) {
  out_.append(text);
  if (points_ != nullptr) points_->add({job.line, job.name, value.x, value.y, value.h});
  ++pointsWritten_;
}

}  // namespace korvagrid::detail
