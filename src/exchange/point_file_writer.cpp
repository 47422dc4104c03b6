#include "exchange/point_file_writer.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "common/error.h"
#include "exchange/gdal_support.h"
#include "exchange/point_file_sinks.h"

namespace korvagrid {
namespace fs = std::filesystem;
namespace {

// Files that make up a Shapefile besides those we write: an index left from
// an earlier file of the same name would describe the old points.
constexpr std::string_view kShapefileCompanions[] = {".shp", ".shx", ".dbf", ".prj", ".cpg",
                                                     ".qix", ".sbn", ".sbx", ".qpj"};

std::string PathText(const fs::path& path) { return path.string(); }

// The temporary name beside the target: "<stem>.part-<pid>-<n><extension>",
// with the format's own extension so that GDAL recognises what it writes.
fs::path PartPath(const fs::path& target, ExchangeFormat format) {
  static std::atomic<int> counter{0};
  const std::string stem = target.stem().string() + ".part-" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter.fetch_add(1));
  return target.parent_path() / (stem + std::string(InfoOf(format).extension));
}

// The files a writing produced: the part file and its companions, which
// share its stem ("x.part-1-0.shp", "x.part-1-0.dbf", ...).
std::vector<fs::path> PartFiles(const fs::path& part) {
  std::vector<fs::path> files;
  const std::string prefix = part.stem().string() + ".";
  std::error_code error;
  const fs::path folder = part.parent_path().empty() ? fs::path(".") : part.parent_path();
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix)) files.push_back(entry.path());
  }
  return files;
}

fs::path ResolveTarget(const fs::path& path, ExchangeFormat format) {
  std::error_code error;
  fs::path target = path;
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    target = fs::weakly_canonical(target, error);
    if (error) throw KorvagridError("ссылка «" + PathText(path) + "» не ведёт к файлу: " + error.message());
  }
  const fs::file_status status = fs::status(target, error);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    throw KorvagridError("«" + PathText(path) + "» — не обычный файл, точки в него не записываются");
  }
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!fs::is_directory(folder, error)) {
    throw KorvagridError("папки «" + PathText(folder) + "» нет");
  }
  if (format == ExchangeFormat::Shapefile) {
    std::string extension = target.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".shp") {
      throw KorvagridError("имя файла Shapefile должно оканчиваться на .shp: «" + PathText(path) + "»");
    }
  }
  return target;
}

void AppendLineNumber(std::string& out, std::int64_t line) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, line);
  out.append(digits, result.ptr);
}

}  // namespace

std::optional<std::string> WriteRefusal(ExchangeFormat format, const CrsDescription& crs) {
  const ExchangeFormatInfo& info = InfoOf(format);
  if (!IsPointFileFormat(format)) {
    return "формат «" + std::string(info.name) + "» пишется текстом результатов, а не файлом точек";
  }
  const std::string formatName(info.title);
  if (info.wgs84Only && !crs.isWgs84()) {
    return formatName + " хранит только координаты WGS-84: система «" + crs.displayName +
           "» в него не записывается";
  }
  if (info.planeOnly && crs.geographic) {
    return formatName + " хранит только плоские координаты: географическая система «" + crs.displayName +
           "» в него не записывается";
  }
  return std::nullopt;
}

PointFileWriter::PointFileWriter(const fs::path& path, ExchangeFormat format, CrsDescription crs)
    : format_(format), crs_(std::move(crs)) {
  if (const std::optional<std::string> refusal = WriteRefusal(format, crs_)) throw KorvagridError(*refusal);
  target_ = ResolveTarget(path, format);
  partPath_ = PartPath(target_, format);
  gdal::EnsureRegistered();
  try {
    switch (format) {
      case ExchangeFormat::Csv:
        sink_ = MakeCsvPointSink(partPath_, crs_);
        break;
      case ExchangeFormat::Dxf:
        sink_ = MakeDxfPointSink(partPath_);
        break;
      case ExchangeFormat::GeoPackage:
        sink_ = MakeGeoPackagePointSink(partPath_, target_.stem().string(), crs_);
        break;
      default:
        sink_ = MakeOgrPointSink(format, partPath_, target_.stem().string(), crs_);
        break;
    }
  } catch (...) {
    discard();
    throw;
  }
}

PointFileWriter::~PointFileWriter() {
  if (sink_) discard();
}

void PointFileWriter::add(const ExchangePoint& point) {
  if (!sink_) throw KorvagridError("файл точек уже закрыт");
  if (!std::isfinite(point.first) || !std::isfinite(point.second) ||
      (point.height && !std::isfinite(*point.height))) {
    throw KorvagridError("точка в строке " + std::to_string(point.line) + ": координата не число");
  }
  std::string_view name = point.name;
  if (name.empty()) {
    nameBuffer_.clear();
    AppendLineNumber(nameBuffer_, point.line);
    name = nameBuffer_;
  }
  sink_->add(point, name, notes_);
  ++pointsWritten_;
}

void PointFileWriter::finish() {
  if (!sink_) throw KorvagridError("файл точек уже закрыт");
  try {
    sink_->close();
    sink_.reset();
    const std::vector<fs::path> parts = PartFiles(partPath_);
    const std::string partStem = partPath_.stem().string();
    const std::string targetStem = target_.stem().string();
    if (format_ == ExchangeFormat::Shapefile) {
      // The companions of an earlier Shapefile of this name go; ours replace them.
      for (const std::string_view extension : kShapefileCompanions) {
        std::error_code ignored;
        fs::remove(target_.parent_path() / (targetStem + std::string(extension)), ignored);
      }
    }
    for (const fs::path& part : parts) {
      // "x.part-1-0.dbf" becomes "x.dbf"; the main file takes the target's own name.
      const fs::path destination =
          part == partPath_ ? target_
                            : target_.parent_path() /
                                  (targetStem + part.filename().string().substr(partStem.size()));
      std::error_code error;
      fs::rename(part, destination, error);
      if (error) {
        throw KorvagridError("файл «" + PathText(destination) + "» не записан: " + error.message());
      }
    }
  } catch (...) {
    discard();
    throw;
  }
}

void PointFileWriter::discard() noexcept {
  sink_.reset();
  for (const fs::path& part : PartFiles(partPath_)) {
    std::error_code ignored;
    fs::remove(part, ignored);
  }
}

}  // namespace korvagrid
