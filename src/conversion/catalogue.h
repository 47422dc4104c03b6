#pragma once
// The catalogue of coordinate systems offered as source and target: one row
// per system, with everything the conversion and the window need to know
// about it. A new system joins the catalogue with one row here: the run, the
// window and the command line read the rows' flags, never their names or
// their places in the list.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "geodesy/system_kind.h"

namespace korvagrid {

struct OwnSystem;

struct CoordinateSystem {
  std::string name;  // as the lists show it, leading spaces included
  SystemKind kind = SystemKind::LocalPlane;
  double falseNorth = 0;       // metres added to X before the inverse series
  double centralMeridian = 0;  // arc seconds east of Greenwich
  std::int16_t zone = 0;       // zone number; its millions are the prefix of a full Y
  double falseEast = 0;        // metres taken from Y before the inverse series
  std::int32_t xOffset = 0;    // X is written short by this much: full X = written X + xOffset
  bool isWgs84 = false;        // the WGS-84 datum (geographic entries only)
  // X of this system is written below 1 000 000 m although it is not written
  // short: the X-digits question then expects a small X ("M64").
  bool xBelowMillion = false;
  // The plane styles "Полный" and "Краткий" (Y with its zone prefix, X
  // without 6 000 000 m) make sense for this system.
  bool offersFullAndShortX = true;
  // The zone question's advice when a point's Y carries this system's zone
  // as its prefix: the systems that use that zone.
  std::string_view zoneAdvice;
  std::optional<int> epsg;   // EPSG code of the coordinate reference system, where it is one
  bool userDefined = false;  // the user's own system (see own_system.h)
};

// The fixed rows, in list order.
std::span<const CoordinateSystem> FixedSystems();

// The row of the user's own system: the last entry of both lists. The
// written-form checks of the run do not apply to it, and as a source it
// neither strips nor restores a Y prefix.
CoordinateSystem OwnSystemEntry(const OwnSystem& own);

// The list text of the own entry until the own-system dialog has been used.
inline constexpr std::string_view kNewOwnEntryText = " New...";

// Whether two rows are the same entry of the lists (the conversion between
// them only moves X and Y between their written forms).
bool SameEntry(const CoordinateSystem& a, const CoordinateSystem& b);

// The geographic rows on each datum.
const CoordinateSystem& Wgs84Geographic();
const CoordinateSystem& KrasovskyGeographic();

// The advice of the zone question for a Y whose prefix is `zone`: that of the
// first fixed row of the zone that gives one; nothing for other prefixes.
std::optional<std::string_view> ZoneAdvice(std::int64_t zone);

// A fixed row named by its list text (case and surrounding spaces ignored)
// or by its place in the list (0 for the first); nothing when none matches.
const CoordinateSystem* FindFixedSystem(std::string_view nameOrIndex);

// A name as names typed on the command line are compared: without the spaces
// at both ends, ASCII letters in lower case.
std::string NormalisedName(std::string_view text);

}  // namespace korvagrid
