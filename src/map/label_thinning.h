#pragma once
// Thinning of labels that would overlap: the picture is divided into square
// cells of a few pixels, and a label is placed only when every cell its
// rectangle touches is still free; placing it occupies those cells. Labels
// offered first win, so callers offer the more important ones first. A
// label that does not lie wholly inside the picture is refused, so no name
// is shown cut off at an edge.
//
// The test of a label costs one look-up per cell it covers, and a label
// refused at its first cell costs one: with 200 000 point names offered on a
// crowded view, nearly all are refused at once.
#include <cstdint>
#include <vector>

#include "map/map_coordinates.h"

namespace korvagrid {

class LabelThinner {
 public:
  static constexpr int kDefaultCellPixels = 4;

  LabelThinner(int width, int height, int cellPixels = kDefaultCellPixels);

  // True when the label would be placed now.
  bool isFree(const PixelRect& rect) const;
  // True when the cell that holds pixel position (x, y) is inside the
  // picture and free: a quick test that refuses most labels on a crowded
  // picture before their size is known.
  bool cellFree(double x, double y) const;
  // Places the label when it is free; returns whether it was placed.
  bool place(const PixelRect& rect);
  // Marks a rectangle as taken without a label (a marker, the legend);
  // parts outside the picture are ignored.
  void occupy(const PixelRect& rect);

 private:
  struct CellRange {
    int left, top, right, bottom;  // inclusive
  };
  bool inside(const PixelRect& rect) const;
  CellRange cellsOf(const PixelRect& rect) const;

  int width_;
  int height_;
  int cell_;
  int columns_;
  int rows_;
  std::vector<std::uint8_t> taken_;
};

}  // namespace korvagrid
