#include "tasks/map_points.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "common/messages.h"
#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "formats/angles.h"
#include "map/gauss_kruger_zones.h"
#include "tasks/map_sheets.h"

namespace korvagrid {
namespace {

constexpr std::string_view kNoPointReason = "в строке не прочитаны координаты точки";
constexpr std::string_view kDrawnAsReadNote = "точка показана там, куда её поместил бы ответ «Да»";
// Failed lines named one by one in the summary; the rest are counted.
constexpr std::size_t kSummaryLinesNamed = 5;

// The lines of the list, handed to one run after another: a run is ended
// after the line that drew a question, so that the next run, with fresh
// checks, asks about every later point again. Counts the lines of all runs,
// and notes which of them are not blank.
class ResumableLines final : public LineSource {
 public:
  ResumableLines(LineSource& inner, bool noteNonBlank)
      : inner_(inner), noteNonBlank_(noteNonBlank) {}

  bool next(std::string& line) override {
    if (endRun_ || exhausted_) {
      line = "  ";  // what a source gives past its end
      return false;
    }
    if (!inner_.next(line)) {
      exhausted_ = true;
      return false;
    }
    ++taken_;
    if (noteNonBlank_) {
      std::string spaced = line;
      ReplaceTabsBySpaces(spaced);
      if (!IsBlankLine(spaced)) nonBlank_.push_back(taken_);
    }
    return true;
  }

  void beginRun() { endRun_ = false; }
  void endRunAfterThisLine() { endRun_ = true; }
  bool runEndedEarly() const { return endRun_ && !exhausted_; }
  std::int64_t taken() const { return taken_; }
  const std::vector<std::int64_t>& nonBlankLines() const { return nonBlank_; }

 private:
  LineSource& inner_;
  bool noteNonBlank_;
  bool endRun_ = false;
  bool exhausted_ = false;
  std::int64_t taken_ = 0;
  std::vector<std::int64_t> nonBlank_;
};

// The question a run asked, as a point's reason: its prompt without the
// closing "Продолжить вычисления?", lines joined by line feeds.
std::string QuestionReason(std::string_view prompt) {
  if (prompt.ends_with(kWrongSourceQuestionTail)) {
    prompt.remove_suffix(kWrongSourceQuestionTail.size());
  }
  std::string reason;
  for (const char c : prompt) {
    if (c == '\r') continue;
    reason.push_back(c);
  }
  while (!reason.empty() && reason.back() == '\n') reason.pop_back();
  return reason + "\n" + std::string(kDrawnAsReadNote);
}

// Answers every question Yes without showing it, and ends the run after the
// line it was about; keeps nothing of warnings (the run's outcome has them).
class SilentInteraction final : public Interaction {
 public:
  explicit SilentInteraction(ResumableLines& lines) : lines_(lines) {}

  Answer askYesNo(std::string_view prompt, std::string_view) override {
    question = QuestionReason(prompt);
    questionLine = position_;
    lines_.endRunAfterThisLine();
    return Answer::Yes;
  }
  void warn(std::string_view, std::string_view) override {}
  void showRunPosition(std::int64_t inputLine) override { position_ = inputLine; }

  std::string question;
  std::int64_t questionLine = 0;  // of the run; 0 for none

 private:
  ResumableLines& lines_;
  std::int64_t position_ = 0;
};

class DiscardedText final : public ResultSink {
 public:
  void append(std::string_view) override {}
};

// The zone whose boundaries the points of `source` should keep within, for
// the Gauss–Krüger zone rows of the catalogue; the own system's meridian is
// the user's and has no such zone.
std::optional<int> ZoneOfSystem(const CoordinateSystem& source) {
  if (source.kind != SystemKind::GaussKrugerZone || source.userDefined) return std::nullopt;
  if (source.zone < 1 || source.zone > kZoneCount) return std::nullopt;
  return source.zone;
}

class MapPointCollector final : public PointSink {
 public:
  MapPointCollector(std::vector<MapPoint>& points, SilentInteraction& interaction,
                    std::optional<int> zone)
      : points_(points), interaction_(interaction), zone_(zone) {}

  void startRun(std::int64_t lineOffset) { lineOffset_ = lineOffset; }

