#pragma once
// Writing a map view to a file, and the whole map of a point list drawn
// without any window for the command line.
//
// PNG is the picture as the window shows it. SVG and PDF are drawn through
// Qt's own vector writers: frames and markers are shapes, and every name
// (sheets, zones, graticule values, points) is a text element, so it can be
// searched and copied. The file is written whole or not at all.
#include <QByteArray>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

#include "map/map_file_format.h"
#include "map/map_point.h"
#include "map/map_view.h"

class QGuiApplication;

namespace korvagrid::map {

class MapRenderer;

// How far fitted points stay from the picture's edges, pixels.
inline constexpr double kFitMarginPixels = 40.0;

// The bytes of the file that holds `view` as drawn by `renderer`.
QByteArray EncodeMap(const MapRenderer& renderer, const MapView& view, MapFileFormat format);

// Writes `view` to `path` in the format its extension names. Throws
// KorvagridError with the reason (unknown extension, file not writable).
void ExportMap(const MapRenderer& renderer, const MapView& view, const std::filesystem::path& path);

// The map of `points` fitted into a picture of `width` × `height` pixels,
// with sheet frames down to the sheets of `scaleCode` (200 or 100, the codes
// of the map-sheet task), written to `path` as PNG, SVG or PDF by its
// extension. Creates the Qt application it needs for the drawing when there
// is none (GuiApplicationScope). Without any located point the view stays on
// its default place. Throws KorvagridError with the reason.
void RenderMapFile(std::span<const MapPoint> points, std::int16_t scaleCode, int width, int height,
                   const std::filesystem::path& path);

// Makes sure a QGuiApplication exists while it lives, which fonts and images
// need: when there is no Qt application yet it creates one and destroys it
// at the end of the scope. Without an explicit QT_QPA_PLATFORM it chooses the
// offscreen platform, so that drawing needs no display (nor fails on an
// unreachable one). Throws KorvagridError when a Qt application without a
// GUI already runs.
class GuiApplicationScope {
 public:
  GuiApplicationScope();
  ~GuiApplicationScope();
  GuiApplicationScope(const GuiApplicationScope&) = delete;
  GuiApplicationScope& operator=(const GuiApplicationScope&) = delete;

 private:
  std::unique_ptr<QGuiApplication> owned_;
};

}  // namespace korvagrid::map
