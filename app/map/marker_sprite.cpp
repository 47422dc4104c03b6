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
  painter.end();
  for (int y = 0; y < size; ++y) {
    const auto* line = reinterpret_cast<const quint32*>(image_.constScanLine(y));
    int first = 0;
    while (first < size && line[first] >> 24 == 0) ++first;
    int last = size;
    while (last > first && line[last - 1] >> 24 == 0) --last;
    rowSpans_.emplace_back(first, last);
    for (int x = first; x < last; ++x) {
      const quint32 alpha = line[x] >> 24;
      if (alpha == 255 && !opaqueRuns_.empty() && opaqueRuns_.back().y == y &&
          opaqueRuns_.back().x + opaqueRuns_.back().length == x) {
        ++opaqueRuns_.back().length;
      } else if (alpha == 255) {
        opaqueRuns_.push_back({y, x, 1});
      } else if (alpha != 0) {
        blended_.push_back({y, x, line[x]});
      }
    }
  }
}

MarkerSprite::Target::Target(QImage& image)
    : pixels(reinterpret_cast<quint32*>(image.bits())),
      pixelsPerLine(image.bytesPerLine() / 4),
      width(image.width()),
      height(image.height()) {}

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

void MarkerSprite::stamp(const Target& target, int column, int row) const {
  const int size = image_.width();
  const int left = column - radius_;
  const int top = row - radius_;
  if (left >= 0 && top >= 0 && left + size <= target.width && top + size <= target.height) {
    // Wholly inside, the common case: opaque runs are copied, only the
    // pixels of the edge are blended.
    quint32* origin = target.pixels + top * target.pixelsPerLine + left;
    for (const Run& run : opaqueRuns_) {
      const auto* source = reinterpret_cast<const quint32*>(image_.constScanLine(run.y)) + run.x;
      std::copy(source, source + run.length, origin + run.y * target.pixelsPerLine + run.x);
    }
    for (const Blended& b : blended_) {
      quint32& pixel = origin[b.y * target.pixelsPerLine + b.x];
      pixel = b.pixel + ScaleChannels(pixel, 255 - (b.pixel >> 24));
    }
    return;
  }
  const int fromY = std::max(0, -top);
  const int toY = std::min(size, target.height - top);
  for (int y = fromY; y < toY; ++y) {
    const auto [spanFrom, spanTo] = rowSpans_[static_cast<std::size_t>(y)];
    const int fromX = std::max(spanFrom, -left);
    const int toX = std::min(spanTo, target.width - left);
    const auto* source = reinterpret_cast<const quint32*>(image_.constScanLine(y));
    quint32* destination = target.pixels + (top + y) * target.pixelsPerLine + left;
    for (int x = fromX; x < toX; ++x) {
      const quint32 pixel = source[x];
      const quint32 alpha = pixel >> 24;
      destination[x] = alpha == 255 ? pixel : pixel + ScaleChannels(destination[x], 255 - alpha);
    }
  }
}

}  // namespace korvagrid::map
