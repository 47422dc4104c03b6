#pragma once
// Everything a conversion run depends on, in the run's own terms, and the
// rules that say which choices go together. The window builds the settings
// from its lists and menus, the command line from its options; both apply
// the same rules (what the window enables, disables and forces, the command
// line refuses or defaults).
#include <cstdint>
#include <string>
#include <vector>

#include "conversion/catalogue.h"
#include "geodesy/datum_shift.h"
#include "formats/separators.h"
#include "formats/waypoints.h"

namespace korvagrid {

// How geographic input is written.
enum class InputAngles {
  Decimal,        // decimal degrees, 55.7534
  Packed,         // packed degrees gg.mmss, 55.4512
  Dms,            // degree-minute-second text, 55°45'12.3"
  AshtechReport,  // records of four lines of an Ashtech receiver report
  TrimbleReport,  // lines of a Trimble receiver report
};

// How geographic results are written.
enum class OutputAngles {
  Decimal,    // decimal degrees, mask "00.######0"
  Packed,     // packed degrees, mask "00.0000####0"
  Dms,        // gg°mm'ss.sssss
  Waypoints,  // OziExplorer waypoint lines
};

// How plane X and Y are written.
enum class PlaneStyle {
  Standard,  // as the system writes them
  Full,      // Y with its zone prefix (output)
  Short,     // X without its leading 6 000 000 m
};

// The fields of a record line.
enum class RecordLayout { XYH, NameXYH, XY };

struct ConversionSettings {
  CoordinateSystem source = FixedSystems().front();
  CoordinateSystem target = FixedSystems().front();
  InputAngles inputAngles = InputAngles::Dms;
  OutputAngles outputAngles = OutputAngles::Dms;
  PlaneStyle inputPlane = PlaneStyle::Standard;
  PlaneStyle outputPlane = PlaneStyle::Standard;
  RecordLayout inputLayout = RecordLayout::XYH;
  RecordLayout outputLayout = RecordLayout::XYH;
  Separators separators;
  std::int32_t extraLines = 0;  // empty lines after each result line
  WaypointOptions waypoints;
  DatumShiftKey datumShift = kDefaultDatumShift;  // the SK-42 <-> WGS-84 parameter set
  HeightsMode heights = HeightsMode::Shift;       // heights across the datum: shifted or kept
};

// ---- Which choices go together ---------------------------------------------

bool IsGeographic(const CoordinateSystem& system);

// The plane styles a system can be written in: Full and Short only where the
// row offers them; Standard always.
bool OffersPlaneStyle(const CoordinateSystem& system, PlaneStyle style);

// Receiver reports (Ashtech, Trimble) hold latitude and longitude, on WGS-84:
// choosing them chooses a WGS-84 source, and a Trimble report a named layout.
bool ReadsReceiverReport(InputAngles angles);
RecordLayout LayoutForInputAngles(InputAngles angles, RecordLayout current);

// The inverse geodetic problem works on plane coordinates only.
bool InverseProblemAvailable(const CoordinateSystem& source);

// Waypoint lines are written for a geographic target only.
bool WritesWaypoints(const ConversionSettings& settings);

// A combination of choices the window does not let the user make, in the
// order they are reported.
enum class SettingsConflict {
  ReportFromPlaneSource,       // receiver reports with a plane source
  InputPlaneStyleNotOffered,   // Full or Short input for a system that offers only Standard
  OutputPlaneStyleNotOffered,  // the same for the output
};
std::vector<SettingsConflict> ConflictsOf(const ConversionSettings& settings);

}  // namespace korvagrid
