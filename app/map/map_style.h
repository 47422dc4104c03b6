#pragma once
// The look of the map, defined once: colours, line widths, marker sizes and
// fonts of every layer. Sizes are in pixels of the picture.
#include <QColor>
#include <QFont>

#include "map/map_grid.h"

namespace korvagrid::map {

struct LineStyle {
  QColor colour;
  double width;
};

inline const QColor kPaperColour{0xf7, 0xf6, 0xf0};
// Behind labels, so that names stay legible over lines and markers.
inline const QColor kLabelHaloColour{0xf7, 0xf6, 0xf0, 0xd0};

inline LineStyle GridLineStyle(GridLineKind kind) {
  switch (kind) {
    case GridLineKind::Graticule:
      return {QColor(0xc4, 0xc4, 0xbc), 1};
    case GridLineKind::ZoneBoundary:
      return {QColor(0xd0, 0x34, 0x2c, 0x90), 5};
    case GridLineKind::Sheet1M:
      return {QColor(0x1b, 0x2a, 0x6b), 2};
    case GridLineKind::Sheet200k:
      return {QColor(0x2f, 0x5f, 0xb3), 1};
    case GridLineKind::Sheet100k:
      return {QColor(0x8c, 0xb0, 0xe0), 1};
  }
  return {Qt::black, 1};
}

inline QColor SheetNameColour(SheetLevel level) {
  switch (level) {
    case SheetLevel::Million:
      return GridLineStyle(GridLineKind::Sheet1M).colour;
    case SheetLevel::Sheet200k:
      return GridLineStyle(GridLineKind::Sheet200k).colour;
    case SheetLevel::Sheet100k:
      return QColor(0x4a, 0x78, 0xc0);
  }
  return Qt::black;
}

inline const QColor kZoneNumberColour{0xb0, 0x24, 0x1c};
inline const QColor kGraticuleTextColour{0x70, 0x70, 0x68};
inline const QColor kPointNameColour{0x20, 0x20, 0x20};

// Markers: a green disc for a converted point, a larger orange diamond for a
// point with a warning, and a magenta ring around the selected point.
inline const QColor kPointColour{0x1a, 0x7f, 0x37};
inline const QColor kPointOutlineColour{Qt::white};
inline const QColor kWarningColour{0xf0, 0x6a, 0x0c};
inline const QColor kWarningOutlineColour{0x6b, 0x1d, 0x00};
inline const QColor kHighlightColour{0xd0, 0x10, 0xc0};
inline constexpr int kPointRadius = 4;  // the marker spans 2r + 1 pixels
inline constexpr int kWarningRadius = 5;
inline constexpr double kHighlightRadius = 9.5;
inline constexpr double kHighlightWidth = 2.5;
inline constexpr double kLabelGap = 3;  // between a marker and its name
inline constexpr double kLabelPadding = 1;
inline constexpr double kPointNameSpacing = 2;  // kept free around a point's name

inline QFont MapFont(int pixelSize, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

inline QFont SheetNameFont(SheetLevel level) {
  switch (level) {
    case SheetLevel::Million:
      return MapFont(16, true);
    case SheetLevel::Sheet200k:
      return MapFont(13, true);
    case SheetLevel::Sheet100k:
      return MapFont(11);
  }
  return MapFont(11);
}
inline QFont ZoneNumberFont() { return MapFont(14, true); }
inline QFont GraticuleFont() { return MapFont(10); }
inline QFont PointNameFont() { return MapFont(11); }
inline QFont HighlightedNameFont() { return MapFont(12, true); }

}  // namespace korvagrid::map
