#pragma once
// The coordinate reference system of a catalogue entry, as an exchange file
// records it: an EPSG code where the system is one, otherwise a PROJ string
// (or WKT) that the caller supplies.
//
//   "WGS-84"             EPSG:4326  WGS 84, latitude/longitude
//   "BLH(Kras)"          EPSG:4284  Pulkovo 1942, latitude/longitude on the Krasovsky ellipsoid
//   "42(zone5..7)"       EPSG:28405..28407  Pulkovo 1942 / Gauss-Kruger zones 5..7
//                        (false easting: zone number × 1 000 000 + 500 000 m)
//   local plane systems  a transverse Mercator definition on the Krasovsky
//                        ellipsoid built from the entry's central meridian,
//                        false easting and false northing (LocalTransverseMercator)
//
// The writers never build a definition themselves: they take a CrsDescription.
#include <optional>
#include <string>
#include <string_view>

#include "conversion/catalogue.h"

namespace korvagrid {

struct CrsDescription {
  std::string displayName;     // the system's list text without its leading spaces: "42(zone6)"
  bool geographic = false;     // latitude/longitude in degrees; otherwise plane X/Y in metres
  std::optional<int> epsg;     // the EPSG code when the system is one
  std::string definition;      // PROJ string or WKT when there is no EPSG code
  std::string firstAxisName;   // column names as the window names the axes: "X" / "Lat"
  std::string secondAxisName;  //                                            "Y" / "Long"
  std::string heightName;      //                                            "H"

  bool isWgs84() const { return epsg == kEpsgWgs84; }

  static constexpr int kEpsgWgs84 = 4326;
  static constexpr int kEpsgPulkovo1942 = 4284;
  static constexpr int kEpsgPulkovo1942GaussKrugerZone0 = 28400;  // + zone number, zones 2..32
};

// The transformation from the Krasovsky datum to WGS-84 put into the PROJ
// strings of the local systems: the seven parameters of the system's own
// datum shift (geodesy/datum_shift.h) in the position-vector convention of
// PROJ's +towgs84: translations in metres, rotations in arc seconds, scale
// in ppm.
inline constexpr std::string_view kKrasovskyToWgs84 = "26.3,-132.6,-76.3,0.22,0.4,0.9,-0.12";

CrsDescription Wgs84Crs();
CrsDescription KrasovskyGeographicCrs(std::string_view displayName);
// A Pulkovo 1942 Gauss–Krüger zone (EPSG:28402..28432).
CrsDescription GaussKrugerZoneCrs(std::string_view displayName, int zone);
// A transverse Mercator plane on the Krasovsky ellipsoid, scale 1 on the
// central meridian, with X = (distance north of the equator) − falseNorth and
// Y = (distance east of the meridian) + falseEast, as the closed series counts them:
//   +proj=tmerc +lat_0=0 +lon_0=<meridian °> +k=1 +x_0=<falseEast> +y_0=<−falseNorth>
//   +ellps=krass +towgs84=<kKrasovskyToWgs84> +units=m +no_defs
CrsDescription LocalTransverseMercatorCrs(std::string_view displayName, double centralMeridianArcSeconds,
                                          double falseEastMetres, double falseNorthMetres);
// A plane system whose definition is given as a PROJ string or WKT.
CrsDescription DefinedPlaneCrs(std::string_view displayName, std::string definition);

// The description of a catalogue entry from its list text and parameters:
// the WGS-84 entry, the other geographic entry, a Gauss–Krüger zone whose
// parameters are those of an EPSG zone (false north 0, false east 500 000,
// central meridian 6 × zone − 3 degrees), else a local transverse Mercator
// definition built from the parameters.
CrsDescription DescribeCatalogueSystem(std::string_view listText, const CoordinateSystem& system);

}  // namespace korvagrid
