#include "map_background.h"

#include "common/error.h"
#include "gdal_support.h"
#include "raster_background.h"
#include "vector_background.h"

namespace korvagrid::map {

std::unique_ptr<MapBackground> OpenMapBackground(const std::filesystem::path& path) {
  RegisterGdalOnce();
  QuietGdalErrors quiet;
  const std::string name = path.string();
  GdalDatasetPtr dataset(GDALDataset::Open(
      name.c_str(), GDAL_OF_RASTER | GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
  if (!dataset) {
    throw KorvagridError(name + ": " + QuietGdalErrors::lastMessage("GDAL не читает этот файл"));
  }
  if (dataset->GetRasterCount() > 0) {
    return std::make_unique<RasterBackground>(std::move(dataset), name);
  }
  if (dataset->GetLayerCount() > 0) {
    return std::make_unique<VectorBackground>(std::move(dataset), name);
  }
  throw KorvagridError(name + ": ни растра, ни векторных слоёв");
}

}  // namespace korvagrid::map
