// Writing N points of "42(zone6)" as the result text and as CSV, GeoPackage
// and Shapefile, the formats interleaved round by round so that the shared
// machine's load falls on all of them alike. Prints per format the median
// wall and CPU time and the median of the per-round ratios to the text.
//
//   korvagrid_exchange_timing [POINTS=1000000] [ROUNDS=3] [FOLDER=/tmp] [FORMATS=csv,gpkg,shp,sqlite]
//
// The text is what korvagrid-cli writes for a plane target with names and
// heights: name TAB X TAB Y TAB H with the result masks, CR LF, appended to a
// buffer handed to a file beside its name every 64 KiB and renamed into place.
//
// "sqlite" (when built with SQLite) puts the same rows into a table of the
// GeoPackage's feature table layout (AUTOINCREMENT key, point blob, name,
// height) with one prepared statement in one transaction, without journal or
// disk waits: what SQLite alone costs under the GeoPackage.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef KORVAGRID_TIMING_SQLITE
#include <sqlite3.h>
#endif

#include <cstring>

#include "exchange/crs_description.h"
#include "exchange/point_file_writer.h"
#include "formats/number_format.h"

namespace {

namespace fs = std::filesystem;
using korvagrid::ExchangeFormat;
using korvagrid::ExchangePoint;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::vector<ExchangePoint> MakePoints(std::int64_t count) {
  std::vector<ExchangePoint> points(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    ExchangePoint& p = points[static_cast<std::size_t>(i)];
    p.name = "P" + std::to_string(i + 1);
    p.first = 6012345.678 + static_cast<double>(i % 100000) * 1.001;             // X, metres
    p.second = 6512345.678 + static_cast<double>(i / 100000) * 997.3 + 0.125;  // Y with zone prefix
    p.height = 152.3 + static_cast<double>(i % 1000) * 0.01;
    p.line = i + 1;
  }
  return points;
}

void WriteText(const std::vector<ExchangePoint>& points, const fs::path& target) {
  const fs::path part = target.string() + ".part";
  std::FILE* file = std::fopen(part.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot create " + part.string());
  std::string buffer;
  buffer.reserve(1 << 17);
  for (const ExchangePoint& p : points) {
    buffer += p.name;
    buffer += '\t';
    korvagrid::FormatTo(buffer, p.first, "0.##0", '.');
    buffer += '\t';
    korvagrid::FormatTo(buffer, p.second, "0.##0 ", '.');
    buffer += '\t';
    korvagrid::FormatTo(buffer, *p.height, "0.##0 ", '.');
    buffer += "\r\n";
    if (buffer.size() >= (1 << 16)) {
      std::fwrite(buffer.data(), 1, buffer.size(), file);
      buffer.clear();
    }
  }
  std::fwrite(buffer.data(), 1, buffer.size(), file);
  std::fclose(file);
  fs::rename(part, target);
}

void WriteExchange(const std::vector<ExchangePoint>& points, const fs::path& target, ExchangeFormat format) {
  korvagrid::PointFileWriter writer(target, format, korvagrid::GaussKrugerZoneCrs("42(zone6)", 6));
  for (const ExchangePoint& p : points) writer.add(p);
  writer.finish();
}

#ifdef KORVAGRID_TIMING_SQLITE
void WriteSqliteRows(const std::vector<ExchangePoint>& points, const fs::path& target) {
  sqlite3* db = nullptr;
  if (sqlite3_open(target.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + target.string());
  sqlite3_exec(db,
               "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
               "CREATE TABLE p (fid INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, geom POINT, name TEXT, height REAL);"
               "BEGIN",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO p (geom, name, height) VALUES (?, ?, ?)", -1, &insert, nullptr);
  // GeoPackage point blob: "GP", version, flags, SRS id, then WKB of the point.
  unsigned char blob[29] = {'G', 'P', 0, 1, 0xF6, 0x6E, 0, 0, 1, 1, 0, 0, 0};  // SRS 28406
  for (const ExchangePoint& p : points) {
    std::memcpy(blob + 13, &p.second, 8);
    std::memcpy(blob + 21, &p.first, 8);
    sqlite3_bind_blob(insert, 1, blob, sizeof blob, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, p.name.data(), static_cast<int>(p.name.size()), SQLITE_STATIC);
    sqlite3_bind_double(insert, 3, *p.height);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}
#endif

struct Contender {
  std::string name;
  std::string extension;
  std::optional<ExchangeFormat> format;  // none for the text and for sqlite
  std::vector<double> wall, cpu, ratio;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t count = argc > 1 ? std::stoll(argv[1]) : 1000000;
  const int rounds = argc > 2 ? std::stoi(argv[2]) : 3;
  const fs::path folder = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
  const std::string formats = argc > 4 ? argv[4] : "csv,gpkg,shp,sqlite";

  std::vector<Contender> contenders{{"text", ".txt", std::nullopt, {}, {}, {}}};
  for (const auto& [name, extension, format] :
       {std::tuple{"csv", ".csv", ExchangeFormat::Csv}, std::tuple{"gpkg", ".gpkg", ExchangeFormat::GeoPackage},
        std::tuple{"shp", ".shp", ExchangeFormat::Shapefile}}) {
    if (formats.find(name) != std::string::npos) contenders.push_back({name, extension, format, {}, {}, {}});
  }
#ifdef KORVAGRID_TIMING_SQLITE
  if (formats.find("sqlite") != std::string::npos) contenders.push_back({"sqlite", ".sqlite", std::nullopt, {}, {}, {}});
#endif
  const std::vector<ExchangePoint> points = MakePoints(count);
  const std::string stem = "korvagrid-timing-" + std::to_string(::getpid());

  for (int round = 0; round < rounds; ++round) {
    double textWall = 0;
    for (Contender& c : contenders) {
      const fs::path target = folder / (stem + c.extension);
      const auto start = std::chrono::steady_clock::now();
      const double cpuStart = CpuSeconds();
      if (c.format) {
        WriteExchange(points, target, *c.format);
      } else if (c.name == "text") {
        WriteText(points, target);
#ifdef KORVAGRID_TIMING_SQLITE
      } else {
        WriteSqliteRows(points, target);
#endif
      }
      const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      c.wall.push_back(wall);
      c.cpu.push_back(CpuSeconds() - cpuStart);
      if (c.name == "text") textWall = wall;
      c.ratio.push_back(wall / textWall);
      for (const char* extension : {".txt", ".csv", ".gpkg", ".shp", ".shx", ".dbf", ".prj", ".cpg", ".sqlite"}) {
        std::error_code ignored;
        fs::remove(folder / (stem + extension), ignored);
      }
    }
  }

  std::printf("%lld points, %d rounds, median of the rounds\n", static_cast<long long>(count), rounds);
  std::printf("%-6s %10s %10s %14s\n", "format", "wall s", "cpu s", "wall / text");
  for (const Contender& c : contenders) {
    std::printf("%-6s %10.3f %10.3f %14.2f\n", c.name.c_str(), Median(c.wall), Median(c.cpu), Median(c.ratio));
  }
  return 0;
}
