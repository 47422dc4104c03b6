#pragma once
// WKT2:2019 of Korvagrid's coordinate systems, written by libproj (PROJ's C
// API) from the same parameters as the PROJ strings of
// definitions/proj_definition.h.
//
//   WGS-84                      GEOGCRS "WGS 84" (EPSG:4326)
//   Krasovsky lat/long          BOUNDCRS: Pulkovo 1942 (EPSG:4284) with the datum shift to WGS 84
//   an EPSG Gauss–Krüger zone   BOUNDCRS: the EPSG projected CRS (EPSG:28405.., 2495..) with the shift
//   any other plane system      BOUNDCRS: PROJCRS named after the system on Pulkovo 1942, transverse
//                               Mercator with its meridian, scale 1, false easting
//                               falseEast + yPrefix·1 000 000 and false northing −(falseNorth + xOffset),
//                               axes northing (X) then easting (Y), with the shift
//
// The datum shift is the chosen set: for a set of the EPSG dataset the EPSG
// transformation itself (EPSG:5044, EPSG:1267), otherwise a transformation
// built from the set's seven parameters with the EPSG method 9607
// "Coordinate Frame rotation (geog2D domain)". Like any two-dimensional CRS,
// the WKT says nothing of heights.
//
// korvagrid_proj is a library of its own, so that the core stays free of
// libraries; it needs libproj-dev and PROJ's database (proj-data).
#include <string>
#include <string_view>

#include "definitions/proj_definition.h"

namespace korvagrid {

// The WKT2:2019 text of `system` with the datum shift `set`, named `name`
// where the system is not an EPSG system. Throws KorvagridError with PROJ's
// message when PROJ cannot make an object (e.g. without its database).
std::string WktOf(const DefinedSystem& system, const DatumShiftSet& set, std::string_view name);

}  // namespace korvagrid
