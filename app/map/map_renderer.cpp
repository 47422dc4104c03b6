#include "map_renderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <cmath>
#include <limits>

#include "map/label_thinning.h"
#include "map_background.h"
#include "map_style.h"

namespace korvagrid::map {
namespace {

// One label to draw: where, what, in which font and colour.
struct Label {
  QRectF rect;
  QString text;
  int font;  // index into the renderer's list of fonts for this drawing
  QColor colour;
};

// The fonts of one drawing with their metrics.
class Fonts {
 public:
  enum Role { Million, Sheet200k, Sheet100k, Zone, Graticule, Point, Highlighted, kCount };

  Fonts() {
    fonts_[Million] = SheetNameFont(SheetLevel::Million);
    fonts_[Sheet200k] = SheetNameFont(SheetLevel::Sheet200k);
    fonts_[Sheet100k] = SheetNameFont(SheetLevel::Sheet100k);
    fonts_[Zone] = ZoneNumberFont();
    fonts_[Graticule] = GraticuleFont();
    fonts_[Point] = PointNameFont();
    fonts_[Highlighted] = HighlightedNameFont();
    for (int i = 0; i < kCount; ++i) metrics_.emplace_back(fonts_[i]);
  }
  const QFont& font(int role) const { return fonts_[role]; }
  const QFontMetricsF& metrics(int role) const { return metrics_[static_cast<std::size_t>(role)]; }
  // The rectangle a text of `width` takes, padding included.
  QSizeF box(int role, double width) const {
    return {width + 2 * kLabelPadding, metrics(role).height() + 2 * kLabelPadding};
  }

