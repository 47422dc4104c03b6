#include "formats/read_str.h"

#include <algorithm>
#include <utility>

namespace korvagrid {
namespace {

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

void AssignTrimmedLine(std::string& line, std::string_view piece) {
  const std::size_t first = piece.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    line.assign("  ");
    return;
  }
  const std::size_t last = piece.find_last_not_of(' ');
  line.assign(piece.substr(first, last - first + 1));
  line.append("  ");
}

std::string TrimmedLine(std::string_view piece) {
  std::string line;
  AssignTrimmedLine(line, piece);
  return line;
}

void ReplaceTabsBySpaces(std::string& line) {
  if (line.find('\t') == std::string::npos) return;
  std::string out;
  out.reserve(line.size() + 8);
  for (const char c : line) {
    if (c == '\t') {
      out.append("  ");
    } else {
      out.push_back(c);
    }
  }
  line.swap(out);
}

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(' ') == std::string_view::npos; }

void ReadStr(std::string& text, std::string& line, std::int64_t lineCounter, std::int64_t& position) {
  // 0-based index of the first character of the line, and where the search
  // for its CR LF starts: the first call starts at the beginning, later calls
  // on the LF that `position` points at.
  std::int64_t start = 0;
  std::size_t searchFrom = 0;
  if (lineCounter != 0) {
    start = std::max<std::int64_t>(position, 0);
    searchFrom = static_cast<std::size_t>(std::max<std::int64_t>(position, 1) - 1);
  }
  const std::size_t found = text.find(kCrLf, searchFrom);
  std::int64_t n = 0;  // 1-based position of the CR that ends the line
  if (found == std::string::npos) {
    text.push_back(' ');
    n = static_cast<std::int64_t>(text.size());
  } else {
    n = static_cast<std::int64_t>(found) + 1;
  }
  const std::int64_t count = n - 1 - start;
  if (count <= 0 || start >= static_cast<std::int64_t>(text.size())) {
    AssignTrimmedLine(line, std::string_view{});
  } else {
    AssignTrimmedLine(line, std::string_view(text).substr(static_cast<std::size_t>(start),
                                                          static_cast<std::size_t>(count)));
  }
  position = n + 1;
}

std::string PrepareRunText(std::string_view raw) {
  const std::size_t first = raw.find_first_not_of(' ');
  std::string text;
  if (first != std::string_view::npos) {
    const std::size_t last = raw.find_last_not_of(' ');
    text.reserve(last - first + 4);
    text.assign(raw.substr(first, last - first + 1));
  }
  text.append(" \r\n");
  return text;
}

std::string NormalizeLineEnds(std::string_view raw) {
  std::string out;
  out.reserve(raw.size() + raw.size() / 16 + 2);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\r') {
      out.append(kCrLf);
      if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out.append(kCrLf);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

LineSource::~LineSource() = default;

TextLineSource::TextLineSource(std::string preparedText) : text_(std::move(preparedText)) {}

bool TextLineSource::next(std::string& line) {
  if (position_ >= static_cast<std::int64_t>(text_.size()) - 1) {
    line.assign("  ");
    return false;
  }
  ReadStr(text_, line, lineCounter_, position_);
  ++lineCounter_;
  return true;
}

StreamLineSource::StreamLineSource(std::istream& in) : in_(in) {}

bool StreamLineSource::next(std::string& line) {
  if (finished_) {
    line.assign("  ");
    return false;
  }
  if (!segmentLoaded_) {
    if (std::getline(in_, segment_, '\n')) {
      // eof set: the segment ran to the end of the stream without an LF.
      segmentIsLast_ = in_.eof();
      if (!segmentIsLast_ && !segment_.empty() && segment_.back() == '\r') segment_.pop_back();
    } else {
      // Nothing after the last line end: that empty piece is the last line.
      segment_.clear();
      segmentIsLast_ = true;
    }
    segmentLoaded_ = true;
    segmentPos_ = 0;
  }
  // Inside a segment, every CR left is a lone CR and ends a line.
  const std::string_view segment = segment_;
  const std::size_t cr = segment.find('\r', segmentPos_);
  if (cr != std::string_view::npos) {
    AssignTrimmedLine(line, segment.substr(segmentPos_, cr - segmentPos_));
    segmentPos_ = cr + 1;
    return true;
  }
  AssignTrimmedLine(line, segment.substr(segmentPos_));
  segmentLoaded_ = false;
  finished_ = segmentIsLast_;
  return true;
}

}  // namespace korvagrid
