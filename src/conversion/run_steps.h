#pragma once
// The steps of a conversion run, shared by the plain run (run.cpp) and the
// batched run of long lists (batched_run.cpp): taking the input lines and
// their points in order, with the reports rewritten, the written form checked
// and the questions asked; carrying a point to the target and writing it;
// and turning how the run ended into its outcome.
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/result_line.h"
#include "conversion/routes.h"
#include "conversion/run.h"
#include "conversion/source_checks.h"
#include "formats/radstr1.h"

namespace korvagrid::detail {

// What the reading of one input line (one Ashtech record) gave, before the
// checks: reading depends on nothing but the line and the settings, so the
// lines of a batch can be read on several threads.
struct ReadLine {
  bool blank = false;         // nothing but spaces: no point, not counted
  bool invalidValue = false;  // the rewriting found an invalid value (`why`)
  std::string why;
  std::exception_ptr failure;  // why the line cannot be read (after an invalid value: the marker)
  PointRecord record;          // the values read (0 where the line gives none)
};

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
  bool takeRawLine(std::string& line) override {
    const bool got = inner_.takeRawLine(line);
    if (got) ++count;
    return got;
  }
  void finishLine(std::string& line) const override { inner_.finishLine(line); }
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

  // The next input line, or the next record of an Ashtech report (its first
  // line's number in `line`); false at the end of the input. Does not enter
  // the line (see enterLine). With `finishLater` a line is taken as it
  // stands in the input (LineSource::takeRawLine) and readLine finishes it.
  bool takeRecord(std::string& text, std::int64_t& line, bool finishLater = false);
  // Makes `line` the line the run is at (reporting progress).
  void enterLine(std::int64_t line);
  // The next record, entered at once; false at the end of the input.
  bool takeLine(std::string& text);
  // Reads a record taken by takeRecord: the reports rewritten, the written
  // form checked, the values read. Reads only what the preparation fixed and
  // catches what it throws (into `read.failure`), so lines may be read in
  // parallel.
  void readLine(std::string& text, ReadLine& read, bool finish = false) const;
  // Checks the point read from the line entered last, in line order, and
  // fills `job` for it: false for a blank line or one without a point; the
  // invalid value shown, the questions asked; throws where the run must stop.
  bool acceptPoint(ReadLine& read, PointJob& job);
  // readLine and acceptPoint of the line taken last.
  bool takePoint(std::string& text, PointJob& job);
  // Carries a point to the target system and appends its result to `text`.
  // Reads only what the preparation fixed, so points may be written in
  // parallel.
  void writePoint(const PointJob& job, RouteOutput& value, std::string& text) const;
  // Appends a written point (and hands its values to the point sink).
  void appendPoint(const PointJob& job, std::string_view text, const RouteOutput& value);
  // Counts points whose results went to the output together (the batched run).
  void countWrittenPoints(std::int64_t points) { pointsWritten_ += points; }

  ResultSink& out() { return out_; }
  std::int64_t linesTaken() const { return lines_.count; }
  // The input line the run is at (for the outcome of a stop).
  void setCurrentLine(std::int64_t line) { currentLine_ = line; }
  std::int64_t currentLine() const { return currentLine_; }

 private:
  void prepare();
  void readRecord(std::string& text, ReadLine& read) const;
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
  bool nameIn_ = false;    // records start with a name (always for Ashtech records)
  bool ashtech_ = false;   // records of four lines of an Ashtech report
  bool waypoints_ = false;
  std::string middle_;                 // the fixed middle of every waypoint line
  std::int64_t invalidValueLine_ = 0;  // line whose invalid value the user was shown
  std::string invalidValueDetail_;     // which part of it was invalid, and why
  std::int64_t nonBlankLines_ = 0;
  std::int64_t currentLine_ = 0;  // first input line of the point being converted
  std::int64_t pointsWritten_ = 0;
  std::int64_t pointsTaken_ = 0;
  ReadLine read_;  // the plain run's reading of its current line
};

}  // namespace korvagrid::detail
