#pragma once
// The result text of one converted point: a plane record or a geographic
// record in the chosen angle notation, then the height and the extra empty
// lines the user asked for.
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/catalogue.h"
#include "conversion/settings.h"

namespace korvagrid {

struct ResultStyle {
  bool nameOut = false;                     // the named layout: the name and a TAB first
  bool withHeight = true;                   // layouts with H
  std::int32_t extraLines = 0;              // empty lines after each result line
  OutputAngles angles = OutputAngles::Dms;  // how latitude and longitude are written
  bool shortX = false;                      // X written without 6 000 000 m
  char decimalSeparator = '.';
};

// "[name TAB] X TAB Y [TAB H] [CR LF ...]" for a plane target. `target` is the
// run's target (its zone 0 when no prefix is wanted).
std::string PlaneResult(std::string_view name, double x, double y, double h,
                        const CoordinateSystem& target, const ResultStyle& style);
// The same appended to `out`.
void AppendPlaneResult(std::string& out, std::string_view name, double x, double y, double h,
                       const CoordinateSystem& target, const ResultStyle& style);

// "[name TAB] B TAB L [TAB H] [CR LF ...]" for a geographic target; b and l
// are packed degrees, written in the style's angle notation.
std::string GeographicResult(std::string_view name, double b, double l, double h,
                             const ResultStyle& style);
// The same appended to `out`.
void AppendGeographicResult(std::string& out, std::string_view name, double b, double l, double h,
                            const ResultStyle& style);

}  // namespace korvagrid
