#include "tasks/inverse_problem.h"

#include <cmath>
#include <exception>

#include "common/checked_int16.h"
#include "formats/number_format.h"
#include "formats/radstr1.h"
#include "formats/read_str.h"
#include "geodesy/constants.h"

namespace korvagrid {
namespace {

// A point line: trimmed, two spaces appended, read as [name] X Y [H].
TraversePoint ParsePoint(std::string_view line, bool namesIn, char decimalSeparator,
                      char otherSeparator) {
  const std::string text = TrimmedLine(line);
  PointRecord record;  // X, Y reset to 0 and the name emptied before each point
  RadStr1(text, record, namesIn, decimalSeparator, otherSeparator, 1);
  return TraversePoint{record.first, record.second, record.name};
}

// The work text of the task with its own reading position and 16-bit line counter.
class WorkText {
 public:
  explicit WorkText(std::string_view input) : text_(PrepareRunText(input)) {}

  bool hasLine() const { return position_ < static_cast<std::int64_t>(text_.size()) - 1; }

  std::string next() {
    std::string line;
    ReadStr(text_, line, taken_, position_);
    ++taken_;
    ReplaceTabsBySpaces(line);
    return line;
  }

  std::int64_t taken() const { return taken_; }

 private:
  std::string text_;
  std::int64_t position_ = 0;
  std::int64_t taken_ = 0;  // lines taken; lists of any length are read
};

}  // namespace

double DirectionalAngle(double dx, double dy) {
  if (dx != 0) {
    double alpha = std::atan(dy / dx) * kDegreesPerRadian;
    if (dx < 0) {
      alpha = alpha + 180;
    } else if (dy < 0) {
      alpha = alpha + 360;
    }
    return alpha;
  }
  if (dy > 0) return 90;
  if (dy < 0) return 270;
  return 0;
}

std::string LegLine(const TraversePoint& from, const TraversePoint& to, bool namesOut,
                    char decimalSeparator) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double distance = std::sqrt(dy * dy + dx * dx);
  const double alpha = DirectionalAngle(dx, dy);

  std::int16_t degrees = TruncToInt16(alpha);
  const double minutesReal = (alpha - degrees) * 60;
  std::int16_t minutes = TruncToInt16(minutesReal);
  double seconds = (minutesReal - minutes) * 60;

  // Seconds are written to 0.1"; a value that rounds to 60.0 is a whole
  // minute more (otherwise 89°59'60.0 would be written, which no
  // degree-minute-second reader accepts), and so on up to the degrees.
  if (RoundDecimal(seconds, 1).integerDigits == "60") {
    seconds = 0;
    ++minutes;
  }
  if (minutes >= 60) {
    minutes = static_cast<std::int16_t>(minutes - 60);
    ++degrees;
  }
  if (degrees >= 360) degrees = static_cast<std::int16_t>(degrees - 360);

  std::string line;
  if (namesOut) line.append(from.name).append("-").append(to.name).append("\t");
  line.append(std::to_string(degrees));
  line.append("°");
  line.append(Format(minutes, "00", decimalSeparator));
  line.append("'");
  line.append(Format(seconds, "0#.0", decimalSeparator));
  line.append("\t");
  line.append(Format(distance, "0##.000", decimalSeparator));
  line.append("\r\n");
  return line;
}

InverseProblemResult SolveInverseProblem(std::string_view input, bool namesIn, bool namesOut,
                                         char decimalSeparator, char otherSeparator) {
  InverseProblemResult result;
  WorkText work(input);
  try {
    // Outer loop: looks for the first point of a group.
    while (work.hasLine()) {
      const std::string line = work.next();
      if (IsBlankLine(line)) {
        result.text.append("\r\n");
        continue;
      }
      TraversePoint p1 = ParsePoint(line, namesIn, decimalSeparator, otherSeparator);
      const TraversePoint start = p1;
      // Inner loop: one leg per line; a blank line closes the group.
      for (;;) {
        if (!work.hasLine()) return result;  // a group at the end of the text stays open
        const std::string next = work.next();
        const bool closing = IsBlankLine(next);
        TraversePoint p2 =
            closing ? start : ParsePoint(next, namesIn, decimalSeparator, otherSeparator);
        result.text.append(LegLine(p1, p2, namesOut, decimalSeparator));
        p1 = std::move(p2);
        if (closing) {
          result.text.append("\r\n");
          break;
        }
      }
    }
  } catch (const std::exception& error) {
    // The task ends at its first failure and keeps what it has written.
    result.completed = false;
    result.lineNumber = work.taken();
    result.reason = error.what();
  }
  return result;
}

}  // namespace korvagrid
