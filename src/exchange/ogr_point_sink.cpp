// GPX, KML, GeoJSON, GeoPackage and Shapefile written through their OGR
// drivers. One feature and one point geometry are reused for every point, so
// writing allocates nothing per point beyond what the driver does.
//
// A GeoPackage is made here with its layer, and its rows are put in by
// gpkg_point_sink.cpp (through this sink they would go in a single
// transaction, without SQLite's rollback journal and without waiting for the
// disk: the file is a temporary one until it is complete). It gets no spatial
// index: SQLite's R*Tree took 40 s to index a million points (the points
// themselves 9 s); QGIS reads the layer without one and can add it.
#include <cpl_string.h>
#include <ogrsf_frmts.h>

#include "common/error.h"
#include "exchange/gdal_support.h"
#include "exchange/point_file_sinks.h"

namespace korvagrid {
namespace {

// A Shapefile's text fields hold at most 254 bytes.
constexpr int kShapefileTextBytes = 254;

// Decimals of GeoJSON coordinates: 1e-12° is 0.1 µm on the ground, and
// heights keep 1e-12 m. RFC 7946 output would otherwise round to 7 decimals.
constexpr const char* kGeoJsonPrecision = "COORDINATE_PRECISION=12";

enum class HeightPlace { Field, Z };

struct Layout {
  const char* layerName = nullptr;  // a fixed layer name (GPX), else the file's stem
  const char* nameField = "name";
  const char* heightField = nullptr;  // with HeightPlace::Field
  HeightPlace heightPlace = HeightPlace::Field;
  bool createsFields = true;          // false where the driver defines them (GPX)
  OGRwkbGeometryType geometryType = wkbPoint;
  std::vector<std::string> layerOptions;
};

Layout LayoutOf(ExchangeFormat format) {
  Layout layout;
  switch (format) {
    case ExchangeFormat::Gpx:
      layout.layerName = "waypoints";
      layout.heightField = "ele";
      layout.createsFields = false;
      break;
    case ExchangeFormat::Kml:
      layout.nameField = "Name";  // the KML driver's default name field
      layout.heightPlace = HeightPlace::Z;
      layout.geometryType = wkbPoint25D;
      break;
    case ExchangeFormat::GeoJson:
      layout.heightPlace = HeightPlace::Z;
      layout.geometryType = wkbPoint25D;
      layout.layerOptions = {"RFC7946=YES", kGeoJsonPrecision};
      break;
    case ExchangeFormat::GeoPackage:
      layout.heightField = "height";
      layout.layerOptions = {"SPATIAL_INDEX=NO"};
      break;
    case ExchangeFormat::Shapefile:
      layout.heightField = "height";
      // The name field starts 80 bytes wide; the driver widens it (up to
      // 254 bytes) when a longer name comes.
      layout.layerOptions = {"ENCODING=UTF-8"};
      break;
    default:
      throw KorvagridError("формат «" + std::string(InfoOf(format).name) + "» не пишется через OGR");
  }
  return layout;
}

class OgrPointSink final : public PointFileWriter::Sink {
 public:
  OgrPointSink(ExchangeFormat format, const std::filesystem::path& path, const std::string& layerName,
               const CrsDescription& crs)
      : format_(format), layout_(LayoutOf(format)), srs_(gdal::SpatialReferenceOf(crs)) {
    gdal::MessageCollector messages;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(InfoOf(format).gdalDriver.data());
    if (driver == nullptr) {
      throw KorvagridError("GDAL без драйвера «" + std::string(InfoOf(format).gdalDriver) + "»");
    }
    dataset_.reset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!dataset_) throw KorvagridError("файл «" + path.string() + "» не создан" + messages.reasonSuffix());
    if (format == ExchangeFormat::GeoPackage) {
      for (const char* pragma : {"PRAGMA journal_mode = OFF", "PRAGMA synchronous = OFF"}) {
        if (OGRLayer* result = dataset_->ExecuteSQL(pragma, nullptr, nullptr)) dataset_->ReleaseResultSet(result);
      }
    }

    CPLStringList options;
    for (const std::string& option : layout_.layerOptions) options.AddString(option.c_str());
    const char* name = layout_.layerName != nullptr ? layout_.layerName : layerName.c_str();
    layer_ = dataset_->CreateLayer(name, &srs_, layout_.geometryType, options.List());
    if (layer_ == nullptr) throw KorvagridError("слой «" + std::string(name) + "» не создан" + messages.reasonSuffix());

