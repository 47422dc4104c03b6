#pragma once
// A raster background: the dataset warped by GDAL into the view projection
// at the view's scale, bilinearly resampled, with transparency where the
// raster has no data.
//
// The warp covers the view and a quarter of a view on every side, and is kept while
// the view projection (standard parallel and datum shift) and the scale stay: panning within that
// margin only moves the kept image; a zoom, a new fit or a pan beyond the margin warps again.
// Palette rasters are expanded to RGBA before warping (resampling palette indices would mix
// unrelated colours), and rasters of other types than bytes are stretched to bytes between their
// minimum and maximum.
#include <QImage>

#include "gdal_support.h"
#include "map_background.h"

namespace korvagrid::map {

class RasterBackground : public MapBackground {
 public:
  // Takes over an opened dataset with raster bands; throws KorvagridError
  // when it has no coordinate system or georeferencing.
  RasterBackground(GdalDatasetPtr dataset, const std::string& name);

  void draw(QPainter& painter, const MapView& view) override;
  std::optional<GeoBounds> extent() const override { return extent_; }

 private:
  struct Warp {
    ViewProjection projection;
    double metresPerPixel = 0;
    WorldPoint coveredMin, coveredMax;  // the part of the plane the warp stands for
    WorldPoint imageMin, imageMax;      // where the image lies (within the data)
    QImage image;
  };
  bool covers(const MapView& view) const;
  void warp(const MapView& view);

  GdalDatasetPtr source_;
  GdalDatasetPtr prepared_;  // a VRT over source_ when it needed expanding or scaling
  std::string name_;
  std::optional<GeoBounds> extent_;
  std::optional<Warp> warp_;
};

}  // namespace korvagrid::map
