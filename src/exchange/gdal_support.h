#pragma once
// What the exchange code needs around GDAL: driver registration, GDAL's
// messages collected instead of printed, datasets closed by their owners, and
// spatial references built from a CrsDescription in the axis order of files
// (easting or longitude first).
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "exchange/crs_description.h"

namespace korvagrid::gdal {

// Registers GDAL's drivers once per process.
void EnsureRegistered();

// While alive, GDAL's errors and warnings on this thread are kept here instead
// of being printed to standard error.
class MessageCollector {
 public:
  MessageCollector();
  ~MessageCollector();
  MessageCollector(const MessageCollector&) = delete;
  MessageCollector& operator=(const MessageCollector&) = delete;

  // The last error GDAL reported, or "" when none.
  const std::string& lastError() const { return lastError_; }
  // Every warning and error, in order.
  const std::vector<std::string>& messages() const { return messages_; }
  // The last error after ": ", or "" when none (for the end of a message).
  std::string reasonSuffix() const;

 private:
  static void Handle(CPLErr level, CPLErrorNum number, const char* text);
  std::string lastError_;
  std::vector<std::string> messages_;
};

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const noexcept { GDALClose(dataset); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetCloser>;

// The spatial reference of `crs` with the traditional GIS axis order (x is
// the easting or longitude). Throws KorvagridError naming the system when its
// definition is not understood.
OGRSpatialReference SpatialReferenceOf(const CrsDescription& crs);

// "name (EPSG:code)", or the name alone when no EPSG code is known.
std::string DescribeSpatialReference(const OGRSpatialReference& srs);

// The EPSG code of a spatial reference: its own authority code, or the one
// GDAL identifies with full confidence. std::nullopt when there is none.
std::optional<int> EpsgCodeOf(const OGRSpatialReference& srs);

}  // namespace korvagrid::gdal
