// GeoPackages: GDAL's GPKG driver makes the file (its metadata tables, the
// layer's CRS entry and its feature table with the fields "name" and
// "height", no spatial index), and SQLite itself then puts the points into
// the feature table, many rows to a prepared statement. GDAL inserts one row
// per statement, and with the table's AUTOINCREMENT key every statement also
// rewrites sqlite_sequence: 5 µs a point, twenty times the result text. Rows
// in statements of kRowsPerStatement took 0.8 µs a point on the same machine.
//
// A row is SQLite's next fid, the geometry as a GeoPackage point blob (the
// "GP" header with version 0, the flags of a header without envelope in the
// machine's byte order and the layer's srs_id, then the WKB Point easting,
// northing — what GDAL writes for a point), the name, and the height or NULL.
//
// The triggers by which GDAL keeps the layer's feature count in
// gpkg_ogr_contents run once per row and tripled the time: they are taken off
// while the rows go in, put back as they were, and the count is set once.
// Any other trigger on the table stays and runs. The layer's extent in
// gpkg_contents is set from the points. Journal and disk waits are off and
// all rows go in one transaction: the file is a temporary one until complete.
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "common/error.h"
#include "exchange/point_file_sinks.h"

namespace korvagrid {
namespace {

constexpr int kRowsPerStatement = 64;

// GeoPackage geometry header (8 bytes) followed by a WKB Point (21 bytes).
constexpr std::size_t kBlobBytes = 29;
constexpr unsigned char kFlagsLittleEndian = 0x01;  // no envelope, not empty, standard
constexpr std::uint32_t kWkbPoint = 1;
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// The names SQLite and GDAL give the feature-count triggers of a table.
constexpr const char* kCountTriggersQuery =
    "SELECT name, sql FROM sqlite_master WHERE type = 'trigger' AND tbl_name = ?1 AND "
    "(name = 'trigger_insert_feature_count_' || ?1 OR name = 'trigger_delete_feature_count_' || ?1)";

std::string Quoted(std::string_view identifier) {
  std::string quoted = "\"";
  for (const char c : identifier) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

class Database {
 public:
  explicit Database(const std::filesystem::path& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      const std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : "нет памяти";
      sqlite3_close(db_);
      db_ = nullptr;
      throw KorvagridError("GeoPackage «" + path.string() + "» не открыт: " + reason);
    }
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* get() const { return db_; }
  void execute(const std::string& sql) const {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fail();
  }
  [[noreturn]] void fail() const { throw KorvagridError(std::string("GeoPackage: ") + sqlite3_errmsg(db_)); }
  // Closes the file; an error here means it is not complete.
  void close() {
    const int result = sqlite3_close(db_);
    db_ = nullptr;
    if (result != SQLITE_OK) throw KorvagridError("GeoPackage не закрыт");
  }

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(const Database& db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) db.fail();
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  sqlite3_stmt* get() const { return statement_; }
  // One step; true while it gives a row.
  bool step() const {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result != SQLITE_DONE) db_.fail();
    return false;
  }
  void run() const {
    step();
    sqlite3_reset(statement_);
  }
  std::string text(int column) const {
    const unsigned char* value = sqlite3_column_text(statement_, column);
    return value != nullptr ? reinterpret_cast<const char*>(value) : "";
  }

 private:
  const Database& db_;
  sqlite3_stmt* statement_ = nullptr;
};

class GeoPackagePointSink final : public PointFileWriter::Sink {
 public:
  GeoPackagePointSink(const std::filesystem::path& path, const std::string& layerName, const CrsDescription& crs) {
    // GDAL makes the file with the layer and closes it without rows.
    MakeOgrPointSink(ExchangeFormat::GeoPackage, path, layerName, crs)->close();
    db_ = std::make_unique<Database>(path);
    db_->execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
    readLayer();
    takeOffCountTriggers();
    db_->execute("BEGIN");
    const std::string insert =
        "INSERT INTO " + Quoted(table_) + " (" + Quoted(geometryColumn_) + ", \"name\", \"height\") VALUES ";
    std::string rows;
    for (int i = 0; i < kRowsPerStatement; ++i) rows += i == 0 ? "(?, ?, ?)" : ", (?, ?, ?)";
    many_ = std::make_unique<Statement>(*db_, insert + rows);
    one_ = std::make_unique<Statement>(*db_, insert + "(?, ?, ?)");
  }

  void add(const ExchangePoint& point, std::string_view name, std::vector<std::string>& /*notes*/) override {
    Row& row = rows_[pending_];
    row.name.assign(name);
    row.height = point.height;
    // The file's order: easting first, northing second.
    WritePoint(row.blob, point.second, point.first);
    minEast_ = std::min(minEast_, point.second);
    maxEast_ = std::max(maxEast_, point.second);
    minNorth_ = std::min(minNorth_, point.first);
    maxNorth_ = std::max(maxNorth_, point.first);
    if (++pending_ == kRowsPerStatement) {
      insert(*many_, 0, kRowsPerStatement);
      pending_ = 0;
    }
  }

