#pragma once
// The routes of the conversion run: which chain of geodetic computations
// carries a point from the source system to the target system.
//
//   source        target           chain
//   Local or GK   Local or GK      Module1 (plane to plane)
//   Local         BLH(Kras)        Module1 to Krasovsky latitude/longitude
//   GK            geographic       zone prefix put back, Fo42_WGS
//   Local         WGS-84           Module1 to Krasovsky, then Fo42_WGS with the datum shift
//   geographic    GK               M42WGS into the target's zone
//   BLH(Kras)     WGS-84           Fo42_WGS (datum shift only)
//   WGS-84        BLH(Kras)        M42WGS, stopping after the datum shift
//   geographic    Local            M42WGS into the 6° zone of the target meridian, then Module1
//
// A pair is an identity when both lists select the same entry, or when the
// source meridian is not 0 and equals the target meridian: such a pair only
// moves X between its short and full forms and Y between its prefixed and
// bare forms.
#include "conversion/catalogue.h"

namespace korvagrid {

enum class Route {
  Identity,
  PlaneToPlane,
  LocalToKrasovsky,
  ZoneToGeographic,
  LocalToWgs84,
  GeographicToZone,
  KrasovskyToWgs84,
  Wgs84ToKrasovsky,
  GeographicToLocal,
};

struct RoutePair {
  bool sameEntry = false;       // both lists select the same entry
  CoordinateSystem source;      // as the run holds it (zone 0 for the own system)
  CoordinateSystem target;      // as the run holds it (zone 0 when no prefix is wanted)
  std::int16_t targetZone = 0;  // the target's own zone, whatever prefix is written
  bool wgsInvolved = false;
  bool decimalInput = false;  // geographic input in decimal degrees ("gg.ggggggggg")
};

Route ChooseRoute(const RoutePair& pair);

// One point: plane X, Y (X in full form, Y without its prefix) or latitude and
// longitude, and the height. The result is plane X', Y' or packed B', L', and H'.
struct RouteInput {
  double x = 0;
  double y = 0;
  double h = 0;
};

struct RouteOutput {
  double x = 0;  // plane result, metres (or latitude in packed degrees for a geographic target)
  double y = 0;  // plane result, metres (or longitude in packed degrees)
  double h = 0;  // result height
};

// Carries one point along `route`. `deltaL` is the source meridian minus the
// target meridian in arc seconds. Throws KorvagridError on an arithmetic fault.
RouteOutput CarryPoint(Route route, const RoutePair& pair, double deltaL, const RouteInput& in);

}  // namespace korvagrid
