#pragma once
// Shared pieces of the GDAL backgrounds: driver registration, quiet error
// handling with GDAL's message kept for ours, owning handles, and the
// coordinate systems of the view.
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <memory>
#include <string>

#include "map/view_projection.h"

namespace korvagrid::map {

// Registers GDAL's drivers, once per process.
void RegisterGdalOnce();

// While it lives, GDAL's errors are not printed; the last message is kept.
class QuietGdalErrors {
 public:
  QuietGdalErrors();
  ~QuietGdalErrors();
  QuietGdalErrors(const QuietGdalErrors&) = delete;
  QuietGdalErrors& operator=(const QuietGdalErrors&) = delete;
  // GDAL's last error message, or `fallback` when it gave none.
  static std::string lastMessage(const std::string& fallback);
};

struct GdalDatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using GdalDatasetPtr = std::unique_ptr<GDALDataset, GdalDatasetCloser>;

struct TransformationDeleter {
  void operator()(OGRCoordinateTransformation* t) const {
    OGRCoordinateTransformation::DestroyCT(t);
  }
};
using TransformationPtr = std::unique_ptr<OGRCoordinateTransformation, TransformationDeleter>;

// Longitude/latitude on the Krasovsky ellipsoid (SK-42 datum, with the
// projection's shift to WGS-84), longitude first.
OGRSpatialReference KrasovskyGeographic(const ViewProjection& projection);
// The view projection, x east and y north.
OGRSpatialReference ViewReference(const ViewProjection& projection);

}  // namespace korvagrid::map