  void close() override {
    for (int i = 0; i < pending_; ++i) insert(*one_, i, 1);
    pending_ = 0;
    many_.reset();
    one_.reset();
    for (const std::string& sql : countTriggers_) db_->execute(sql);
    if (hasCountTable_) {
      Statement count(*db_, "UPDATE gpkg_ogr_contents SET feature_count = ?1 WHERE lower(table_name) = lower(?2)");
      sqlite3_bind_int64(count.get(), 1, rowsWritten_);
      sqlite3_bind_text(count.get(), 2, table_.c_str(), -1, SQLITE_TRANSIENT);
      count.run();
    }
    if (rowsWritten_ > 0) {
      Statement extent(*db_,
                       "UPDATE gpkg_contents SET min_x = ?1, min_y = ?2, max_x = ?3, max_y = ?4, "
                       "last_change = strftime('%Y-%m-%dT%H:%M:%fZ', 'now') WHERE table_name = ?5");
      sqlite3_bind_double(extent.get(), 1, minEast_);
      sqlite3_bind_double(extent.get(), 2, minNorth_);
      sqlite3_bind_double(extent.get(), 3, maxEast_);
      sqlite3_bind_double(extent.get(), 4, maxNorth_);
      sqlite3_bind_text(extent.get(), 5, table_.c_str(), -1, SQLITE_TRANSIENT);
      extent.run();
    }
    db_->execute("COMMIT");
    db_->close();
  }

 private:
  struct Row {
    std::array<unsigned char, kBlobBytes> blob{};
    std::string name;
    std::optional<double> height;
  };

  // The feature table, its geometry column and its srs_id: GDAL's one layer.
  void readLayer() {
    Statement layer(*db_, "SELECT table_name, column_name, srs_id FROM gpkg_geometry_columns");
    if (!layer.step()) throw KorvagridError("GeoPackage без слоя точек");
    table_ = layer.text(0);
    geometryColumn_ = layer.text(1);
    const auto srsId = static_cast<std::int32_t>(sqlite3_column_int(layer.get(), 2));
    for (Row& row : rows_) {
      row.blob[0] = 'G';
      row.blob[1] = 'P';
      row.blob[2] = 0;  // version 1.0 of the binary form
      row.blob[3] = kLittleEndian ? kFlagsLittleEndian : 0;
      std::memcpy(&row.blob[4], &srsId, sizeof srsId);
      row.blob[8] = kLittleEndian ? 1 : 0;  // WKB byte order
      std::memcpy(&row.blob[9], &kWkbPoint, sizeof kWkbPoint);
    }
    Statement countTable(*db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'gpkg_ogr_contents'");
    hasCountTable_ = countTable.step();
  }

  void takeOffCountTriggers() {
    std::vector<std::string> names;
    {
      Statement triggers(*db_, kCountTriggersQuery);
      sqlite3_bind_text(triggers.get(), 1, table_.c_str(), -1, SQLITE_TRANSIENT);
      while (triggers.step()) {
        names.push_back(triggers.text(0));
        countTriggers_.push_back(triggers.text(1));
      }
    }
    for (const std::string& name : names) db_->execute("DROP TRIGGER " + Quoted(name));
  }

  static void WritePoint(std::array<unsigned char, kBlobBytes>& blob, double east, double north) {
    std::memcpy(&blob[13], &east, sizeof east);
    std::memcpy(&blob[21], &north, sizeof north);
  }

  void insert(const Statement& statement, int first, int count) {
    sqlite3_stmt* s = statement.get();
    for (int i = 0; i < count; ++i) {
      const Row& row = rows_[first + i];
      sqlite3_bind_blob(s, 3 * i + 1, row.blob.data(), static_cast<int>(row.blob.size()), SQLITE_STATIC);
      sqlite3_bind_text(s, 3 * i + 2, row.name.data(), static_cast<int>(row.name.size()), SQLITE_STATIC);
      if (row.height) {
        sqlite3_bind_double(s, 3 * i + 3, *row.height);
      } else {
        sqlite3_bind_null(s, 3 * i + 3);
      }
    }
    statement.run();
    rowsWritten_ += count;
  }

  std::unique_ptr<Database> db_;
  std::unique_ptr<Statement> many_;  // kRowsPerStatement rows
  std::unique_ptr<Statement> one_;   // the rows left at the end
  std::array<Row, kRowsPerStatement> rows_;
  int pending_ = 0;
  std::int64_t rowsWritten_ = 0;
  std::string table_;
  std::string geometryColumn_;
  bool hasCountTable_ = false;
  std::vector<std::string> countTriggers_;  // their CREATE statements
  double minEast_ = std::numeric_limits<double>::infinity();
  double maxEast_ = -std::numeric_limits<double>::infinity();
  double minNorth_ = std::numeric_limits<double>::infinity();
  double maxNorth_ = -std::numeric_limits<double>::infinity();
};

}  // namespace

std::unique_ptr<PointFileWriter::Sink> MakeGeoPackagePointSink(const std::filesystem::path& path,
                                                                const std::string& layerName,
                                                                const CrsDescription& crs) {
  return std::make_unique<GeoPackagePointSink>(path, layerName, crs);
}

}  // namespace korvagrid
