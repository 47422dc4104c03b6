#include "exchange/point_file_reader.h"

#include <cpl_string.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <span>
#include <unordered_map>

#include "common/error.h"
#include "documents/text_encoding.h"
#include "exchange/gdal_support.h"
#include "exchange/point_file_sinks.h"
#include "formats/number_parse.h"

namespace korvagrid {
namespace fs = std::filesystem;
namespace {

// Features skipped beyond this many are counted in one closing message, so a
// drawing full of lines does not bury the points under its messages.
constexpr std::size_t kListedSkipsLimit = 100;

// A DXF label names a point when their positions agree to this many metres.
constexpr double kLabelMatchMetres = 0.001;

// Header names of CSV columns and attribute fields, compared without case.
using Names = std::span<const std::string_view>;
constexpr std::string_view kNameFields[] = {"name"};
constexpr std::string_view kHeightFields[] = {"height", "h", "ele", "elevation", "z"};
constexpr std::string_view kPlaneFirstColumns[] = {"x", "northing"};
constexpr std::string_view kPlaneSecondColumns[] = {"y", "easting"};
constexpr std::string_view kGeographicFirstColumns[] = {"lat", "latitude"};
constexpr std::string_view kGeographicSecondColumns[] = {"long", "lon", "longitude"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

int FindField(const OGRFeatureDefn& definition, Names names) {
  for (const std::string_view name : names) {
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
      if (EqualsIgnoringCase(definition.GetFieldDefn(i)->GetNameRef(), name)) return i;
    }
  }
  return -1;
}

std::string Utf8Text(const char* text) {
  const std::string_view bytes = text != nullptr ? text : "";
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp1251ToUtf8(bytes);
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A number as written in a text field, with "." or "," as decimal separator.
std::optional<double> ParseCell(std::string_view text) {
  const std::string_view cell = Trimmed(text);
  if (std::optional<double> value = TryParseNumber(cell, '.')) return value;
  return TryParseNumber(cell, ',');
}

// A numeric field as its stored double, a text field parsed.
std::optional<double> FieldNumber(const OGRFeature& feature, int index) {
  if (index < 0 || !feature.IsFieldSetAndNotNull(index)) return std::nullopt;
  const OGRFieldType type = feature.GetFieldDefnRef(index)->GetType();
  if (type == OFTReal || type == OFTInteger || type == OFTInteger64) return feature.GetFieldAsDouble(index);
  return ParseCell(feature.GetFieldAsString(index));
}

std::string GeometryKind(OGRwkbGeometryType type) {
  switch (wkbFlatten(type)) {
    case wkbLineString:
    case wkbMultiLineString:
    case wkbCircularString:
    case wkbCompoundCurve:
    case wkbMultiCurve:
      return std::string("линия ") + OGRToOGCGeomType(type);
    case wkbPolygon:
    case wkbMultiPolygon:
    case wkbCurvePolygon:
    case wkbMultiSurface:
    case wkbTriangle:
    case wkbTIN:
    case wkbPolyhedralSurface:
      return std::string("многоугольник ") + OGRToOGCGeomType(type);
    default:
      return std::string("объект ") + OGRToOGCGeomType(type);
  }
}

FileCrs FileCrsOf(const OGRSpatialReference& layerSrs) {
  OGRSpatialReference srs(layerSrs);
  // GeoJSON with heights reports WGS 84 3D (EPSG:4979): its points are WGS-84 points.
  if (srs.IsGeographic() && srs.GetAxesCount() == 3) srs.DemoteTo2D(nullptr);
  FileCrs crs;
  crs.name = srs.GetName() != nullptr ? srs.GetName() : "";
  crs.epsg = gdal::EpsgCodeOf(srs);
  char* wkt = nullptr;
  const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
  if (srs.exportToWkt(&wkt, options) == OGRERR_NONE && wkt != nullptr) crs.wkt = wkt;
  CPLFree(wkt);
  char* json = nullptr;
  if (srs.exportToPROJJSON(&json, nullptr) == OGRERR_NONE && json != nullptr) crs.projJson = json;
  CPLFree(json);
  crs.geographic = srs.IsGeographic() != 0;
  return crs;
}

OGRSpatialReference SpatialReferenceOf(const FileCrs& file) {
  OGRSpatialReference srs;
  if (srs.SetFromUserInput(file.projJson.c_str()) != OGRERR_NONE) {
    throw KorvagridError("система координат файла «" + file.label() + "» не читается");
  }
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

// Where one side carries a datum shift to WGS-84 and the other does not (an
// ESRI .prj never does), the shift is no part of the comparison.
void AlignDatumShifts(OGRSpatialReference& a, OGRSpatialReference& b) {
  double shift[7];
  const bool aHas = a.GetTOWGS84(shift, 7) == OGRERR_NONE;
  double other[7];
  const bool bHas = b.GetTOWGS84(other, 7) == OGRERR_NONE;
  if (aHas && !bHas) b.SetTOWGS84(shift[0], shift[1], shift[2], shift[3], shift[4], shift[5], shift[6]);
  if (bHas && !aHas) a.SetTOWGS84(other[0], other[1], other[2], other[3], other[4], other[5], other[6]);
}

std::optional<std::string> ProjString(const OGRSpatialReference& srs) {
  gdal::MessageCollector quiet;  // a system PROJ strings cannot express is no failure here
  char* text = nullptr;
  std::optional<std::string> proj;
  if (srs.exportToProj4(&text) == OGRERR_NONE && text != nullptr) proj = text;
  CPLFree(text);
  return proj;
}

// The comparison of CrsMatches on two spatial references of the traditional axis order.
bool SameSystem(OGRSpatialReference a, OGRSpatialReference b) {
  if (a.GetAxesCount() == 3) a.DemoteTo2D(nullptr);
  if (b.GetAxesCount() == 3) b.DemoteTo2D(nullptr);
  AlignDatumShifts(a, b);
  if (a.IsSame(&b)) return true;
  const std::optional<std::string> proj = ProjString(a);
  return proj && proj == ProjString(b);
}

std::string SystemLabel(const CrsDescription& system) {
  std::string text = "«" + system.displayName + "»";
  if (system.epsg) text += " (EPSG:" + std::to_string(*system.epsg) + ")";
  return text;
}

// The open options that make a Shapefile's names come out as the bytes the
// file holds when it names no code page (no .cpg, language driver 0): GDAL
// would take them as ISO-8859-1, while such files here are mostly
// Windows-1251, which Utf8Text then recognises.
void ShapefileEncodingOptions(const fs::path& path, CPLStringList& options) {
  for (const char* extension : {".cpg", ".CPG"}) {
    fs::path cpg = path;
    if (fs::exists(cpg.replace_extension(extension))) return;
  }
  for (const char* extension : {".dbf", ".DBF"}) {
    fs::path dbf = path;
    std::ifstream in(dbf.replace_extension(extension), std::ios::binary);
    if (!in) continue;
    constexpr std::streamoff kLanguageDriverOffset = 29;  // byte of the DBF header naming the code page
    char languageDriver = 0;
    if (in.seekg(kLanguageDriverOffset) && in.get(languageDriver) && languageDriver == 0) {
      options.AddString("ENCODING=");
    }
    return;
  }
}

class Reader {
 public:
  Reader(const fs::path& path, ExchangeFormat format) : path_(path), format_(format) {}

  PointFileContent read() {
    gdal::EnsureRegistered();
    gdal::MessageCollector messages;
    const gdal::DatasetPtr dataset = open(messages);
    const int layerCount = dataset->GetLayerCount();
    for (int i = 0; i < layerCount; ++i) {
      OGRLayer* layer = dataset->GetLayer(i);
      const std::string layerName = layer->GetName();
      // GPX repeats the points of its routes and tracks in these layers.
      if (format_ == ExchangeFormat::Gpx && (layerName == "route_points" || layerName == "track_points")) {
        continue;
      }
      layerPrefix_ = layerCount > 1 ? "слой «" + Utf8Text(layerName.c_str()) + "», " : "";
      if (!acceptLayerCrs(*layer)) continue;
      if (format_ == ExchangeFormat::Dxf) {
        readDxfLayer(*layer);
      } else if (format_ != ExchangeFormat::Csv || !readCsvColumns(*layer)) {
        readGeometries(*layer);
      }
    }
    if (skipped_ > kListedSkipsLimit) {
      content_.messages.push_back("и ещё " + std::to_string(skipped_ - kListedSkipsLimit) +
                                  " объектов без точек пропущено");
    }
    return std::move(content_);
  }

 private:
  gdal::DatasetPtr open(const gdal::MessageCollector& messages) {
    const ExchangeFormatInfo& info = InfoOf(format_);
    if (!IsPointFileFormat(format_)) {
      throw KorvagridError("формат «" + std::string(info.name) + "» читается как текст, а не файл точек");
    }
    CPLStringList drivers;
    if (format_ == ExchangeFormat::Kml) drivers.AddString("LIBKML");
    drivers.AddString(info.gdalDriver.data());
    CPLStringList options;
    std::string name = path_.string();
    if (format_ == ExchangeFormat::Csv) {
      options.AddString("AUTODETECT_TYPE=NO");
      options.AddString("HEADERS=YES");
      // The CSV driver takes other extensions only with its prefix.
      std::string extension = path_.extension().string();
      if (!EqualsIgnoringCase(extension, ".csv")) name = "CSV:" + name;
    }
    if (format_ == ExchangeFormat::Shapefile) ShapefileEncodingOptions(path_, options);
    gdal::DatasetPtr dataset(GDALDataset::Open(name.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR,
                                               drivers.List(), options.List(), nullptr));
    if (!dataset) {
      std::string formatName(info.name);
      for (char& c : formatName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      throw KorvagridError("файл «" + path_.string() + "» не открывается как " + formatName +
                           messages.reasonSuffix());
    }
    return dataset;
  }

  // The first layer with a CRS sets the file's; a later layer in another
  // system is skipped.
  bool acceptLayerCrs(OGRLayer& layer) {
    const OGRSpatialReference* srs = layer.GetSpatialRef();
    const bool alwaysWgs84 = InfoOf(format_).wgs84Only;
    if (srs == nullptr) {
      content_.geographic = content_.geographic || alwaysWgs84;
      return true;
    }
    FileCrs crs = FileCrsOf(*srs);
    if (content_.crs) {
      if (!SameSystem(SpatialReferenceOf(*content_.crs), SpatialReferenceOf(crs))) {
        content_.messages.push_back(layerPrefix_ + "в другой системе координат («" + crs.label() +
                                    "», а не «" + content_.crs->label() + "»): пропущен");
        return false;
      }
    } else {
      content_.crs = std::move(crs);
      content_.geographic = content_.crs->geographic;
    }
    return true;
  }

  void skip(std::int64_t featureNumber, const std::string& why) {
    ++skipped_;
    if (skipped_ <= kListedSkipsLimit) {
      content_.messages.push_back(layerPrefix_ + "объект " + std::to_string(featureNumber) + ": " + why);
    }
  }

  void addPoint(std::string name, double first, double second, std::optional<double> height) {
    ExchangePoint point;
    point.name = std::move(name);
    point.first = first;
    point.second = second;
    point.height = height;
    point.line = static_cast<std::int64_t>(content_.points.size()) + 1;
    content_.points.push_back(std::move(point));
  }

  // Points of a geometry in the file's axis order (x east, y north); false
  // when it holds anything but points.
  static bool CollectPoints(const OGRGeometry& geometry, std::vector<const OGRPoint*>& points) {
    const OGRwkbGeometryType type = wkbFlatten(geometry.getGeometryType());
    if (type == wkbPoint) {
      points.push_back(geometry.toPoint());
      return true;
    }
    if (type == wkbMultiPoint || type == wkbGeometryCollection) {
      for (const OGRGeometry* part : *geometry.toGeometryCollection()) {
        if (!CollectPoints(*part, points)) return false;
      }
      return true;
    }
    return false;
  }

  void readGeometries(OGRLayer& layer) {
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    const int nameField = FindField(definition, kNameFields);
    const int heightField = FindField(definition, kHeightFields);
    std::int64_t number = 0;
    std::vector<const OGRPoint*> points;
    for (const OGRFeatureUniquePtr& feature : layer) {
      ++number;
      const OGRGeometry* geometry = feature->GetGeometryRef();
      if (geometry == nullptr) {
        skip(number, "нет координат, пропущен");
        continue;
      }
      points.clear();
      if (!CollectPoints(*geometry, points)) {
        skip(number, GeometryKind(geometry->getGeometryType()) + " — не точка, пропущен");
        continue;
      }
      if (points.empty() || std::ranges::any_of(points, [](const OGRPoint* p) { return p->IsEmpty(); })) {
        skip(number, "пустая точка, пропущен");
        continue;
      }
      const std::string name = nameField >= 0 && feature->IsFieldSetAndNotNull(nameField)
                                    ? Utf8Text(feature->GetFieldAsString(nameField))
                                    : std::string();
      const std::optional<double> fieldHeight = FieldNumber(*feature, heightField);
      for (const OGRPoint* p : points) {
        std::optional<double> height = fieldHeight;
        if (!height && p->Is3D()) height = p->getZ();
        addPoint(name, p->getY(), p->getX(), height);
      }
    }
  }

  // Rows of a CSV file whose header names the coordinate columns; false when
  // it names none, and the file's geometry (a WKT column) is read instead.
  bool readCsvColumns(OGRLayer& layer) {
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    int first = FindField(definition, kPlaneFirstColumns);
    int second = FindField(definition, kPlaneSecondColumns);
    bool geographic = false;
    if (first < 0 || second < 0) {
      first = FindField(definition, kGeographicFirstColumns);
      second = FindField(definition, kGeographicSecondColumns);
      geographic = true;
    }
    if (first < 0 || second < 0) {
      if (layer.GetGeomType() != wkbNone) return false;
      content_.messages.push_back(layerPrefix_ +
                                  "в заголовке нет столбцов координат (X и Y или Lat и Long): точек нет");
      return true;
    }
    if (!content_.crs) content_.geographic = geographic;
    const int nameField = FindField(definition, kNameFields);
    const int heightField = FindField(definition, kHeightFields);
    const std::string firstName = definition.GetFieldDefn(first)->GetNameRef();
    const std::string secondName = definition.GetFieldDefn(second)->GetNameRef();
    std::int64_t number = 0;
    for (const OGRFeatureUniquePtr& feature : layer) {
      ++number;
      const std::optional<double> a = FieldNumber(*feature, first);
      const std::optional<double> b = FieldNumber(*feature, second);
      if (!a || !b) {
        const int bad = a ? second : first;
        const std::string& column = a ? secondName : firstName;
        const std::string cell = feature->IsFieldSetAndNotNull(bad) ? Utf8Text(feature->GetFieldAsString(bad)) : "";
        skip(number, cell.empty() ? "нет значения в столбце " + column + ", пропущен"
                                  : "«" + cell + "» в столбце " + column + " — не число, пропущен");
        continue;
      }
      const std::string name = nameField >= 0 && feature->IsFieldSetAndNotNull(nameField)
                                   ? Utf8Text(feature->GetFieldAsString(nameField))
                                   : std::string();
      addPoint(name, *a, *b, FieldNumber(*feature, heightField));
    }
    return true;
  }

  // POINT entities; text labels at a point's position name it.
  void readDxfLayer(OGRLayer& layer) {
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    const int textField = definition.GetFieldIndex("Text");
    const int layerField = definition.GetFieldIndex("Layer");
    struct Candidate {
      std::int64_t number;
      double x, y;
      std::optional<double> z;
    };
    std::vector<Candidate> candidates;
    std::unordered_map<std::string, std::string> labels;  // position key → first label there
    std::int64_t number = 0;
    for (const OGRFeatureUniquePtr& feature : layer) {
      ++number;
      const OGRGeometry* geometry = feature->GetGeometryRef();
      if (geometry == nullptr) continue;  // blocks' definitions and the like carry no place
      const bool isText = textField >= 0 && feature->IsFieldSetAndNotNull(textField);
      if (wkbFlatten(geometry->getGeometryType()) != wkbPoint) {
        skip(number, GeometryKind(geometry->getGeometryType()) + " — не точка, пропущен");
        continue;
      }
      const OGRPoint& p = *geometry->toPoint();
      if (isText) {
        const bool heightLabel = layerField >= 0 && std::string_view(feature->GetFieldAsString(layerField)) == kDxfHeightLayer;
        if (!heightLabel) labels.try_emplace(PositionKey(p.getX(), p.getY()), Utf8Text(feature->GetFieldAsString(textField)));
        continue;
      }
      candidates.push_back({number, p.getX(), p.getY(), p.Is3D() ? std::optional<double>(p.getZ()) : std::nullopt});
    }
    for (const Candidate& c : candidates) {
      const auto label = labels.find(PositionKey(c.x, c.y));
      addPoint(label != labels.end() ? label->second : std::string(), c.y, c.x, c.z);
    }
  }

  static std::string PositionKey(double x, double y) {
    return std::to_string(std::llround(x / kLabelMatchMetres)) + ";" + std::to_string(std::llround(y / kLabelMatchMetres));
  }

  fs::path path_;
  ExchangeFormat format_;
  PointFileContent content_;
  std::string layerPrefix_;
  std::size_t skipped_ = 0;
};

}  // namespace

std::string FileCrs::label() const {
  std::string text = name.empty() ? "без имени" : name;
  if (epsg) text += " (EPSG:" + std::to_string(*epsg) + ")";
  return text;
}

PointFileContent ReadPointFile(const fs::path& path, ExchangeFormat format) {
  return Reader(path, format).read();
}

bool CrsMatches(const FileCrs& file, const CrsDescription& system) {
  return SameSystem(SpatialReferenceOf(file), gdal::SpatialReferenceOf(system));
}

std::optional<std::string> SourceMismatch(const PointFileContent& file, const CrsDescription& system) {
  if (file.crs) {
    if (CrsMatches(*file.crs, system)) return std::nullopt;
    return "файл в системе координат «" + file.crs->label() + "», а исходная система — " + SystemLabel(system);
  }
  if (file.geographic == system.geographic) return std::nullopt;
  return file.geographic ? "в файле широты и долготы, а исходная система " + SystemLabel(system) + " плоская"
                         : "в файле плоские координаты, а исходная система " + SystemLabel(system) +
                               " географическая";
}

}  // namespace korvagrid