    if (layout_.createsFields) {
      OGRFieldDefn nameDefinition(layout_.nameField, OFTString);
      createField(nameDefinition, messages);
      if (layout_.heightPlace == HeightPlace::Field) {
        OGRFieldDefn heightDefinition(layout_.heightField, OFTReal);
        createField(heightDefinition, messages);
      }
    }
    nameIndex_ = layer_->GetLayerDefn()->GetFieldIndex(layout_.nameField);
    heightIndex_ = layout_.heightPlace == HeightPlace::Field
                       ? layer_->GetLayerDefn()->GetFieldIndex(layout_.heightField)
                       : -1;
    if (nameIndex_ < 0 || (layout_.heightPlace == HeightPlace::Field && heightIndex_ < 0)) {
      throw KorvagridError("слой «" + std::string(name) + "» без полей имени и высоты");
    }

    feature_ = std::make_unique<OGRFeature>(layer_->GetLayerDefn());
    feature_->SetGeometryDirectly(new OGRPoint(0, 0));
    point_ = feature_->GetGeometryRef()->toPoint();

    if (format == ExchangeFormat::GeoPackage && dataset_->StartTransaction() != OGRERR_NONE) {
      throw KorvagridError("GeoPackage: транзакция не начата" + messages.reasonSuffix());
    }
  }

  void add(const ExchangePoint& point, std::string_view name, std::vector<std::string>& /*notes*/) override {
    if (format_ == ExchangeFormat::Shapefile && name.size() > static_cast<std::size_t>(kShapefileTextBytes)) {
      throw KorvagridError("точка в строке " + std::to_string(point.line) + ": имя длиной " +
                           std::to_string(name.size()) + " байт не помещается в поле Shapefile (не более " +
                           std::to_string(kShapefileTextBytes) + " байт)");
    }
    nameText_.assign(name);
    feature_->SetFID(OGRNullFID);
    feature_->SetField(nameIndex_, nameText_.c_str());
    // The file's order: easting (longitude) first, northing (latitude) second.
    point_->setX(point.second);
    point_->setY(point.first);
    if (layout_.heightPlace == HeightPlace::Z) {
      if (point.height) {
        point_->setZ(*point.height);
      } else {
        point_->setCoordinateDimension(2);
      }
    } else if (point.height) {
      feature_->SetField(heightIndex_, *point.height);
    } else {
      feature_->SetFieldNull(heightIndex_);
    }
    gdal::MessageCollector messages;
    if (layer_->CreateFeature(feature_.get()) != OGRERR_NONE) {
      throw KorvagridError("точка в строке " + std::to_string(point.line) + " не записана" +
                           messages.reasonSuffix());
    }
  }

  void close() override {
    gdal::MessageCollector messages;
    if (format_ == ExchangeFormat::GeoPackage && dataset_->CommitTransaction() != OGRERR_NONE) {
      throw KorvagridError("GeoPackage: транзакция не завершена" + messages.reasonSuffix());
    }
    point_ = nullptr;
    feature_.reset();
    GDALClose(dataset_.release());
    if (!messages.lastError().empty()) throw KorvagridError("файл не дописан" + messages.reasonSuffix());
  }

 private:
  void createField(OGRFieldDefn& definition, const gdal::MessageCollector& messages) {
    if (layer_->CreateField(&definition) != OGRERR_NONE) {
      throw KorvagridError("поле «" + std::string(definition.GetNameRef()) + "» не создано" +
                           messages.reasonSuffix());
    }
  }

  ExchangeFormat format_;
  Layout layout_;
  OGRSpatialReference srs_;
  gdal::DatasetPtr dataset_;
  OGRLayer* layer_ = nullptr;  // owned by dataset_
  std::unique_ptr<OGRFeature> feature_;
  OGRPoint* point_ = nullptr;  // owned by feature_
  int nameIndex_ = -1;
  int heightIndex_ = -1;
  std::string nameText_;
};

}  // namespace

std::unique_ptr<PointFileWriter::Sink> MakeOgrPointSink(ExchangeFormat format, const std::filesystem::path& path,
                                                         const std::string& layerName, const CrsDescription& crs) {
  return std::make_unique<OgrPointSink>(format, path, layerName, crs);
}

}  // namespace korvagrid
