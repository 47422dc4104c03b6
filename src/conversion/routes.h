#pragma once
// The routes of the conversion run: which chain of geodetic computations
// carries a point from the source system to the target system.
//
//   source        target      chain
//   Local or GK   Local or GK closed series: Reverse in the source, Forward in the target
//   Local         BLH(Kras)   closed series Reverse, longitude from Greenwich
//   GK            geographic  zone prefix put back, Krüger Reverse in the zone of the
//                             prefix, on to WGS-84 by the datum shift for a WGS-84 target
//   Local         WGS-84      closed series to Krasovsky, then the datum shift
//   geographic    GK          from WGS-84 by the datum shift where the source is
//                             WGS-84, Krüger Forward in the target's zone
//   BLH(Kras)     WGS-84      the datum shift
//   WGS-84        BLH(Kras)   the datum shift back
//   geographic    Local       as geographic -> GK into the 6° zone of the target meridian,
//                             then the closed series from that zone to the target
//
// Routes that cross the datum (those with "WGS-84" at one end) use the
// pair's parameter set and heights mode: the height is shifted with the
// point (ellipsoidal heights) or kept as it was (normal heights). The other
// routes leave the height alone.
//
// A pair is an identity when both lists select the same entry, or when the
// source meridian is not 0 and equals the target meridian: such a pair only
// moves X between its short and full forms and Y between its prefixed and
// bare forms.
#include <optional>

#include "conversion/catalogue.h"
#include "geodesy/datum_shift.h"
#include "geodesy/packed_angle.h"

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
  std::int16_t targetZone = 0;  // the target's own zone, whatever prefix is written (0: the point's zone)
  bool wgsInvolved = false;
  bool decimalInput = false;  // geographic input in decimal degrees ("gg.ggggggggg")
  DatumShiftKey datumShift = kDefaultDatumShift;  // the SK-42 <-> WGS-84 parameter set
  HeightsMode heights = HeightsMode::Shift;       // heights across the datum
};

Route ChooseRoute(const RoutePair& pair);

// One point: plane X, Y (X in full form, Y without its prefix) or latitude and
// longitude, and the height. The result is plane X', Y' or packed B', L', and H'.
struct RouteInput {
  double x = 0;
  double y = 0;
  double h = 0;
  // Packed latitude and longitude also by their parts, where the reader had
  // them (a common degree-minute-second line): then not split off x and y.
  std::optional<LatitudeLongitudeParts> angleParts;
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
