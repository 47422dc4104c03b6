#include "conversion/run_steps.h"

#include <new>

#include "common/error.h"
#include "common/messages.h"
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
  nameIn_ = s_.inputLayout == RecordLayout::NameXYH;
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

bool RunSteps::takeLine(std::string& line) {
  if (!lines_.next(line)) return false;
  currentLine_ = lines_.count;
  if (currentLine_ % kProgressEvery == 0) interaction_.progress(currentLine_, -1);
  return true;
}

void RunSteps::rewriteReport(std::string& line) {
  std::string why;
  switch (s_.inputAngles) {
    case InputAngles::Dms:
    case InputAngles::TrimbleReport:
      if (!RadStr3(line, nameIn_, s_.separators.decimal, s_.separators.other,
                   s_.inputAngles == InputAngles::TrimbleReport, &why)) {
        reportInvalidValue(why);
      }
      break;
    case InputAngles::AshtechReport:
      line = AssembleAshtechRecord(line, lines_);
      if (!ReadAsh(line, s_.separators.decimal, &why)) reportInvalidValue(why);
      nameIn_ = true;
      break;
    case InputAngles::Decimal:
    case InputAngles::Packed:
      checkPlainGeographic(line);
      break;
  }
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

std::optional<PointJob> RunSteps::takePoint(std::string& line) {
  ReplaceTabsBySpaces(line);
  if (IsBlankLine(line)) return std::nullopt;
  ++nonBlankLines_;
  if (IsGeographic(s_.source)) rewriteReport(line);
  record_.first = 0;
  record_.second = 0;
  record_.third = 0;
  RadStr1(line, record_, nameIn_, s_.separators.decimal, s_.separators.other,
          static_cast<int>(s_.inputLayout));
  double x = record_.first;
  double y = record_.second;
  const double h = record_.third;
  if (x == 0 && y == 0) return std::nullopt;

  if (!IsGeographic(s_.source)) {
    const std::int64_t prefix = checks_ ? checks_->check(x, y, currentLine_) : 0;
    x = x + pair_.source.xOffset;
    y = y - static_cast<double>(prefix);
  }
  PointJob job;
  job.input = {x, y, h};
  job.name = record_.name;
  job.number = pointsTaken_++;
  job.line = currentLine_;
  if (waypoints_ && s_.waypoints.placementIndex == 7) job.random = random_.next();
  return job;
}

std::string RunSteps::writePoint(const PointJob& job, RouteOutput& value) const {
  const RouteOutput r = CarryPoint(route_, pair_, deltaL_, job.input);
  value = r;
  if (waypoints_) {
    const int j = PlacementCode(s_.waypoints.placementIndex, job.number, job.random);
    return WaypointLine(job.number + 1, job.name, r.x, r.y, j, s_.waypoints.fontSizeText, middle_);
  }
  if (IsGeographic(pair_.target)) return GeographicResult(job.name, r.x, r.y, r.h, style_);
  return PlaneResult(job.name, r.x, r.y, r.h, pair_.target, style_);
}

void RunSteps::appendPoint(const PointJob& job, const std::string& text, const RouteOutput& value) {
  out_.append(text);
  if (points_ != nullptr) points_->add({job.line, job.name, value.x, value.y, value.h});
  ++pointsWritten_;
}

}  // namespace korvagrid::detail
