#pragma once
// The steps of a conversion run, shared by the plain run (run.cpp) and the
// batched run of long lists (batched_run.cpp): taking the input lines and
// their points in order, with the reports rewritten, the written form checked
// and the questions asked; carrying a point to the target and writing it;
// and turning how the run ended into its outcome.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "conversion/result_line.h"
#include "conversion/routes.h"
#include "conversion/run.h"
#include "conversion/source_checks.h"
#include "formats/radstr1.h"

namespace korvagrid::detail {

// A point that passed the reading and the checks, ready to be carried to the
// target system and written. Taking one is sequential (questions, counters,
// the random placement); writing one depends on nothing else, so a batch of
// them can be written on several threads.
struct PointJob {
  RouteInput input;
  std::string name;
  std::int64_t number = 0;  // points taken before this one in the run (n)
  std::int64_t line = 0;    // input line (the first line of an Ashtech record)
  double random = 0;        // draw for the placement "Произвольно"
};

// The lines of the input, counted whoever takes them (the run, or the
// assembly of an Ashtech record, which takes three more).
class CountingLines final : public LineSource {
 public:
  explicit CountingLines(LineSource& inner) : inner_(inner) {}
  bool next(std::string& line) override {
    const bool got = inner_.next(line);
    if (got) ++count;
    return got;
  }
  std::int64_t count = 0;

 private:
  LineSource& inner_;
};

class RunSteps {
 public:
  RunSteps(LineSource& lines, ResultSink& out, const ConversionSettings& settings,
           Interaction& interaction, PlacementRandom& random, PointSink* points);
  RunSteps(const RunSteps&) = delete;
  RunSteps& operator=(const RunSteps&) = delete;

  // Runs `loop` after the preparation and returns how the run ended: what
  // stopped it is caught here, whichever step threw it.
  RunOutcome execute(const std::function<void()>& loop);

  // The next input line; false at the end of the input.
  bool takeLine(std::string& line);
  // Reads the line taken last and checks its point: nothing for a blank line
  // or one without a point; throws where the run must stop.
  std::optional<PointJob> takePoint(std::string& line);
  // Carries a point to the target system and writes its result. Reads only
  // what the preparation fixed, so points may be written in parallel.
  std::string writePoint(const PointJob& job, RouteOutput& value) const;
  // Appends a written point (and hands its values to the point sink).
  void appendPoint(const PointJob& job, const std::string& text, const RouteOutput& value);

  ResultSink& out() { return out_; }
  std::int64_t linesTaken() const { return lines_.count; }
  // The input line the run is at (for the outcome of a stop).
  void setCurrentLine(std::int64_t line) { currentLine_ = line; }
  std::int64_t currentLine() const { return currentLine_; }

 private:
  void prepare();
  void rewriteReport(std::string& line);
  void checkPlainGeographic(std::string_view line) const;
  void reportInvalidValue(std::string why);
  void fail(RunOutcome& outcome, std::string reason) const;

  CountingLines lines_;
  ResultSink& out_;
  const ConversionSettings& s_;
  Interaction& interaction_;
  PlacementRandom& random_;
  PointSink* points_;

  RoutePair pair_;
  Route route_ = Route::Identity;
  double deltaL_ = 0;
  ResultStyle style_;
  std::optional<SourceChecks> checks_;
  bool nameIn_ = false;
  bool waypoints_ = false;
  std::string middle_;                 // the fixed middle of every waypoint line
  std::int64_t invalidValueLine_ = 0;  // line whose invalid value the user was shown
  std::string invalidValueDetail_;     // which part of it was invalid, and why
  std::int64_t nonBlankLines_ = 0;
  std::int64_t currentLine_ = 0;  // first input line of the point being converted
  std::int64_t pointsWritten_ = 0;
  std::int64_t pointsTaken_ = 0;
  PointRecord record_;
};

}  // namespace korvagrid::detail
