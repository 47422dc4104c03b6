#include "raster_background.h"

#include <gdal_utils.h>

#include <QPainter>
#include <QSysInfo>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "common/error.h"

namespace korvagrid::map {
namespace {

// How far beyond the view the warp reaches, as a part of the view's size:
// pans of up to a quarter of the view redraw from the kept image.
constexpr double kMarginOfView = 0.25;

// Options for GDAL's utility functions, built from strings.
class Arguments {
 public:
  Arguments(std::initializer_list<std::string> items) : items_(items) {}
  void add(const std::string& item) { items_.push_back(item); }
  char** list() {
    pointers_.clear();
    for (std::string& item : items_) pointers_.push_back(item.data());
    pointers_.push_back(nullptr);
    return pointers_.data();
  }

 private:
  std::vector<std::string> items_;
  std::vector<char*> pointers_;
};

// Shortest text that reads back as the same double, whatever the locale.
std::string Decimal(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// A VRT that expands a palette or stretches non-byte values, or nothing when
// the raster can be warped as it is.
GdalDatasetPtr PrepareForWarp(GDALDataset& dataset) {
  GDALRasterBand* first = dataset.GetRasterBand(1);
  const bool palette = first->GetColorTable() != nullptr;
  const bool bytes = first->GetRasterDataType() == GDT_Byte;
  if (!palette && bytes) return nullptr;
  Arguments arguments{"-of", "VRT"};
  if (palette) {
    arguments.add("-expand");
    arguments.add("rgba");
  }
  if (!bytes) {
    arguments.add("-ot");
    arguments.add("Byte");
    arguments.add("-scale");
  }
  GDALTranslateOptions* options = GDALTranslateOptionsNew(arguments.list(), nullptr);
  int usageError = 0;
  GDALDatasetH result = GDALTranslate("", GDALDataset::ToHandle(&dataset), options, &usageError);
  GDALTranslateOptionsFree(options);
  if (result == nullptr) {
    throw KorvagridError(QuietGdalErrors::lastMessage("растр не приводится к цветам"));
  }
  return GdalDatasetPtr(GDALDataset::FromHandle(result));
}

std::optional<GeoBounds> RasterExtent(GDALDataset& dataset) {
  std::array<double, 6> g{};
  const OGRSpatialReference* reference = dataset.GetSpatialRef();
  if (reference == nullptr || dataset.GetGeoTransform(g.data()) != CE_None) return std::nullopt;
  const double w = dataset.GetRasterXSize();
  const double h = dataset.GetRasterYSize();
  double xs[4] = {g[0], g[0] + w * g[1], g[0] + h * g[2], g[0] + w * g[1] + h * g[2]};
  double ys[4] = {g[3], g[3] + w * g[4], g[3] + h * g[5], g[3] + w * g[4] + h * g[5]};
  OGRSpatialReference source(*reference);
  source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  // The extent only places the raster for a fit; the datum shift sets differ
  // by about ten metres there, so the default set serves every view.
  OGRSpatialReference target = KrasovskyGeographic(ViewProjection{});
  TransformationPtr transform(OGRCreateCoordinateTransformation(&source, &target));
  if (!transform) return std::nullopt;
  double west = 0, south = 0, east = 0, north = 0;
  constexpr int kDensifyPoints = 21;  // edges curve in the target system
  if (!transform->TransformBounds(*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4),
                                  *std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4),
                                  &west, &south, &east, &north, kDensifyPoints)) {
    return std::nullopt;
  }
  return GeoBounds{south, west, north, east};
}

}  // namespace

RasterBackground::RasterBackground(GdalDatasetPtr dataset, const std::string& name)
    : source_(std::move(dataset)), name_(name) {
  QuietGdalErrors quiet;
  if (source_->GetSpatialRef() == nullptr) {
    throw KorvagridError(name_ + ": у растра нет системы координат");
  }
  extent_ = RasterExtent(*source_);
  if (!extent_) {
    throw KorvagridError(name_ + ": растр без привязки (" +
                         QuietGdalErrors::lastMessage("нет геотрансформации") + ")");
  }
  prepared_ = PrepareForWarp(*source_);
}

bool RasterBackground::covers(const MapView& view) const {
  if (!warp_ || warp_->projection != view.projection() ||
      warp_->metresPerPixel != view.metresPerPixel()) {
    return false;
  }
  const WorldPoint min = view.pixelToWorld({0, static_cast<double>(view.height())});
  const WorldPoint max = view.pixelToWorld({static_cast<double>(view.width()), 0});
  return min.x >= warp_->coveredMin.x && min.y >= warp_->coveredMin.y &&
         max.x <= warp_->coveredMax.x && max.y <= warp_->coveredMax.y;
}

