#pragma once
// `Module2`: names of the topographic map sheets (trapezoids) at 1:200 000 and
// 1:100 000 that hold a point, in the international 1:1 000 000 grid: a row
// letter for each 4° band of northern latitude from 40° ("K") to 76° ("S"), a
// column number for each 6° band of longitude (31 for 0°..6° E), then a Roman
// numeral I..XXXVI for the 40' × 1° sheet or a number 1..144 for the
// 20' × 30' sheet, both counted row by row from the north-west corner.
// Examples: 55°45' N 37°37' E lies on N-37-II and N-37-4.
//
// The arithmetic is 16-bit with truncation toward zero, as everywhere in the
// system, on angles in whole units of 1e-6": a point on an edge belongs to the
// sheet north of it (east of it for a meridian edge), for the edges of the
// 4° bands and 6° columns as for every inner sheet edge. The names assume
// northern latitudes and eastern longitudes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/run.h"

namespace korvagrid {

inline constexpr std::int16_t kScale200 = 200;  // 1:200 000
inline constexpr std::int16_t kScale100 = 100;  // 1:100 000

// The sheet that holds latitude B and longitude L (Krasovsky, decimal
// degrees). Never fails: a step that fails is skipped and the name is built
// from what the other steps gave. Outside the rows "K".."S" the prefix
// ("N-37-") is left out; a 1:200 000 sheet outside the 6 × 6 grid of its
// 1:1 000 000 sheet leaves the numeral out. Any scale code other than 200 and
// 100 gives the prefix alone.
std::string MapSheetName(std::int16_t scaleCode, double B, double L);

// The Roman numeral of the 1:200 000 sheet in the 1:1 000 000 sheet whose
// south-west corner is B4, L6 (whole degrees). Throws KorvagridError when the
// sheet's row or column lies outside 1..6, or on a 16-bit overflow.
std::string Sheet200Numeral(double B, double L, std::int16_t B4, std::int16_t L6);

// The number 1..144 of the 1:100 000 sheet, as decimal text. Throws
// KorvagridError on a 16-bit overflow; there is no range check.
std::string Sheet100Number(double B, double L, std::int16_t B4, std::int16_t L6);

// A converted point as the sheet list needs it: its name and its Krasovsky
// latitude and longitude in decimal degrees.
struct SheetPoint {
  std::string name;
  double latitude = 0;
  double longitude = 0;
};

// The text of the trapezoid box: one line for each line of a run's result
// text, in order. A line that holds a result gets the sheet name of the next
// of `points` (the run's points in the order it wrote them), at `scaleCode`,
// after the point's name and "; " when `nameFlag` is set; a blank line stays
// empty; each line ends in CR LF. The sheets come from the points themselves,
// never from reading the result text back, so they do not depend on how the
// results were written.
std::string BuildSheetList(std::string_view resultText, const std::vector<SheetPoint>& points,
                           std::int16_t scaleCode, bool nameFlag);

// The run of the sheet task: the list converted to Krasovsky latitude and
// longitude in packed degrees (as the result box then shows them), whatever
// target and output the settings had.
ConversionSettings SheetRunSettings(ConversionSettings settings);

// Collects the points of such a run for BuildSheetList.
class SheetPointCollector final : public PointSink {
 public:
  void add(RunPoint point) override;
  std::vector<SheetPoint> points;
};

}  // namespace korvagrid
