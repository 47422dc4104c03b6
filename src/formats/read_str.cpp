#include "formats/read_str.h"

#include <algorithm>
#include <cstring>
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

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(' ') == std::string_view::npos;
}

void ReadStr(std::string& text, std::string& line, std::int64_t lineCounter,
             std::int64_t& position) {
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

bool StreamLineSource::fill() {
  constexpr std::size_t kBlockSize = 1 << 16;
  if (atEnd_) return false;
  // The unread rest moves to the front; the buffer only grows for a line
  // longer than a block, and is never cleared.
  const std::size_t kept = size_ - pos_;
  if (pos_ != 0) std::memmove(buffer_.data(), buffer_.data() + pos_, kept);
  pos_ = 0;
  size_ = kept;
  if (buffer_.size() < kept + kBlockSize) buffer_.resize(kept + kBlockSize);
  const std::streamsize got =
      in_.rdbuf() == nullptr
          ? 0
          : in_.rdbuf()->sgetn(buffer_.data() + kept, static_cast<std::streamsize>(kBlockSize));
  size_ = kept + static_cast<std::size_t>(std::max<std::streamsize>(got, 0));
  if (got <= 0) atEnd_ = true;
  return got > 0;
}

void StreamLineSource::take(std::string& line, std::string_view piece) {
  if (piece.find('\t') == std::string_view::npos) {
    AssignTrimmedLine(line, piece);
    return;
  }
  tabbed_.assign(piece);
  ReplaceTabsBySpaces(tabbed_);
  AssignTrimmedLine(line, tabbed_);
}

bool StreamLineSource::nextPiece(std::string_view& piece) {
  if (finished_) return false;
  while (true) {
    const std::string_view unread = std::string_view(buffer_.data(), size_).substr(pos_);
    // A line ends at the first LF, or earlier at a CR (CR LF or a lone CR).
    std::size_t end = unread.find('\n');
    const std::size_t cr = unread.substr(0, end).find('\r');
    if (cr != std::string_view::npos) end = cr;
    if (end != std::string_view::npos) {
      const bool isCr = unread[end] == '\r';
      if (isCr && end + 1 == unread.size() && fill()) continue;  // is an LF next?
      // fill() may have moved the buffer.
      piece = std::string_view(buffer_.data(), size_).substr(pos_, end);
      pos_ += end + 1;
      const bool crLf = isCr && pos_ < size_ && buffer_[pos_] == '\n';
      if (crLf) ++pos_;
      if (firstLineEnd_ == LineEnd::None)
        firstLineEnd_ = crLf ? LineEnd::CrLf : isCr ? LineEnd::Cr : LineEnd::Lf;
      return true;
    }
    if (fill()) continue;
    // The piece after the last line end is a line when it holds anything.
    finished_ = true;
    piece = std::string_view(buffer_.data(), size_).substr(pos_);
    pos_ = size_;
    return !piece.empty();
  }
}

bool StreamLineSource::next(std::string& line) {
  std::string_view piece;
  if (!nextPiece(piece)) {
    line.assign("  ");
    return false;
  }
  take(line, piece);
  return true;
}

bool StreamLineSource::takeRawLine(std::string& line) {
  std::string_view piece;
  if (!nextPiece(piece)) {
    line.assign("  ");
    return false;
  }
  line.assign(piece);
  return true;
}

void StreamLineSource::finishLine(std::string& line) const {
  ReplaceTabsBySpaces(line);
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string::npos) {
    line.assign("  ");
    return;
  }
  const std::size_t last = line.find_last_not_of(' ');
  line.resize(last + 1);
  line.erase(0, first);
  line.append("  ");
}

}  // namespace korvagrid