  void add(RunPoint point) override {
    MapPoint p;
    p.name = std::move(point.name);
    p.latitude = PackedToDegrees(point.first);
    p.longitude = PackedToDegrees(point.second);
    p.line = lineOffset_ + point.line;
    if (interaction_.questionLine != 0 && interaction_.questionLine == point.line) {
      p.status = MapPointStatus::Questioned;
      p.reason = interaction_.question;
    } else if (zone_) {
      if (std::optional<std::string> outside =
              OutsideZoneReason(*zone_, p.longitude, kZoneOverlapDegrees)) {
        p.status = MapPointStatus::OutsideZone;
        p.reason = std::move(*outside);
      }
    }
    points_.push_back(std::move(p));
  }

 private:
  std::vector<MapPoint>& points_;
  SilentInteraction& interaction_;
  std::optional<int> zone_;
  std::int64_t lineOffset_ = 0;
};

MapPoint FailedPoint(std::int64_t line, std::string reason) {
  MapPoint p;
  p.line = line;
  p.status = MapPointStatus::Failed;
  p.reason = std::move(reason);
  return p;
}

std::string FailureReason(const RunOutcome& outcome) {
  return outcome.detail.empty() ? outcome.reason : outcome.reason + ": " + outcome.detail;
}

// Adds a Failed point for every non-blank line that gave no point and did
// not fail, keeping the points in line order.
void MarkLinesWithoutPoint(std::vector<MapPoint>& points,
                           const std::vector<std::int64_t>& nonBlankLines) {
  std::vector<MapPoint> merged;
  merged.reserve(points.size());
  std::size_t next = 0;
  for (const std::int64_t line : nonBlankLines) {
    while (next < points.size() && points[next].line < line)
      merged.push_back(std::move(points[next++]));
    if (next < points.size() && points[next].line == line) continue;
    merged.push_back(FailedPoint(line, std::string(kNoPointReason)));
  }
  while (next < points.size()) merged.push_back(std::move(points[next++]));
  points = std::move(merged);
}

}  // namespace

MapPointList MapPointsOfList(LineSource& lines, const ConversionSettings& settings) {
  const ConversionSettings run = SheetRunSettings(settings);
  // Receiver reports hold lines that are no points (headers, the further
  // lines of a record); every other non-blank line should give one.
  const bool everyLineAPoint = !ReadsReceiverReport(run.inputAngles) || !IsGeographic(run.source);
  ResumableLines resumable(lines, everyLineAPoint);
  SilentInteraction interaction(resumable);
  MapPointList list;
  MapPointCollector collector(list.points, interaction, ZoneOfSystem(run.source));
  DiscardedText text;
  PlacementRandom random;

  for (;;) {
    const std::int64_t before = resumable.taken();
    resumable.beginRun();
    interaction.questionLine = 0;
    collector.startRun(before);
    const RunOutcome outcome = ConversionRun(resumable, text, run, interaction, random, &collector);
    list.nonBlankLines += outcome.nonBlankLines;
    if (outcome.end != RunEnd::Completed) {
      list.points.push_back(FailedPoint(before + outcome.lineNumber, FailureReason(outcome)));
      // A run that took no line failed before reading any (the settings
      // themselves): another would fail alike.
      if (outcome.lines == 0) break;
      continue;
    }
    if (!resumable.runEndedEarly()) break;
  }
  list.lines = resumable.taken();
  if (everyLineAPoint) MarkLinesWithoutPoint(list.points, resumable.nonBlankLines());
  return list;
}

std::string MapPointsSummary(std::span<const MapPoint> points) {
  std::int64_t located = 0;
  std::int64_t outside = 0;
  std::int64_t questioned = 0;
  std::vector<std::int64_t> failed;
  for (const MapPoint& p : points) {
    if (p.located()) ++located;
    switch (p.status) {
      case MapPointStatus::Ok:
        break;
      case MapPointStatus::OutsideZone:
        ++outside;
        break;
      case MapPointStatus::Questioned:
        ++questioned;
        break;
      case MapPointStatus::Failed:
        failed.push_back(p.line);
        break;
    }
  }
  std::string text = "Точек на карте: " + std::to_string(located);
  if (outside > 0) text += "; вне своей зоны: " + std::to_string(outside);
  if (questioned > 0) text += "; под вопросом: " + std::to_string(questioned);
  if (!failed.empty()) {
    text += "; не прочитаны строки: ";
    const std::size_t named = std::min(failed.size(), kSummaryLinesNamed);
    for (std::size_t i = 0; i < named; ++i) {
      if (i > 0) text += ", ";
      text += std::to_string(failed[i]);
    }
    if (failed.size() > named) text += " и ещё " + std::to_string(failed.size() - named);
  }
  return text;
}

}  // namespace korvagrid
