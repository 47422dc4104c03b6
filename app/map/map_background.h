#pragma once
// A georeferenced background under the sheet grid: a raster (a GeoTIFF scan
// of a sheet, any raster GDAL reads) or the vector layers of a dataset (a
// GeoPackage, a shapefile), brought into the view projection with GDAL and
// PROJ through the view's PROJ definition (ViewProjection::projDefinition),
// so that it lies where the view puts SK-42 points.
#include <filesystem>
#include <memory>
#include <optional>

#include "map/map_coordinates.h"
#include "map/map_view.h"

class QPainter;

namespace korvagrid::map {

class MapBackground {
 public:
  virtual ~MapBackground() = default;

  // Draws the background of `view` into a painter whose device is the view's
  // picture. Keeps what it computed for the view, so that drawing the same
  // or a panned view again costs little.
  virtual void draw(QPainter& painter, const MapView& view) = 0;

  // The extent of the data in Krasovsky latitude/longitude.
  virtual std::optional<GeoBounds> extent() const = 0;
};

// Opens a raster (when the dataset has raster bands) or every vector layer of
// the dataset. Throws KorvagridError naming the file and GDAL's reason when it
// cannot be read or has no coordinate system.
std::unique_ptr<MapBackground> OpenMapBackground(const std::filesystem::path& path);

}  // namespace korvagrid::map
