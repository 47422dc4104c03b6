#include "marker_sprite.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>

namespace korvagrid::map {
namespace {

// Each 8-bit channel of a premultiplied ARGB pixel multiplied by alpha/255,
// two channels at a time, rounded.
quint32 ScaleChannels(quint32 pixel, quint32 alpha) {
  quint32 redBlue = (pixel & 0x00ff00ffu) * alpha;
  redBlue = ((redBlue + ((redBlue >> 8) & 0x00ff00ffu) + 0x00800080u) >> 8) & 0x00ff00ffu;
  quint32 alphaGreen = ((pixel >> 8) & 0x00ff00ffu) * alpha;
  alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0x00ff00ffu) + 0x00800080u) & 0xff00ff00u;
  return redBlue | alphaGreen;
}

constexpr double kOutlineWidth = 1.0;

}  // namespace

MarkerSprite::MarkerSprite(MarkerShape shape, int radius, const QColor& fill, const QColor& outline)
    : shape_(shape), radius_(radius), fill_(fill), outline_(outline) {
  const int size = 2 * radius_ + 1;
  image_ = QImage(size, size, QImage::Format_ARGB32_Premultiplied);
  image_.fill(Qt::transparent);
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing);
  // The centre of the middle pixel.
  paint(painter, radius_ + 0.5, radius_ + 0.5);
}

void MarkerSprite::paint(QPainter& painter, double x, double y) const {
  painter.setPen(QPen(outline_, kOutlineWidth));
  painter.setBrush(fill_);
  const double r = radius_ - kOutlineWidth / 2;
  if (shape_ == MarkerShape::Disc) {
    painter.drawEllipse(QPointF(x, y), r, r);
  } else {
    const QPolygonF diamond{{x, y - r}, {x + r, y}, {x, y + r}, {x - r, y}};
    painter.drawPolygon(diamond);
  }
}

bool MarkerSprite::canStampInto(const QImage& target) {
  return target.format() == QImage::Format_ARGB32_Premultiplied ||
         target.format() == QImage::Format_RGB32;
}

void MarkerSprite::stamp(QImage& target, int column, int row) const {
  const int size = image_.width();
  const int left = column - radius_;
  const int top = row - radius_;
  const int fromX = std::max(0, -left);
  const int toX = std::min(size, target.width() - left);
  const int fromY = std::max(0, -top);
  const int toY = std::min(size, target.height() - top);
  for (int y = fromY; y < toY; ++y) {
    const auto* source = reinterpret_cast<const quint32*>(image_.constScanLine(y));
    auto* destination = reinterpret_cast<quint32*>(target.scanLine(top + y)) + left;
    for (int x = fromX; x < toX; ++x) {
      const quint32 pixel = source[x];
      const quint32 alpha = pixel >> 24;
      if (alpha == 0) continue;
      destination[x] = alpha == 255 ? pixel : pixel + ScaleChannels(destination[x], 255 - alpha);
    }
  }
}

}  // namespace korvagrid::map
