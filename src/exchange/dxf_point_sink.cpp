// DXF drawings through OGR's DXF driver. Every point is a POINT entity on
// layer POINTS at (Y, X) with its height as Z (a 2D point when it has none),
// labelled by two text entities anchored at the point itself: the name on
// layer NAMES, its bottom-left corner at the point, and the height on layer
// HEIGHTS, its top-left corner at the point. OGR writes labels as MTEXT.
//
// A label's text passes through the DXF text codes: OGR's reader takes "{" and
// "}" as grouping and "%%c", "%%d", "%%p" as symbols, and OGR's writer breaks
// escapes of long texts; a name with them, or longer than about 35 Cyrillic
// letters, is written as it is and noted as one that may read back differently.
#include <ogrsf_frmts.h>

#include "common/error.h"
#include "exchange/decimal_text.h"
#include "exchange/gdal_support.h"
#include "exchange/point_file_sinks.h"
#include "formats/number_format.h"

namespace korvagrid {
namespace {

// Height of the label text in drawing units (metres): 2 mm on a 1:500 plan.
constexpr double kLabelHeightMetres = 1.0;
constexpr std::string_view kHeightLabelMask = "0.##0";

// OGR feature style anchors: 1 bottom-left, 7 top-left.
constexpr int kNameAnchor = 1;
constexpr int kHeightAnchor = 7;

// OGR's DXF writer cuts a label's escaped text into pieces of this many
// characters, also inside an escape, which its reader then shows as written.
constexpr std::size_t kTextPieceCharacters = 250;

bool HasTextCodes(std::string_view name) {
  return name.find_first_of("{}") != std::string_view::npos || name.find("%%") != std::string_view::npos;
}

// The length of a label as OGR writes it: seven characters ("\U+XXXX") for a
// character beyond ASCII, two for a space, a backslash, "^" or a control
// character, one for any other.
std::size_t EscapedLength(std::string_view text) {
  std::size_t length = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0xC0) {
      length += 7;  // the first byte of a multi-byte character
    } else if (byte >= 0x80) {
      continue;  // its continuation bytes
    } else if (c == ' ' || c == '\\' || c == '^' || byte < 0x20) {
      length += 2;
    } else {
      length += 1;
    }
  }
  return length;
}

class DxfPointSink final : public PointFileWriter::Sink {
 public:
  explicit DxfPointSink(const std::filesystem::path& path) {
    gdal::MessageCollector messages;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("DXF");
    if (driver == nullptr) throw KorvagridError("GDAL без драйвера «DXF»");
    dataset_.reset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!dataset_) throw KorvagridError("файл «" + path.string() + "» не создан" + messages.reasonSuffix());
    layer_ = dataset_->CreateLayer("entities", nullptr, wkbUnknown, nullptr);
    if (layer_ == nullptr) throw KorvagridError("чертёж DXF не создан" + messages.reasonSuffix());
    layerIndex_ = layer_->GetLayerDefn()->GetFieldIndex("Layer");
    if (layerIndex_ < 0) throw KorvagridError("чертёж DXF без поля «Layer»");
    feature_ = std::make_unique<OGRFeature>(layer_->GetLayerDefn());
    feature_->SetGeometryDirectly(new OGRPoint(0, 0));
    point_ = feature_->GetGeometryRef()->toPoint();
  }

  void add(const ExchangePoint& point, std::string_view name, std::vector<std::string>& notes) override {
    // Drawing axes: DXF X is the easting Y, DXF Y the northing X.
    point_->setX(point.second);
    point_->setY(point.first);
    if (point.height) {
      point_->setZ(*point.height);
    } else {
      point_->setCoordinateDimension(2);
    }
    write(point, kDxfPointLayer, nullptr);

    point_->setCoordinateDimension(2);
    write(point, kDxfNameLayer, labelStyle(name, kNameAnchor));
    if (HasTextCodes(name)) {
      notes.push_back("точка в строке " + std::to_string(point.line) + ": имя «" + std::string(name) +
                      "» в подписи DXF может читаться иначе («{», «}» и «%%» — коды текста DXF)");
    } else if (EscapedLength(name) > kTextPieceCharacters) {
      notes.push_back("точка в строке " + std::to_string(point.line) + ": имя «" + std::string(name) +
                      "» слишком длинно для подписи DXF и может читаться иначе");
    }
    if (point.height) {
      heightText_.clear();
      FormatTo(heightText_, *point.height, kHeightLabelMask, '.');
      write(point, kDxfHeightLayer, labelStyle(heightText_, kHeightAnchor));
    }
  }

  void close() override {
    gdal::MessageCollector messages;
    point_ = nullptr;
    feature_.reset();
    GDALClose(dataset_.release());
    if (!messages.lastError().empty()) throw KorvagridError("чертёж DXF не дописан" + messages.reasonSuffix());
  }

 private:
  // LABEL(f:"Arial",t:"<text>",s:<height>g,p:<anchor>) with "\" and the
  // double quote escaped inside the text.
  const char* labelStyle(std::string_view text, int anchor) {
    style_ = "LABEL(f:\"Arial\",t:\"";
    for (const char c : text) {
      if (c == '\\' || c == '"') style_ += '\\';
      style_ += c;
    }
    style_ += "\",s:";
    AppendDecimal(style_, kLabelHeightMetres);
    style_ += "g,p:";
    style_ += std::to_string(anchor);
    style_ += ')';
    return style_.c_str();
  }

  void write(const ExchangePoint& point, std::string_view layer, const char* style) {
    layerName_.assign(layer);
    feature_->SetFID(OGRNullFID);
    feature_->SetField(layerIndex_, layerName_.c_str());
    feature_->SetStyleString(style);
    gdal::MessageCollector messages;
    if (layer_->CreateFeature(feature_.get()) != OGRERR_NONE) {
      throw KorvagridError("точка в строке " + std::to_string(point.line) + " не записана в DXF" +
                           messages.reasonSuffix());
    }
  }

  gdal::DatasetPtr dataset_;
  OGRLayer* layer_ = nullptr;  // owned by dataset_
  std::unique_ptr<OGRFeature> feature_;
  OGRPoint* point_ = nullptr;  // owned by feature_
  int layerIndex_ = -1;
  std::string style_;
  std::string layerName_;
  std::string heightText_;
};

}  // namespace

std::unique_ptr<PointFileWriter::Sink> MakeDxfPointSink(const std::filesystem::path& path) {
  return std::make_unique<DxfPointSink>(path);
}

}  // namespace korvagrid
