#pragma once
// Definitions of Korvagrid's coordinate systems for other tools: a PROJ
// string of the system, PROJ pipelines that carry its written coordinates to
// WGS-84 and back as Korvagrid does, and the EPSG code where the system is
// an EPSG system. Plain text: nothing here needs PROJ (the WKT of the same
// systems is made with libproj in src/projdefs).
//
// The plane systems are transverse Mercator on the Krasovsky ellipsoid,
// scale 1 on the central meridian. Korvagrid computes the local systems with
// the closed Gauss–Krüger series and the SK-42 zones with Krüger's series;
// PROJ's tmerc is exact, so the definitions agree with Korvagrid's
// conversions to the method difference of the series (closed_series_plane.h,
// kruger_zone.h). Measured with cct running the to-WGS-84 pipelines against
// Korvagrid's routes, 200 random points per catalogue system, latitudes 42°
// to 62° (tests/test_geodesy_proj.cpp):
//   local systems, within 250 km of the meridian   9.4 mm
//   SK-42 zones, within 3° of the meridian         0.9 mm
//   Krasovsky and WGS-84 latitude and longitude    0.04 mm
//
// Written coordinates. A system's X is written in full (the northing:
// meridian arc minus the false northing) or short by xOffset metres; its Y
// is the easting from the meridian plus the false easting, written bare or
// with the zone number as its millions (yPrefix). Hence, for PROJ:
//   x_0 = falseEast + yPrefix·1 000 000      y_0 = −(falseNorth + xOffset)
// An EPSG Gauss–Krüger zone expects one of the two written forms of Y:
//   EPSG:28400+n "Pulkovo 1942 / Gauss-Kruger zone n"  false easting n·1 000 000 + 500 000
//                (EPSG:28406 has 6 500 000): Y with its zone prefix;
//   EPSG:2490+n  "Pulkovo 1942 / Gauss-Kruger CM (6n−3)E" false easting 500 000: Y bare;
// both for zones 2 to 32 with X in full. Krasovsky latitude and longitude is
// EPSG:4284 (Pulkovo 1942), WGS-84 EPSG:4326. An EPSG code names the system
// only: the datum shift to WGS-84 is the chosen parameter set, whose own
// EPSG code (EPSG:5044, EPSG:1267) the set carries where it has one.
//
// Axis order. The pipelines take and give coordinates in the order Korvagrid
// writes them and the EPSG systems list their axes: X (northing) before Y
// (easting), latitude before longitude, angles in decimal degrees, then the
// height. The CRS strings have PROJ's own order (easting, northing;
// longitude, latitude).
//
// Datum shift. The pipelines apply the set with PROJ's helmert in the
// coordinate-frame convention, SK-42 → WGS-84 with the set and the way back
// with the negated set, exactly as Korvagrid does. The way back is not the
// exact inverse of the way there: inverting the to-WGS-84 pipeline (cct -I)
// gives points up to 5.9e-9° (0.65 mm) and 0.3 mm in height away from
// Korvagrid's way back (measured with cct, 1 000 points of the region, every
// set). +towgs84 in the CRS strings is in the position-vector
// convention, so its rotations are those of the set with their signs
// flipped. With HeightsMode::Keep the shift is wrapped in push/pop of the
// third coordinate, as PROJ does for a two-dimensional transformation: the
// height goes through unchanged.
#include <optional>
#include <string>

#include "geodesy/datum_shift.h"
#include "geodesy/system_kind.h"

namespace korvagrid {

// A coordinate system as a definition for other tools needs it: the
// parameters the conversion uses and the written form of the coordinates.
struct DefinedSystem {
  SystemKind kind = SystemKind::LocalPlane;
  double centralMeridian = 0;  // arc seconds east of Greenwich (plane systems)
  double falseNorth = 0;       // metres added to the full X before the reverse series
  double falseEast = 0;        // metres subtracted from the bare Y before the reverse series
  double xOffset = 0;          // metres: the written X is the full X minus xOffset
  int yPrefix = 0;             // zone number written as the millions of Y; 0: Y written bare
  bool isWgs84 = false;        // geographic WGS-84 (kind Geographic)
};

struct ProjDefinition {
  std::optional<int> epsg;           // the system's EPSG code, where it is one
  std::optional<int> epsgOperation;  // the datum shift's EPSG code, where it has one
  std::string crs;                   // PROJ string of the CRS (+towgs84 for SK-42 systems)
  std::string toWgs84;               // pipeline: written coordinates and height to WGS-84
  std::string fromWgs84;             // pipeline: WGS-84 to written coordinates and height
};

// The EPSG code of `system` (see above), or none.
std::optional<int> EpsgCodeOf(const DefinedSystem& system);

// The set as PROJ's +towgs84 value (position vector; metres, arc seconds,
// ppm): "26.3,-132.6,-76.3,0.22,0.4,0.9,-0.12" for the classic set.
std::string ProjTowgs84(const DatumShiftSet& set);

// The definitions of `system` with the datum shift `set` and `heights`.
ProjDefinition DefineForProj(const DefinedSystem& system, const DatumShiftSet& set,
                             HeightsMode heights);

}  // namespace korvagrid
