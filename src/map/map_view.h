#pragma once
// The state of a map view: its projection, the projection-plane position at
// the centre of the picture, the scale in metres per pixel and the picture
// size; and the operations of the view: pan, zoom about a pixel, fit to
// points.
//
// A position maps to a pixel linearly (the projection keeps meridians and
// parallels axis-parallel):
//   px = width / 2 + (x − cx) / s,   py = height / 2 − (y − cy) / s.
// The standard parallel of the projection is set only by fitting the view to
// points; panning and zooming keep it, so that the picture moves rigidly and
// a warped background stays valid while the user pans.
#include <span>

#include "map/map_coordinates.h"
#include "map/map_point.h"
#include "map/view_projection.h"

namespace korvagrid {

// Pixel coordinates as a linear function of latitude and longitude, for
// projecting many points: px = longitude · kx + x0, py = latitude · ky + y0.
struct PixelTransform {
  double kx = 0;
  double x0 = 0;
  double ky = 0;
  double y0 = 0;

  PixelPoint operator()(GeoPoint p) const { return {p.longitude * kx + x0, p.latitude * ky + y0}; }
};

class MapView {
 public:
  // Scale limits: from 0.25 m per pixel (a few metres between points stay
  // apart) to 20 km per pixel (a whole continent on one screen).
  static constexpr double kMinMetresPerPixel = 0.25;
  static constexpr double kMaxMetresPerPixel = 20000.0;
  // A view fitted to points spans at least 5 km across its smaller side, so
  // that a single point or a tight cluster is shown with its surroundings.
  static constexpr double kMinFittedSpanMetres = 5000.0;

  // 800 × 600 pixels over Moscow at 200 m per pixel.
  MapView();
  MapView(int width, int height, ViewProjection projection, WorldPoint centre,
          double metresPerPixel);

  int width() const { return width_; }
  int height() const { return height_; }
  const ViewProjection& projection() const { return projection_; }
  WorldPoint centre() const { return centre_; }
  double metresPerPixel() const { return metresPerPixel_; }

  PixelPoint worldToPixel(WorldPoint w) const;
  WorldPoint pixelToWorld(PixelPoint p) const;
  PixelPoint toPixel(GeoPoint p) const { return worldToPixel(projection_.project(p)); }
  GeoPoint toGeo(PixelPoint p) const { return projection_.unproject(pixelToWorld(p)); }
  PixelTransform pixelTransform() const;

  // The latitude/longitude rectangle the whole picture shows; latitudes are
  // limited to ±90°.
  GeoBounds visibleBounds() const;

  // Keeps the centre and the scale; sizes below one pixel count as one.
  void resize(int width, int height);
  // The datum shift of the points shown (ViewProjection), kept by fitTo.
  void setDatumShift(DatumShiftKey datumShift);
  // Moves the picture by dx, dy pixels, as a drag of the mouse does.
  void panByPixels(double dx, double dy);
  // Multiplies the magnification by `factor` (> 1 zooms in), keeping the
  // position under `pixel` where it is, within the scale limits.
  void zoomAbout(PixelPoint pixel, double factor);
  void centreOn(GeoPoint p);
  // Chooses the standard parallel (the middle latitude of the points), the
  // centre and the scale so that every located point lies at least
  // `marginPixels` inside the picture. Returns false and leaves the view as
  // it was when no point is located.
  bool fitTo(std::span<const MapPoint> points, double marginPixels);

 private:
  void clampCentre();

  int width_;
  int height_;
  ViewProjection projection_;
  WorldPoint centre_;
  double metresPerPixel_;
};

}  // namespace korvagrid
