#include "conversion/settings.h"

namespace korvagrid {

bool IsGeographic(const CoordinateSystem& system) { return system.kind == SystemKind::Geographic; }

bool OffersPlaneStyle(const CoordinateSystem& system, PlaneStyle style) {
  return style == PlaneStyle::Standard || system.offersFullAndShortX;
}

bool ReadsReceiverReport(InputAngles angles) {
  return angles == InputAngles::AshtechReport || angles == InputAngles::TrimbleReport;
}

RecordLayout LayoutForInputAngles(InputAngles angles, RecordLayout current) {
  return angles == InputAngles::TrimbleReport ? RecordLayout::NameXYH : current;
}

bool InverseProblemAvailable(const CoordinateSystem& source) { return !IsGeographic(source); }

bool WritesWaypoints(const ConversionSettings& settings) {
  return IsGeographic(settings.target) && settings.outputAngles == OutputAngles::Waypoints;
}

std::vector<SettingsConflict> ConflictsOf(const ConversionSettings& settings) {
  std::vector<SettingsConflict> conflicts;
  if (ReadsReceiverReport(settings.inputAngles) && !IsGeographic(settings.source)) {
    conflicts.push_back(SettingsConflict::ReportFromPlaneSource);
  }
  if (!OffersPlaneStyle(settings.source, settings.inputPlane)) {
    conflicts.push_back(SettingsConflict::InputPlaneStyleNotOffered);
  }
  if (!OffersPlaneStyle(settings.target, settings.outputPlane)) {
    conflicts.push_back(SettingsConflict::OutputPlaneStyleNotOffered);
  }
  return conflicts;
}

}  // namespace korvagrid
