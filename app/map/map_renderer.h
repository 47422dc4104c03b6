#pragma once
// The picture of a map view, drawn with QPainter only (no widgets), so that
// the window, the exports and the command line draw the same thing.
//
// Layers, from the bottom: paper, the background dataset, the graticule, the
// zone boundaries, the sheet frames (coarser over finer), the point markers
// (warnings over the others, the selected point over all), and the labels.
// Labels are offered in order of importance and dropped where they would
// overlap one already placed: the selected point's name, zone numbers,
// graticule values, sheet names from the coarsest level, names of points with
// warnings, then the other point names.
//
// Grid lines and markers are put on whole pixels: the pixel that holds a
// line's or a point's exact position is always covered, so a point on a sheet
// corner sits on the crossing of the frames in the picture as well.
#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "map/map_grid.h"
#include "map/map_point.h"
#include "map/map_view.h"
#include "map/screen_points.h"
#include "marker_sprite.h"

class QFontMetricsF;
class QPainter;

namespace korvagrid::map {

class MapBackground;

class MapRenderer {
 public:
  MapRenderer();
  ~MapRenderer();
  MapRenderer(const MapRenderer&) = delete;
  MapRenderer& operator=(const MapRenderer&) = delete;

  void setPoints(std::vector<MapPoint> points);
  const std::vector<MapPoint>& points() const { return points_; }

  // The finest sheet frames drawn (default 1:100 000).
  void setFinestSheets(SheetLevel level) { finest_ = level; }
  SheetLevel finestSheets() const { return finest_; }

  // The selected point, as an index into points(); nothing for none.
  void setHighlighted(std::optional<std::size_t> index);
  std::optional<std::size_t> highlighted() const { return highlighted_; }

  void setBackground(std::shared_ptr<MapBackground> background);
  const std::shared_ptr<MapBackground>& background() const { return background_; }

  // Draws the view into any painter whose device is at least the view's
  // size: markers and labels become shapes and text of an SVG or PDF.
  void render(QPainter& painter, const MapView& view) const;
  // Draws the view into `image`, which is made the view's size in 32-bit
  // premultiplied ARGB if it is not; markers are written straight into the
  // pixels, which makes it the fast way for a window or a PNG.
  void renderImage(QImage& image, const MapView& view) const;

  // How far a marker reaches from its point's pixel: the radius within which
  // a click hits it.
  static int markerRadius() { return kHitRadius; }

 private:
  static constexpr int kHitRadius = 6;

  void drawBase(QPainter& painter, const MapView& view, const MapGrid& grid) const;
  // Text through drawText (vector devices get text elements) or through laid
  // out texts kept between frames (images: twice as fast).
  enum class TextPath { Plain, Cached };
  void drawOverlay(QPainter& painter, const MapView& view, const MapGrid& grid,
                   const std::vector<ScreenPoint>& shown, TextPath texts) const;
  const MarkerSprite& spriteOf(const MapPoint& point) const;
  double nameWidth(std::size_t index, const QFontMetricsF& metrics) const;

  std::vector<MapPoint> points_;
  std::optional<PackedPositions> positions_;  // of points_, read on every frame
  SheetLevel finest_ = SheetLevel::Sheet100k;
  std::optional<std::size_t> highlighted_;
  std::shared_ptr<MapBackground> background_;
  MarkerSprite pointSprite_;
  MarkerSprite warningSprite_;
  // Widths of the point names in pixels, measured when first needed (NaN
  // until then; 0 for no name): a crowded view offers many names and places
  // few.
  mutable std::vector<float> nameWidths_;
  // Labels laid out for drawing into images, by font and text.
  mutable QHash<QString, QStaticText> staticTexts_;
};

}  // namespace korvagrid::map
