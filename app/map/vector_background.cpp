#include "vector_background.h"

#include <ogrsf_frmts.h>

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <limits>

#include "common/error.h"

namespace korvagrid::map {
namespace {

const QColor kLineColour{0x55, 0x66, 0x2a};
const QColor kFillColour{0xb8, 0xcc, 0x88, 0x60};
constexpr double kLineWidth = 1.2;
constexpr double kPointHalfSize = 2.5;

}  // namespace

VectorBackground::VectorBackground(GdalDatasetPtr dataset, const std::string& name)
    : dataset_(std::move(dataset)) {
  QuietGdalErrors quiet;
  // The extent only places the layers for a fit; the datum shift sets differ
  // by about ten metres there, so the default set serves every view.
  const OGRSpatialReference krasovsky = KrasovskyGeographic(ViewProjection{});
  GeoBounds all{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                -std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (OGRLayer* layer : dataset_->GetLayers()) {
    const OGRSpatialReference* reference = layer->GetSpatialRef();
    if (reference == nullptr) continue;
    const std::size_t index = layerReferences_.size();
    layerReferences_.emplace_back(*reference);
    layerReferences_.back().SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);

    OGREnvelope envelope;
    if (layer->GetExtent(&envelope, TRUE) == OGRERR_NONE) {
      TransformationPtr toKrasovsky(
          OGRCreateCoordinateTransformation(&layerReferences_.back(), &krasovsky));
      double west = 0, south = 0, east = 0, north = 0;
      constexpr int kDensifyPoints = 21;
      if (toKrasovsky &&
          toKrasovsky->TransformBounds(envelope.MinX, envelope.MinY, envelope.MaxX, envelope.MaxY,
                                       &west, &south, &east, &north, kDensifyPoints)) {
        all = {std::min(all.south, south), std::min(all.west, west), std::max(all.north, north),
               std::max(all.east, east)};
      }
    }

    layer->ResetReading();
    for (const auto& feature : *layer) {
      const OGRGeometry* geometry = feature->GetGeometryRef();
      if (geometry == nullptr) continue;
      // Collections are taken apart into their points, lines and polygons.
      std::vector<const OGRGeometry*> pending{geometry};
      while (!pending.empty()) {
        const OGRGeometry* g = pending.back();
        pending.pop_back();
        const OGRwkbGeometryType type = wkbFlatten(g->getGeometryType());
        if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
          for (const OGRGeometry* part : *g->toGeometryCollection()) pending.push_back(part);
        } else if (type == wkbPoint) {
          const OGRPoint* p = g->toPoint();
          shapes_.push_back({ShapeKind::Point, index, {{p->getX()}}, {{p->getY()}}});
        } else if (OGR_GT_IsCurve(type)) {
          std::unique_ptr<OGRLineString> line(g->toCurve()->CurveToLine());
          Shape shape{ShapeKind::Line, index, {{}}, {{}}};
          for (const OGRPoint& p : *line) {
            shape.xs[0].push_back(p.getX());
            shape.ys[0].push_back(p.getY());
          }
          shapes_.push_back(std::move(shape));
        } else if (OGR_GT_IsSubClassOf(type, wkbCurvePolygon)) {
          std::unique_ptr<OGRPolygon> polygon(g->toCurvePolygon()->CurvePolyToPoly());
          Shape shape{ShapeKind::Polygon, index, {}, {}};
          for (const OGRLinearRing* ring : *polygon) {
            shape.xs.emplace_back();
            shape.ys.emplace_back();
            for (const OGRPoint& p : *ring) {
              shape.xs.back().push_back(p.getX());
              shape.ys.back().push_back(p.getY());
            }
          }
          shapes_.push_back(std::move(shape));
        }
      }
    }
  }
  if (layerReferences_.empty()) {
    throw KorvagridError(name + ": нет слоёв с системой координат");
  }
  if (all.south <= all.north) extent_ = all;
}

void VectorBackground::project(const ViewProjection& projection) {
  QuietGdalErrors quiet;
  const OGRSpatialReference target = ViewReference(projection);
  std::vector<TransformationPtr> transforms;
  for (OGRSpatialReference& reference : layerReferences_) {
    transforms.emplace_back(OGRCreateCoordinateTransformation(&reference, &target));
    if (!transforms.back()) {
      throw KorvagridError(QuietGdalErrors::lastMessage("слой не переводится в проекцию карты"));
    }
  }
  projected_.clear();
  projected_.reserve(shapes_.size());
  constexpr double kInf = std::numeric_limits<double>::infinity();
  for (const Shape& shape : shapes_) {
    ProjectedShape out{shape.kind, {}, {kInf, kInf}, {-kInf, -kInf}};
    for (std::size_t part = 0; part < shape.xs.size(); ++part) {
      std::vector<double> x = shape.xs[part];
      std::vector<double> y = shape.ys[part];
      std::vector<int> ok(x.size(), 0);
      transforms[shape.layer]->Transform(x.size(), x.data(), y.data(), nullptr, ok.data());
      std::vector<WorldPoint>& points = out.parts.emplace_back();
      for (std::size_t i = 0; i < x.size(); ++i) {
        if (ok[i] == 0) continue;
        points.push_back({x[i], y[i]});
        out.min = {std::min(out.min.x, x[i]), std::min(out.min.y, y[i])};
        out.max = {std::max(out.max.x, x[i]), std::max(out.max.y, y[i])};
      }
    }
    if (out.min.x <= out.max.x) projected_.push_back(std::move(out));
  }
  projectedFor_ = projection;
}

void VectorBackground::draw(QPainter& painter, const MapView& view) {
  if (projectedFor_ != view.projection()) project(view.projection());
  const WorldPoint viewMin = view.pixelToWorld({0, static_cast<double>(view.height())});
  const WorldPoint viewMax = view.pixelToWorld({static_cast<double>(view.width()), 0});
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kLineColour, kLineWidth));
  const auto toPixels = [&view](const std::vector<WorldPoint>& part) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(part.size()));
    for (const WorldPoint& w : part) {
      const PixelPoint p = view.worldToPixel(w);
      polygon.append(QPointF(p.x, p.y));
    }
    return polygon;
  };
  for (const ProjectedShape& shape : projected_) {
    if (shape.max.x < viewMin.x || shape.min.x > viewMax.x || shape.max.y < viewMin.y ||
        shape.min.y > viewMax.y) {
      continue;
    }
    switch (shape.kind) {
      case ShapeKind::Point: {
        const PixelPoint p = view.worldToPixel(shape.parts[0][0]);
        painter.fillRect(QRectF(p.x - kPointHalfSize, p.y - kPointHalfSize, 2 * kPointHalfSize,
                                2 * kPointHalfSize),
                         kLineColour);
        break;
      }
      case ShapeKind::Line:
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(toPixels(shape.parts[0]));
        break;
      case ShapeKind::Polygon: {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);  // inner rings are holes
        for (const std::vector<WorldPoint>& ring : shape.parts) path.addPolygon(toPixels(ring));
        painter.setBrush(kFillColour);
        painter.drawPath(path);
        break;
      }
    }
  }
  painter.restore();
}

}  // namespace korvagrid::map
