#pragma once
// The writers of the single formats behind PointFileWriter. Each writes the
// file at the path it is given (the temporary name beside the target) and
// leaves naming, refusals and unnamed points to PointFileWriter.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/point_file_writer.h"

namespace korvagrid {

class PointFileWriter::Sink {
 public:
  virtual ~Sink() = default;
  // Writes one point under `name` (never empty); remarks on changes the
  // format forces go to `notes`. Throws KorvagridError.
  virtual void add(const ExchangePoint& point, std::string_view name, std::vector<std::string>& notes) = 0;
  // Completes and closes the file. Throws KorvagridError.
  virtual void close() = 0;
};

// GPX, KML, GeoJSON, GeoPackage and Shapefile through their OGR drivers; the
// layer is named `layerName` where the format stores a layer name.
std::unique_ptr<PointFileWriter::Sink> MakeOgrPointSink(ExchangeFormat format, const std::filesystem::path& path,
                                                         const std::string& layerName, const CrsDescription& crs);

// GeoPackage: the file and its layer made by OGR's GPKG driver, the rows put
// in by SQLite directly, many to a statement.
std::unique_ptr<PointFileWriter::Sink> MakeGeoPackagePointSink(const std::filesystem::path& path,
                                                                const std::string& layerName,
                                                                const CrsDescription& crs);

// DXF through OGR's DXF driver: points with text labels.
std::unique_ptr<PointFileWriter::Sink> MakeDxfPointSink(const std::filesystem::path& path);

// CSV with the header Name,<first axis>,<second axis>,<height>.
std::unique_ptr<PointFileWriter::Sink> MakeCsvPointSink(const std::filesystem::path& path, const CrsDescription& crs);

// The layer names of the DXF drawing, shared with the reader, which takes a
// text label at a point as its name unless it lies on the heights layer.
inline constexpr std::string_view kDxfPointLayer = "POINTS";
inline constexpr std::string_view kDxfNameLayer = "NAMES";
inline constexpr std::string_view kDxfHeightLayer = "HEIGHTS";

}  // namespace korvagrid
