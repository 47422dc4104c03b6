#pragma once
// Where korvagrid-cli writes: standard output, or a file that is written
// beside its final name and renamed into place only when complete, so that a
// failure half-way never destroys an earlier file. A device or a pipe given as
// the file is written to directly. Text is appended in UTF-8
// and written in the chosen encoding.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "conversion/run.h"
#include "documents/text_encoding.h"
#include "formats/read_str.h"

namespace korvagrid::cli {

class Output final : public ResultSink {
 public:
  // An empty path or "-" means standard output.
  Output(const std::string& path, TextEncoding encoding);
  ~Output() override;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void append(std::string_view text) override;
  // Lines are appended with CR LF ends; with `lineFeed` they are written
  // with LF alone (decided before the first line is written).
  void setLineFeedEnds(bool lineFeed) { lineFeed_ = lineFeed; }
  // Flushes and, for a file, renames it into place. Throws on a write failure.
  void finish();

 private:
  void flush();

  std::FILE* file_ = nullptr;
  bool ownsFile_ = false;
  bool finished_ = false;
  bool direct_ = false;    // a device or a pipe, written to without a temporary file
  bool lineFeed_ = false;  // CR LF written as LF
  bool finishing_ = false;
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  TextEncoding encoding_;
  std::string buffer_;
};

// The line ends of the output: "lf" or "crlf" as asked, else those of the
// input's first line (LF after LF, CR LF after CR LF or a lone CR, CR LF for
// an input without any). True for LF.
bool OutputLineFeedEnds(std::string_view eolOption, LineEnd inputFirstLineEnd);

}  // namespace korvagrid::cli
