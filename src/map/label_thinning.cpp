#include "map/label_thinning.h"

#include <algorithm>
#include <cmath>

namespace korvagrid {

LabelThinner::LabelThinner(int width, int height, int cellPixels)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      cell_(std::max(cellPixels, 1)),
      columns_((width_ + cell_ - 1) / cell_),
      rows_((height_ + cell_ - 1) / cell_),
      taken_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0) {}

bool LabelThinner::inside(const PixelRect& rect) const {
  return rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= width_ &&
         rect.top + rect.height <= height_ && rect.width >= 0 && rect.height >= 0;
}

LabelThinner::CellRange LabelThinner::cellsOf(const PixelRect& rect) const {
  // A rectangle [left, left + width) covers the cells up to the one holding
  // its last pixel.
  const auto cellOf = [this](double pixel, int count) {
    return std::clamp(static_cast<int>(std::floor(pixel / cell_)), 0, count - 1);
  };
  return {cellOf(rect.left, columns_), cellOf(rect.top, rows_),
          cellOf(std::max(rect.left, rect.left + rect.width - 1), columns_),
          cellOf(std::max(rect.top, rect.top + rect.height - 1), rows_)};
}

bool LabelThinner::isFree(const PixelRect& rect) const {
  if (!inside(rect)) return false;
  const CellRange r = cellsOf(rect);
  for (int row = r.top; row <= r.bottom; ++row) {
    const std::uint8_t* line = &taken_[static_cast<std::size_t>(row) * columns_];
    for (int column = r.left; column <= r.right; ++column) {
      if (line[column] != 0) return false;
    }
  }
  return true;
}

bool LabelThinner::cellFree(double x, double y) const {
  if (!(x >= 0 && x < width_ && y >= 0 && y < height_)) return false;
  const auto column = static_cast<std::size_t>(x) / static_cast<std::size_t>(cell_);
  const auto row = static_cast<std::size_t>(y) / static_cast<std::size_t>(cell_);
  return taken_[row * static_cast<std::size_t>(columns_) + column] == 0;
}

bool LabelThinner::place(const PixelRect& rect) {
  if (!isFree(rect)) return false;
  occupy(rect);
  return true;
}

void LabelThinner::occupy(const PixelRect& rect) {
  if (rect.left + rect.width <= 0 || rect.top + rect.height <= 0 || rect.left >= width_ ||
      rect.top >= height_) {
    return;
  }
  const CellRange r = cellsOf(rect);
  for (int row = r.top; row <= r.bottom; ++row) {
    std::uint8_t* line = &taken_[static_cast<std::size_t>(row) * columns_];
    std::fill(line + r.left, line + r.right + 1, std::uint8_t{1});
  }
}

}  // namespace korvagrid