void RasterBackground::warp(const MapView& view) {
  Warp next;
  next.projection = view.projection();
  next.metresPerPixel = view.metresPerPixel();
  const double s = view.metresPerPixel();
  // The view and a quarter of a view on every side.
  const double marginX = view.width() * kMarginOfView;
  const double marginY = view.height() * kMarginOfView;
  next.coveredMin = view.pixelToWorld({-marginX, view.height() + marginY});
  next.coveredMax = view.pixelToWorld({view.width() + marginX, -marginY});
  warp_ = next;

  // Only the part that holds data is warped.
  const WorldPoint dataMin = view.projection().project({extent_->south, extent_->west});
  const WorldPoint dataMax = view.projection().project({extent_->north, extent_->east});
  WorldPoint min{std::max(next.coveredMin.x, dataMin.x), std::max(next.coveredMin.y, dataMin.y)};
  WorldPoint max{std::min(next.coveredMax.x, dataMax.x), std::min(next.coveredMax.y, dataMax.y)};
  if (min.x >= max.x || min.y >= max.y) return;
  // Whole pixels of the view's grid, so the image lies on the view's pixels.
  const int width = std::max(1, static_cast<int>(std::ceil((max.x - min.x) / s)));
  const int height = std::max(1, static_cast<int>(std::ceil((max.y - min.y) / s)));
  max = {min.x + width * s, min.y + height * s};

  QuietGdalErrors quiet;
  Arguments arguments{"-of",
                      "MEM",
                      "-t_srs",
                      view.projection().projDefinition(),
                      "-te",
                      Decimal(min.x),
                      Decimal(min.y),
                      Decimal(max.x),
                      Decimal(max.y),
                      "-ts",
                      std::to_string(width),
                      std::to_string(height),
                      "-r",
                      "bilinear",
                      "-dstalpha"};
  GDALWarpAppOptions* options = GDALWarpAppOptionsNew(arguments.list(), nullptr);
  GDALDatasetH source = GDALDataset::ToHandle(prepared_ ? prepared_.get() : source_.get());
  int usageError = 0;
  GdalDatasetPtr warped(
      GDALDataset::FromHandle(GDALWarp("", nullptr, 1, &source, options, &usageError)));
  GDALWarpAppOptionsFree(options);
  if (!warped) return;  // nothing drawn: the view shows no part of the data

  // Bands by their colour: red, green and blue, or one grey band, and the
  // alpha band the warp added last (the count includes it).
  const int count = warped->GetRasterCount();
  int red = 0, green = 0, blue = 0, alpha = count;
  for (int b = 1; b < count; ++b) {
    switch (warped->GetRasterBand(b)->GetColorInterpretation()) {
      case GCI_RedBand:
        red = red == 0 ? b : red;
        break;
      case GCI_GreenBand:
        green = green == 0 ? b : green;
        break;
      case GCI_BlueBand:
        blue = blue == 0 ? b : blue;
        break;
      default:
        break;
    }
  }
  if (red == 0 || green == 0 || blue == 0) {
    // No colours named: three bands or more are red, green and blue in
    // order (a GeoTIFF written without a photometric tag), one is grey.
    const bool colour = count - 1 >= 3;
    red = 1;
    green = colour ? 2 : 1;
    blue = colour ? 3 : 1;
  }
  // QImage's ARGB32 holds each pixel as the bytes B, G, R, A in memory order
  // on little-endian machines and A, R, G, B on big-endian ones.
  QImage image(width, height, QImage::Format_ARGB32);
  const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
  std::array<int, 4> bands = littleEndian ? std::array<int, 4>{blue, green, red, alpha}
                                          : std::array<int, 4>{alpha, red, green, blue};
  if (warped->RasterIO(GF_Read, 0, 0, width, height, image.bits(), width, height, GDT_Byte, 4,
                       bands.data(), 4, image.bytesPerLine(), 1, nullptr) != CE_None) {
    return;
  }
  warp_->imageMin = min;
  warp_->imageMax = max;
  warp_->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void RasterBackground::draw(QPainter& painter, const MapView& view) {
  if (!covers(view)) warp(view);
  if (!warp_ || warp_->image.isNull()) return;
  const PixelPoint topLeft = view.worldToPixel({warp_->imageMin.x, warp_->imageMax.y});
  const PixelPoint bottomRight = view.worldToPixel({warp_->imageMax.x, warp_->imageMin.y});
  painter.drawImage(QRectF(QPointF(topLeft.x, topLeft.y), QPointF(bottomRight.x, bottomRight.y)),
                    warp_->image);
}

}  // namespace korvagrid::map