 private:
  QFont fonts_[kCount];
  std::vector<QFontMetricsF> metrics_;
};

int SheetRole(SheetLevel level) {
  switch (level) {
    case SheetLevel::Million:
      return Fonts::Million;
    case SheetLevel::Sheet200k:
      return Fonts::Sheet200k;
    case SheetLevel::Sheet100k:
      return Fonts::Sheet100k;
  }
  return Fonts::Sheet100k;
}

PixelRect ToPixelRect(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }

// The pixel that holds a continuous position.
int PixelOf(double position) { return static_cast<int>(std::floor(position)); }

// Keeps line ends within a few pixels of the picture, so that no device sees
// coordinates far beyond it.
double ClampToPicture(double position, int size) {
  constexpr double kOverhang = 16;
  return std::clamp(position, -kOverhang, size + kOverhang);
}

}  // namespace

MapRenderer::MapRenderer()
    : pointSprite_(MarkerShape::Disc, kPointRadius, kPointColour, kPointOutlineColour),
      warningSprite_(MarkerShape::Diamond, kWarningRadius, kWarningColour, kWarningOutlineColour) {}

MapRenderer::~MapRenderer() = default;

void MapRenderer::setPoints(std::vector<MapPoint> points) {
  points_ = std::move(points);
  nameWidths_.assign(points_.size(), std::numeric_limits<float>::quiet_NaN());
  highlighted_.reset();
}

void MapRenderer::setHighlighted(std::optional<std::size_t> index) {
  highlighted_ = index && *index < points_.size() ? index : std::nullopt;
}

void MapRenderer::setBackground(std::shared_ptr<MapBackground> background) {
  background_ = std::move(background);
}

const MarkerSprite& MapRenderer::spriteOf(const MapPoint& point) const {
  return point.warning() ? warningSprite_ : pointSprite_;
}

double MapRenderer::nameWidth(std::size_t index, const QFontMetricsF& metrics) const {
  float& width = nameWidths_[index];
  if (std::isnan(width)) {
    width =
        static_cast<float>(metrics.horizontalAdvance(QString::fromStdString(points_[index].name)));
  }
  return width;
}

void MapRenderer::drawBase(QPainter& painter, const MapView& view, const MapGrid& grid) const {
  painter.fillRect(QRect(0, 0, view.width(), view.height()), kPaperColour);
  if (background_) background_->draw(painter, view);
  // Grid lines are axis-parallel: filled rectangles on whole pixels, the
  // line's own pixel column (or row) first, the rest of its width after it.
  const PixelTransform toPixel = view.pixelTransform();
  for (const GridLine& line : grid.lines) {
    const LineStyle style = GridLineStyle(line.kind);
    const int width = static_cast<int>(style.width);
    const int before = (width - 1) / 2;
    if (line.meridian) {
      const double x = line.at * toPixel.kx + toPixel.x0;
      const double top = ClampToPicture(line.to * toPixel.ky + toPixel.y0, view.height());
      const double bottom = ClampToPicture(line.from * toPixel.ky + toPixel.y0, view.height());
      painter.fillRect(QRectF(PixelOf(x) - before, std::floor(top), width,
                              std::ceil(bottom) - std::floor(top) + 1),
                       style.colour);
    } else {
      const double y = line.at * toPixel.ky + toPixel.y0;
      const double left = ClampToPicture(line.from * toPixel.kx + toPixel.x0, view.width());
      const double right = ClampToPicture(line.to * toPixel.kx + toPixel.x0, view.width());
      painter.fillRect(QRectF(std::floor(left), PixelOf(y) - before,
                              std::ceil(right) - std::floor(left) + 1, width),
                       style.colour);
    }
  }
}

void MapRenderer::drawOverlay(QPainter& painter, const MapView& view, const MapGrid& grid,
                              const std::vector<ScreenPoint>& shown) const {
  const Fonts fonts;
  LabelThinner thinner(view.width(), view.height());
  std::vector<Label> labels;
  const auto offer = [&](const QRectF& rect, const QString& text, int role, const QColor& colour) {
    if (!thinner.place(ToPixelRect(rect))) return false;
    labels.push_back({rect, text, role, colour});
    return true;
  };
  const PixelTransform toPixel = view.pixelTransform();

  // A point's name goes to the right of its marker, or to the left when the
  // right is taken.
  const auto offerPointName = [&](std::size_t index, double x, double y, int role, double width,
                                  const QColor& colour) {
    const QSizeF box = fonts.box(role, width);
    const double reach = spriteOf(points_[index]).radius() + kLabelGap;
    const double top = y - box.height() / 2;
    const QString text = QString::fromStdString(points_[index].name);
    if (offer(QRectF(QPointF(x + reach, top), box), text, role, colour)) return;
    offer(QRectF(QPointF(x - reach - box.width(), top), box), text, role, colour);
  };
  const auto markerCentre = [&](const MapPoint& p) {
    const PixelPoint px = toPixel({p.latitude, p.longitude});
    return QPointF(PixelOf(px.x) + 0.5, PixelOf(px.y) + 0.5);
  };

  // The selected point: a ring, its marker over every other, its name first.
  if (highlighted_ && points_[*highlighted_].located()) {
    const MapPoint& p = points_[*highlighted_];
    const QPointF centre = markerCentre(p);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kHighlightColour, kHighlightWidth));
    painter.drawEllipse(centre, kHighlightRadius, kHighlightRadius);
    spriteOf(p).paint(painter, centre.x(), centre.y());
    painter.restore();
    if (!p.name.empty()) {
      const QString text = QString::fromStdString(p.name);
      offerPointName(*highlighted_, centre.x(), centre.y(), Fonts::Highlighted,
                     fonts.metrics(Fonts::Highlighted).horizontalAdvance(text), kHighlightColour);
    }
  }

  // Zone numbers along the top, in the middle of the part of the zone shown.
  constexpr double kEdgeGap = 3;
  for (const ZoneLabel& zone : grid.zones) {
    const double left = zone.west * toPixel.kx + toPixel.x0;
    const double right = zone.east * toPixel.kx + toPixel.x0;
    const QString text = QStringLiteral("зона %1").arg(zone.zone);
    const QSizeF box = fonts.box(Fonts::Zone, fonts.metrics(Fonts::Zone).horizontalAdvance(text));
    if (box.width() > right - left) continue;
    offer(QRectF(QPointF((left + right - box.width()) / 2, kEdgeGap), box), text, Fonts::Zone,
          kZoneNumberColour);
  }

  // Graticule values: latitudes at the left edge, longitudes at the bottom.
  for (const GraticuleLabel& g : grid.graticuleLabels) {
    const QString text = QString::fromStdString(g.text);
    const QSizeF box =
        fonts.box(Fonts::Graticule, fonts.metrics(Fonts::Graticule).horizontalAdvance(text));
    if (g.meridian) {
      const double x = g.at * toPixel.kx + toPixel.x0;
      offer(QRectF(QPointF(x - box.width() / 2, view.height() - box.height() - kEdgeGap), box),
            text, Fonts::Graticule, kGraticuleTextColour);
    } else {
      const double y = g.at * toPixel.ky + toPixel.y0;
      offer(QRectF(QPointF(kEdgeGap, y - box.height() / 2), box), text, Fonts::Graticule,
            kGraticuleTextColour);
    }
  }

  // Sheet names in the middle of the part of their cell in view, where they
  // fit inside it.
  for (const SheetCell& cell : grid.cells) {
    const double left = std::max(cell.bounds.west * toPixel.kx + toPixel.x0, 0.0);
    const double right =
        std::min(cell.bounds.east * toPixel.kx + toPixel.x0, static_cast<double>(view.width()));
    const double top = std::max(cell.bounds.north * toPixel.ky + toPixel.y0, 0.0);
    const double bottom =
        std::min(cell.bounds.south * toPixel.ky + toPixel.y0, static_cast<double>(view.height()));
    const int role = SheetRole(cell.level);
    const QString text = QString::fromStdString(cell.name);
    const QSizeF box = fonts.box(role, fonts.metrics(role).horizontalAdvance(text));
    constexpr double kInset = 2;  // keeps the name off the frame lines
    if (box.width() + 2 * kInset > right - left || box.height() + 2 * kInset > bottom - top) {
      continue;
    }
    offer(QRectF(QPointF((left + right - box.width()) / 2, (top + bottom - box.height()) / 2), box),
          text, role, SheetNameColour(cell.level));
  }

  // Point names, those with warnings first. A name is measured only when
  // the place beside its marker is free at all.
  const double nameHeight = fonts.box(Fonts::Point, 0).height();
  for (const bool warnings : {true, false}) {
    for (const ScreenPoint& s : shown) {
      const MapPoint& p = points_[s.index];
      if (p.warning() != warnings || p.name.empty() || highlighted_ == s.index) continue;
      const double x = PixelOf(s.x) + 0.5;
      const double y = PixelOf(s.y) + 0.5;
      const double reach = spriteOf(p).radius() + kLabelGap;
      const double top = y - nameHeight / 2;
      if (!thinner.isFree({x + reach, top, 1, nameHeight}) &&
          !thinner.isFree({x - reach - 1, top, 1, nameHeight})) {
        continue;
      }
      offerPointName(s.index, x, y, Fonts::Point, nameWidth(s.index, fonts.metrics(Fonts::Point)),
                     p.warning() ? kWarningOutlineColour : kPointNameColour);
    }
  }

  painter.save();
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (const Label& label : labels) {
    painter.fillRect(label.rect, kLabelHaloColour);
    painter.setFont(fonts.font(label.font));
    painter.setPen(label.colour);
    painter.drawText(QPointF(label.rect.left() + kLabelPadding,
                             label.rect.top() + kLabelPadding + fonts.metrics(label.font).ascent()),
                     label.text);
  }
  painter.restore();
}

