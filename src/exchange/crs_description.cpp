#include "exchange/crs_description.h"

#include <cmath>

#include "exchange/decimal_text.h"
#include "geodesy/constants.h"

namespace korvagrid {
namespace {


constexpr int kFirstPulkovoZone = 2;
constexpr int kLastPulkovoZone = 32;

std::string WithoutLeadingSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

CrsDescription Plane(std::string_view displayName) {
  CrsDescription crs;
  crs.displayName = WithoutLeadingSpaces(displayName);
  crs.geographic = false;
  crs.firstAxisName = "X";
  crs.secondAxisName = "Y";
  crs.heightName = "H";
  return crs;
}

CrsDescription Geographic(std::string_view displayName, int epsg) {
  CrsDescription crs;
  crs.displayName = WithoutLeadingSpaces(displayName);
  crs.geographic = true;
  crs.epsg = epsg;
  crs.firstAxisName = "Lat";
  crs.secondAxisName = "Long";
  crs.heightName = "H";
  return crs;
}

}  // namespace

CrsDescription Wgs84Crs() { return Geographic("WGS-84", CrsDescription::kEpsgWgs84); }

CrsDescription KrasovskyGeographicCrs(std::string_view displayName) {
  return Geographic(displayName, CrsDescription::kEpsgPulkovo1942);
}

CrsDescription GaussKrugerZoneCrs(std::string_view displayName, int zone) {
  CrsDescription crs = Plane(displayName);
  crs.epsg = CrsDescription::kEpsgPulkovo1942GaussKrugerZone0 + zone;
  return crs;
}

CrsDescription LocalTransverseMercatorCrs(std::string_view displayName, double centralMeridianArcSeconds,
                                          double falseEastMetres, double falseNorthMetres) {
  std::string proj = "+proj=tmerc +lat_0=0 +lon_0=";
  AppendDecimal(proj, centralMeridianArcSeconds / kArcSecondsPerDegree);
  proj += " +k=1 +x_0=";
  AppendDecimal(proj, falseEastMetres);
  proj += " +y_0=";
  AppendDecimal(proj, -falseNorthMetres);
  proj += " +ellps=krass +towgs84=";
  proj += kKrasovskyToWgs84;
  proj += " +units=m +no_defs";
  return DefinedPlaneCrs(displayName, std::move(proj));
}

CrsDescription DefinedPlaneCrs(std::string_view displayName, std::string definition) {
  CrsDescription crs = Plane(displayName);
  crs.definition = std::move(definition);
  return crs;
}

CrsDescription DescribeCatalogueSystem(std::string_view listText, const CoordinateSystem& system) {
  if (system.kind == SystemKind::Geographic) {
    return system.isWgs84 ? Wgs84Crs() : KrasovskyGeographicCrs(listText);
  }
  if (system.kind == SystemKind::GaussKrugerZone && system.zone >= kFirstPulkovoZone &&
      system.zone <= kLastPulkovoZone && system.falseNorth == 0 &&
      system.falseEast == kZoneFalseEastingMetres &&
      system.centralMeridian ==
          (kZoneWidthDegrees * system.zone - kZoneWidthDegrees / 2) * kArcSecondsPerDegree) {
    return GaussKrugerZoneCrs(listText, system.zone);
  }
  return LocalTransverseMercatorCrs(listText, system.centralMeridian, system.falseEast,
                                    system.falseNorth);
}

}  // namespace korvagrid
