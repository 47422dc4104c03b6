// The map of the main window: the points of the input list for the map
// window, the line of a clicked marker, and the map window's file dialogs.

#include "common/messages.h"
#include "documents/document_commands.h"
#include "tasks/map_points.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

constexpr std::string_view kMapExportTitle = "Экспорт карты";
constexpr std::string_view kMapExportDefaultName = "карта";
constexpr std::string_view kMapBackgroundTitle = "Подложка карты";
// Whatever GDAL reads; the usual georeferenced scans and layers first.
constexpr std::string_view kMapBackgroundFilter =
    "Растры и слои (*.tif *.tiff *.gpkg *.shp *.geojson *.kml *.gpx *.vrt *.jp2)|"
    "*.tif *.tiff *.gpkg *.shp *.geojson *.kml *.gpx *.vrt *.jp2|Все файлы (*.*)|*.*";

}  // namespace

void Form1::showMap() {
  std::string refusal;
  const ConversionSettings settings = this->settings(&refusal);
  if (!refusal.empty()) {
    // The own system holds a text that is not a number: as a run, the map
    // cannot start.
    RunOutcome stop;
    stop.end = RunEnd::Failed;
    stop.reason = refusal;
    platform_.warn(FailureMessage(stop), kWarningTitle);
    return;
  }
  TextLineSource lines(PrepareRunText(Txt1));
  MapPointList list = MapPointsOfList(lines, settings);
  mapPoints = std::move(list.points);
  mapSummary = MapPointsSummary(mapPoints);
  ++mapVersion;
}

void Form1::selectMapPoint(std::int64_t line) { selectedInputLine = line; }

std::optional<std::string> Form1::chooseMapExportFile() {
  FileDialogOptions options;
  options.title = kMapExportTitle;
  options.filter = kMapExportFilter;
  options.defaultExt = "*.png";
  options.flags = kOverwritePrompt;
  const std::string stem = ProposeWaypointName(documentName);
  options.proposedName = (stem.empty() ? std::string(kMapExportDefaultName) : stem) + ".png";
  const std::optional<ChosenFile> chosen = platform_.chooseSaveFile(options);
  if (!chosen) return std::nullopt;
  return WithFilterExtension(chosen->path, chosen->filterPattern);
}

std::optional<std::string> Form1::chooseMapBackgroundFile() {
  FileDialogOptions options;
  options.title = kMapBackgroundTitle;
  options.filter = kMapBackgroundFilter;
  options.flags = kFileMustExist;
  const std::optional<ChosenFile> chosen = platform_.chooseOpenFile(options);
  if (!chosen) return std::nullopt;
  return chosen->path;
}

}  // namespace korvagrid