void MapRenderer::render(QPainter& painter, const MapView& view) const {
  const MapGrid grid = BuildMapGrid(view, finest_);
  const std::vector<ScreenPoint> shown = CullPoints(points_, view, kWarningRadius + 1);
  painter.save();
  painter.setClipRect(QRect(0, 0, view.width(), view.height()));
  drawBase(painter, view, grid);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const ScreenPoint& s : shown) {
    spriteOf(points_[s.index]).paint(painter, PixelOf(s.x) + 0.5, PixelOf(s.y) + 0.5);
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
  drawOverlay(painter, view, grid, shown);
  painter.restore();
}

void MapRenderer::renderImage(QImage& image, const MapView& view) const {
  if (image.width() != view.width() || image.height() != view.height() ||
      !MarkerSprite::canStampInto(image)) {
    image = QImage(view.width(), view.height(), QImage::Format_ARGB32_Premultiplied);
  }
  const MapGrid grid = BuildMapGrid(view, finest_);
  const std::vector<ScreenPoint> shown = CullPoints(points_, view, kWarningRadius + 1);
  {
    QPainter painter(&image);
    drawBase(painter, view, grid);
  }
  for (const ScreenPoint& s : shown) {
    spriteOf(points_[s.index]).stamp(image, PixelOf(s.x), PixelOf(s.y));
  }
  QPainter painter(&image);
  drawOverlay(painter, view, grid, shown);
}

}  // namespace korvagrid::map
