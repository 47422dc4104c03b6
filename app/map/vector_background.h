#pragma once
// A vector background: the features of every layer of a dataset, drawn as
// outlined, lightly filled polygons, lines and small squares for points.
//
// The geometries are read once; their vertices are transformed by OGR into
// the view projection whenever the view projection (standard parallel or datum shift) changes, and
// each drawing projects them to pixels, skipping shapes whose box lies outside the picture.
#include <QColor>
#include <vector>

#include "gdal_support.h"
#include "map_background.h"

namespace korvagrid::map {

class VectorBackground : public MapBackground {
 public:
  // Reads every feature of every layer of an opened dataset; layers without
  // a coordinate system are left out. Throws KorvagridError when no layer is
  // left or a layer's coordinates cannot be transformed.
  VectorBackground(GdalDatasetPtr dataset, const std::string& name);

  void draw(QPainter& painter, const MapView& view) override;
  std::optional<GeoBounds> extent() const override { return extent_; }

 private:
  enum class ShapeKind { Point, Line, Polygon };
  // One point, one line, or one polygon with its rings (the first is the
  // outer ring), in the coordinates of its layer; then in the view plane.
  struct Shape {
    ShapeKind kind;
    std::size_t layer;
    std::vector<std::vector<double>> xs, ys;  // per ring or line
  };
  struct ProjectedShape {
    ShapeKind kind;
    std::vector<std::vector<WorldPoint>> parts;
    WorldPoint min, max;
  };
  void project(const ViewProjection& projection);

  GdalDatasetPtr dataset_;
  std::vector<OGRSpatialReference> layerReferences_;
  std::vector<Shape> shapes_;
  std::optional<GeoBounds> extent_;
  std::optional<ViewProjection> projectedFor_;
  std::vector<ProjectedShape> projected_;
};

}  // namespace korvagrid::map
