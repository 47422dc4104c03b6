#pragma once
// The inverse geodetic problem on the plane ("Решение ОГЗ"): for each pair of
// consecutive points of a list, the directional angle (grid bearing, clockwise
// from +X, which points north, towards +Y, east) and the horizontal distance.
//
// Points form groups separated by blank lines. A group followed by a blank
// line is closed by a leg from its last point back to its first, so a closed
// traverse yields all its sides, and an empty line follows the group in the
// output. No ellipsoid or projection is involved; coordinates are taken in
// their own linear unit and a height, if present, is read and ignored.
#include <cstdint>
#include <string>
#include <string_view>

namespace korvagrid {

// A named point of a traverse, in the input's own linear unit.
struct TraversePoint {
  double x = 0;
  double y = 0;
  std::string name;
};

struct InverseProblemResult {
  std::string text;  // the result lines, CR LF line ends
  bool completed = true;
  std::int64_t lineNumber = 0;  // input line at which it stopped (1-based), 0 when completed
  std::string reason;           // why it stopped
};

// Directional angle P1 → P2 in degrees, in [0, 360], and distance. The angle
// is arctan(ΔY / ΔX) × 57.2957795131 put into its quadrant; 90° or 270° when
// ΔX = 0, and 0° for coinciding points.
double DirectionalAngle(double dx, double dy);

// One result line: the names "P1-P2" and a TAB with `namesOut`, then the angle
// as degrees, "°", minutes (mask "00"), "'", seconds (mask "0#.0"), a TAB,
// the distance (mask "0##.000") and CR LF, numbers with `decimalSeparator` as decimal
// separator. Seconds that round to 60.0 are carried into the minutes, 60
// minutes into the degrees, and 360° is written as 0°.
std::string LegLine(const TraversePoint& from, const TraversePoint& to, bool namesOut,
                    char decimalSeparator);

// Solves the whole list. Each point line is read with the record reader as
// X, Y, H (with a leading name when `namesIn`); a line that cannot be read
// ends the task, keeping the lines written before it. Never throws.
InverseProblemResult SolveInverseProblem(std::string_view input, bool namesIn, bool namesOut,
                                         char decimalSeparator, char otherSeparator);

}  // namespace korvagrid
