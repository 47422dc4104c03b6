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
// system; a point on the southern edge of a band belongs to that band. The
// rules assume northern latitudes and eastern longitudes.
#include <cstdint>
#include <string>
#include <string_view>

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

// The text of the trapezoid box: for each line of a run's result text (points
// in packed degrees, as a run to "BLH(Kras)" with "gg.mmssssss" output writes
// them) the sheet name at `scaleCode`, after the point name and "; " when
// `nameFlag` is set; nothing for an empty line; each line ends in CR LF.
// Stops at the first line that cannot be read and keeps what it has.
struct SheetListResult {
  std::string text;
  bool completed = true;
  std::int64_t lineNumber = 0;  // line of the result text at which it stopped
  std::string reason;
};
SheetListResult BuildSheetList(std::string_view resultText, std::int16_t scaleCode, bool nameFlag,
                               char numP, char notP);

}  // namespace korvagrid
