// CSV written directly, not through OGR's CSV driver: that driver formats
// every feature with printf through an editable-layer copy and took 6 µs per
// point, twenty times the result text; this writer is a buffered append.
// OGR's CSV driver reads what it writes (the tests read every file back).
//
// RFC 4180: comma-separated, CR LF line ends, a field in double quotes when
// it holds a comma, a double quote, CR, LF or a leading or trailing space,
// with its double quotes doubled. UTF-8 without a byte-order mark. Numbers are
// the shortest decimals that read back as the same doubles, "." as decimal
// point; a point without height has an empty H.
#include <cstdio>

#include "common/error.h"
#include "exchange/decimal_text.h"
#include "exchange/point_file_sinks.h"

namespace korvagrid {
namespace {

// The buffer is handed to the file when it grows past this many bytes.
constexpr std::size_t kFlushBytes = 1 << 16;

bool NeedsQuotes(std::string_view field) {
  return field.find_first_of(",\"\r\n") != std::string_view::npos ||
         (!field.empty() && (field.front() == ' ' || field.back() == ' '));
}

void AppendField(std::string& out, std::string_view field) {
  if (!NeedsQuotes(field)) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

class CsvPointSink final : public PointFileWriter::Sink {
 public:
  CsvPointSink(const std::filesystem::path& path, const CrsDescription& crs) : path_(path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) throw KorvagridError("файл «" + path.string() + "» не создан");
    buffer_.reserve(kFlushBytes + 1024);
    buffer_ += "Name,";
    AppendField(buffer_, crs.firstAxisName);
    buffer_ += ',';
    AppendField(buffer_, crs.secondAxisName);
    buffer_ += ',';
    AppendField(buffer_, crs.heightName);
    buffer_ += "\r\n";
  }

  ~CsvPointSink() override {
    if (file_ != nullptr) std::fclose(file_);
  }

  void add(const ExchangePoint& point, std::string_view name, std::vector<std::string>& /*notes*/) override {
    AppendField(buffer_, name);
    buffer_ += ',';
    AppendDecimal(buffer_, point.first);
    buffer_ += ',';
    AppendDecimal(buffer_, point.second);
    buffer_ += ',';
    if (point.height) AppendDecimal(buffer_, *point.height);
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushBytes) flush();
  }

  void close() override {
    flush();
    const int result = std::fclose(file_);
    file_ = nullptr;
    if (result != 0) throw KorvagridError("файл «" + path_.string() + "» не дописан");
  }

 private:
  void flush() {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
      throw KorvagridError("файл «" + path_.string() + "» не дописан");
    }
    buffer_.clear();
  }

  std::filesystem::path path_;
  std::FILE* file_ = nullptr;
  std::string buffer_;
};

}  // namespace

std::unique_ptr<PointFileWriter::Sink> MakeCsvPointSink(const std::filesystem::path& path,
                                                         const CrsDescription& crs) {
  return std::make_unique<CsvPointSink>(path, crs);
}

}  // namespace korvagrid
