#pragma once
// A marker drawn once into a small premultiplied image and then copied into
// a picture for every point: writing its pixels straight into the picture's
// memory costs a fraction of what drawing a shape through QPainter does,
// which makes 200 000 markers a matter of milliseconds.
//
// The sprite is (2r + 1) pixels square; its centre pixel goes onto the pixel
// that holds the point's position, so a marker is never more than half a
// pixel off its point on either axis.
#include <QImage>
#include <utility>
#include <vector>

namespace korvagrid::map {

enum class MarkerShape { Disc, Diamond };

class MarkerSprite {
 public:
  MarkerSprite(MarkerShape shape, int radius, const QColor& fill, const QColor& outline);

  int radius() const { return radius_; }
  const QImage& image() const { return image_; }

  // True for the formats stamp() writes into: 32-bit premultiplied ARGB and
  // 32-bit RGB.
  static bool canStampInto(const QImage& target);

  // The pixels of an image to stamp into, taken once for many markers.
  struct Target {
    explicit Target(QImage& image);
    quint32* pixels;
    qsizetype pixelsPerLine;
    int width;
    int height;
  };
  // Blends the sprite over the target (source over) with its centre on pixel
  // (column, row); parts outside the target are left out.
  void stamp(const Target& target, int column, int row) const;

  // Draws the same shape through QPainter centred on (x, y), for vector
  // devices (SVG, PDF) where a real shape beats a copied image.
  void paint(class QPainter& painter, double x, double y) const;

 private:
  MarkerShape shape_;
  int radius_;
  QColor fill_;
  QColor outline_;
  QImage image_;
  // Per sprite row, the first and one past the last pixel that is not
  // transparent.
  std::vector<std::pair<int, int>> rowSpans_;
  // The same pixels as runs of opaque ones and single partly transparent
  // ones, for markers that lie wholly inside the picture.
  struct Run {
    int y, x, length;
  };
  struct Blended {
    int y, x;
    quint32 pixel;
  };
  std::vector<Run> opaqueRuns_;
  std::vector<Blended> blended_;
};

}  // namespace korvagrid::map
