#pragma once
// The conversion run: reads a point list line by line, checks each point
// against the source system (asking the user where it does not fit), routes it
// through the geodetic chains to the target system and appends one result
// line per input line. Lines come from a LineSource and results go to a
// ResultSink, so the window converts its text and the command line converts a
// stream of any length in constant memory with the same code.
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/settings.h"
#include "formats/read_str.h"
#include "formats/waypoints.h"
#include "interaction/platform.h"

namespace korvagrid {

class ResultSink {
 public:
  virtual ~ResultSink() = default;
  virtual void append(std::string_view text) = 0;
};

// Appends to a string (the window's result text).
class StringSink final : public ResultSink {
 public:
  explicit StringSink(std::string& text) : text_(text) {}
  void append(std::string_view text) override { text_.append(text); }

 private:
  std::string& text_;
};

// The points of a run as numbers, beside the text: tasks that need the
// converted values (the map sheets) take them from here rather than reading
// the result text back. `first`/`second` are the target's plane X, Y in
// metres or latitude and longitude in packed degrees, as the result line
// writes them; `line` is the input line (the first line of an Ashtech record).
struct RunPoint {
  std::int64_t line = 0;
  std::string name;
  double first = 0;
  double second = 0;
  double height = 0;
};

class PointSink {
 public:
  virtual ~PointSink() = default;
  virtual void add(RunPoint point) = 0;
};

enum class RunEnd {
  Completed,    // the end of the list was reached
  StoppedByNo,  // the user answered No to a question
  Failed,       // a line could not be converted
};

struct RunOutcome {
  RunEnd end = RunEnd::Completed;
  std::int64_t lineNumber = 0;   // input line at which the run stopped (1-based; 0 before any line)
  std::string reason;            // why it stopped: the failure or the question's prompt
  std::string detail;            // for an invalid value: the part of the line and why
  bool alreadyReported = false;  // the user has already seen a message about this stop
  std::int64_t points = 0;       // points converted
  std::int64_t lines = 0;        // input lines taken
  std::int64_t nonBlankLines = 0;  // lines (records) taken that held more than spaces
};

// The text a window shows for a run that stopped at a failure.
std::string FailureMessage(const RunOutcome& outcome);

// Runs the conversion over `lines` and appends the results to `out` (which the
// caller has cleared). Never throws for a bad line: the outcome says where and
// why the run stopped. `random` draws the placements "Произвольно" of
// waypoints; `points`, when given, receives every converted point in the order
// of the text.
RunOutcome ConversionRun(LineSource& lines, ResultSink& out, const ConversionSettings& settings,
                         Interaction& interaction, PlacementRandom& random,
                         PointSink* points = nullptr);

}  // namespace korvagrid
