#pragma once
// The points of an input list as the map shows them: every line converted to
// Krasovsky latitude and longitude exactly as the map-sheet task converts it
// (SheetRunSettings), so that the frame a point is drawn in is the sheet the
// task names for it; and each point marked with what is wrong with it.
//
// The map never stops at a point and asks nothing, so that one look shows the
// whole list, doubtful points included:
//  - a line that cannot be converted (an invalid value, an overflow) is a
//    Failed point with the run's reason and no position; the lines after it
//    are converted as if it were not there;
//  - a non-blank line of a plane or plain geographic list from which no point
//    is read is a Failed point too (receiver reports hold lines that are no
//    points, and are left alone);
//  - a point about which the run would ask (the X-digits and zone questions)
//    is converted as a Yes would convert it and marked Questioned with the
//    question, which is asked afresh for every later point that draws it;
//  - a converted point of a Gauss–Krüger zone system of the catalogue that
//    lies farther than kZoneOverlapDegrees beyond its zone is OutsideZone,
//    with OutsideZoneReason as its reason.
// Nothing is shown to the user and no result text is kept.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "conversion/settings.h"
#include "formats/read_str.h"
#include "map/map_point.h"

namespace korvagrid {

// How far beyond the boundary meridians of its zone a point of a zone system
// still counts as lying in the zone, degrees of longitude: 30'. Points near a
// boundary are customarily given in the neighbouring zone's system as well,
// in overlap strips that reach no farther than 30' beyond the boundary; a
// list read in the wrong zone puts its points about 6° off, far beyond this.
// Points on a boundary meridian itself always belong to the zone.
inline constexpr double kZoneOverlapDegrees = 0.5;

struct MapPointList {
  std::vector<MapPoint> points;  // in the order of their input lines
  std::int64_t lines = 0;        // input lines read (records' lines included)
  std::int64_t nonBlankLines = 0;
};

// The points of the list `lines` yields, read with `settings` (whatever its
// target and output: they are replaced as the sheet task replaces them).
MapPointList MapPointsOfList(LineSource& lines, const ConversionSettings& settings);

// How many points the map shows and what is wrong with the others, in one
// line for the map window's status bar: "12 точек на карте; 1 вне зоны;
// не прочитаны строки 7, 9".
std::string MapPointsSummary(std::span<const MapPoint> points);

}  // namespace korvagrid
