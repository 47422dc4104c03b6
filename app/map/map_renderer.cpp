#include "map_renderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStaticText>
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
  int font;  // a Fonts::Role
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

// Laid-out texts kept between frames; past this many they are dropped and
// laid out again as needed.
constexpr qsizetype kMaxCachedTexts = 4096;

// Keeps line ends within a few pixels of the picture, so that no device sees
// coordinates far beyond it.
double ClampToPicture(double position, int size) {
  constexpr double kOverhang = 16;
  return std::clamp(position, -kOverhang, size + kOverhang);
}

}  // namespace

MapRenderer::MapRenderer()
    : positions_(std::in_place, std::span<const MapPoint>()),
      pointSprite_(MarkerShape::Disc, kPointRadius, kPointColour, kPointOutlineColour),
      warningSprite_(MarkerShape::Diamond, kWarningRadius, kWarningColour, kWarningOutlineColour) {}

MapRenderer::~MapRenderer() = default;

void MapRenderer::setPoints(std::vector<MapPoint> points) {
  points_ = std::move(points);
  positions_.emplace(points_);
  nameWidths_.resize(points_.size());
  for (std::size_t i = 0; i < points_.size(); ++i) {
    nameWidths_[i] = points_[i].name.empty() ? 0.0f : std::numeric_limits<float>::quiet_NaN();
  }
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
  // Grid lines are axis-parallel: filled rectangles on whole pixels, centred
  // on the pixel column (or row) that holds the line (an even width reaches
  // one pixel further right or down).
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
                              const std::vector<ScreenPoint>& shown, TextPath texts) const {
  const Fonts fonts;
  LabelThinner thinner(view.width(), view.height());
  std::vector<Label> labels;
  const auto offer = [&](const QRectF& rect, const QString& text, int role, const QColor& colour) {
    if (!thinner.place(ToPixelRect(rect))) return false;
    labels.push_back({rect, text, role, colour});
    return true;
  };
  const PixelTransform toPixel = view.pixelTransform();

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
      // Right of the marker, or left when the right is taken.
      const QString text = QString::fromStdString(p.name);
      const QSizeF box =
          fonts.box(Fonts::Highlighted, fonts.metrics(Fonts::Highlighted).horizontalAdvance(text));
      const double reach = spriteOf(p).radius() + kLabelGap;
      const double top = centre.y() - box.height() / 2;
      if (!offer(QRectF(QPointF(centre.x() + reach, top), box), text, Fonts::Highlighted,
                 kHighlightColour)) {
        offer(QRectF(QPointF(centre.x() - reach - box.width(), top), box), text, Fonts::Highlighted,
              kHighlightColour);
      }
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
  // the place beside its marker is free at all, and its text made only when
  // it is placed.
  const QFontMetricsF& nameMetrics = fonts.metrics(Fonts::Point);
  const double nameHeight = fonts.box(Fonts::Point, 0).height();
  // Cells where a name found no room: the next points there, a few pixels
  // away, would find none either and are not tried.
  LabelThinner refused(view.width(), view.height());
  for (const bool warnings : {true, false}) {
    for (const ScreenPoint& s : shown) {
      if (s.warning != warnings) continue;
      const double x = PixelOf(s.x) + 0.5;
      const double y = PixelOf(s.y) + 0.5;
      const double reach = (s.warning ? kWarningRadius : kPointRadius) + kLabelGap;
      if (!refused.cellFree(x, y)) continue;
      if (!thinner.cellFree(x + reach, y) && !thinner.cellFree(x - reach - 1, y)) {
        refused.occupy({x, y, 1, 1});
        continue;
      }
      const double width = nameWidth(s.index, nameMetrics);
      if (width == 0 || highlighted_ == s.index) continue;  // no name, or placed already
      const QSizeF box = fonts.box(Fonts::Point, width);
      const double top = y - nameHeight / 2;
      const QRectF right(QPointF(x + reach, top), box);
      const QRectF left(QPointF(x - reach - box.width(), top), box);
      // Point names keep a little space between them, so that a crowd of
      // names does not read as one line.
      const auto spaced = [](const QRectF& r) {
        return ToPixelRect(r.adjusted(-kPointNameSpacing, -kPointNameSpacing, kPointNameSpacing,
                                      kPointNameSpacing));
      };
      const QRectF* place = thinner.place(spaced(right))  ? &right
                            : thinner.place(spaced(left)) ? &left
                                                          : nullptr;
      if (place == nullptr) {
        refused.occupy({x, y, 1, 1});
        continue;
      }
      labels.push_back({*place, QString::fromStdString(points_[s.index].name), Fonts::Point,
                        s.warning ? kWarningOutlineColour : kPointNameColour});
    }
  }

  painter.save();
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (const Label& label : labels) painter.fillRect(label.rect, kLabelHaloColour);
  if (texts == TextPath::Cached && staticTexts_.size() > kMaxCachedTexts) staticTexts_.clear();
  for (const Label& label : labels) {
    painter.setFont(fonts.font(label.font));
    painter.setPen(label.colour);
    const QPointF topLeft(label.rect.left() + kLabelPadding, label.rect.top() + kLabelPadding);
    if (texts == TextPath::Plain) {
      painter.drawText(topLeft + QPointF(0, fonts.metrics(label.font).ascent()), label.text);
      continue;
    }
    // Laid out once and kept: the same names come back frame after frame.
    const QString key = QChar(u'0' + label.font) + label.text;
    auto cached = staticTexts_.find(key);
    if (cached == staticTexts_.end()) {
      QStaticText text(label.text);
      text.setTextFormat(Qt::PlainText);
      text.prepare(QTransform(), fonts.font(label.font));
      cached = staticTexts_.insert(key, text);
    }
    painter.drawStaticText(topLeft, *cached);
  }
  painter.restore();
}

void MapRenderer::render(QPainter& painter, const MapView& view) const {
  const MapGrid grid = BuildMapGrid(view, finest_);
  const std::vector<ScreenPoint> shown = CullPoints(*positions_, view, kWarningRadius + 1);
  painter.save();
  painter.setClipRect(QRect(0, 0, view.width(), view.height()));
  drawBase(painter, view, grid);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const ScreenPoint& s : shown) {
    (s.warning ? warningSprite_ : pointSprite_)
        .paint(painter, PixelOf(s.x) + 0.5, PixelOf(s.y) + 0.5);
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
  drawOverlay(painter, view, grid, shown, TextPath::Plain);
  painter.restore();
}

void MapRenderer::renderImage(QImage& image, const MapView& view) const {
  if (image.width() != view.width() || image.height() != view.height() ||
      !MarkerSprite::canStampInto(image)) {
    image = QImage(view.width(), view.height(), QImage::Format_ARGB32_Premultiplied);
  }
  const MapGrid grid = BuildMapGrid(view, finest_);
  const std::vector<ScreenPoint> shown = CullPoints(*positions_, view, kWarningRadius + 1);
  {
    QPainter painter(&image);
    drawBase(painter, view, grid);
  }
  const MarkerSprite::Target target(image);
  for (const ScreenPoint& s : shown) {
    (s.warning ? warningSprite_ : pointSprite_).stamp(target, PixelOf(s.x), PixelOf(s.y));
  }
  QPainter painter(&image);
  drawOverlay(painter, view, grid, shown, TextPath::Cached);
}

}  // namespace korvagrid::map
