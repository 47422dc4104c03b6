#pragma once
// Taking lines out of an input text.
//
// ReadStr is the line reader of every task that reads points: it keeps no
// state of its own; the caller holds the text, the read position and the
// count of lines already taken. LineSource wraps it for the conversion run,
// together with a source that reads a stream line by line and yields the very
// same lines, so that texts of any size can be converted without holding them
// in memory twice.
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace korvagrid {

// Takes the next line from `text` (line ends CR LF).
//
// lineCounter 0 means the first call: reading starts at the beginning of the
// text. Any other value continues from `position`. Positions are 1-based:
// `position` is left on the LF of the CR LF that ended the line, which is
// where the next call starts. When no CR LF follows, one space is appended to
// `text` itself and the rest of the text is the line; position then becomes
// the new length plus 1.
//
// `line` receives the line without its leading and trailing spaces (only the
// space character is trimmed; TABs stay), followed by exactly two spaces. An
// empty line is "  ". The caller ends its loop when position is no longer
// less than the length of the text minus 1.
void ReadStr(std::string& text, std::string& line, std::int64_t lineCounter,
             std::int64_t& position);

// `line` = `piece` without leading and trailing spaces (only the space
// character), followed by two spaces: the form in which RadStr1 reads a line.
void AssignTrimmedLine(std::string& line, std::string_view piece);
std::string TrimmedLine(std::string_view piece);

// Every TAB of the line replaced by two spaces, as each reader takes its lines.
void ReplaceTabsBySpaces(std::string& line);

// True when the line holds nothing but spaces (or nothing).
bool IsBlankLine(std::string_view line);

// The run's preparation of an input text: spaces at both ends removed, then
// one space and CR LF appended. Every line of a prepared text ends in CR LF.
std::string PrepareRunText(std::string_view raw);

// The text with every lone LF and lone CR turned into CR LF.
std::string NormalizeLineEnds(std::string_view raw);

// A sequence of input lines, each trimmed of spaces and followed by two
// spaces, as ReadStr returns them.
class LineSource {
 public:
  virtual ~LineSource();
  // The next line; false when no line is left, and then `line` is "  " (what
  // ReadStr returns when asked past the end), so a record that wants more
  // lines than are left reads empty ones.
  virtual bool next(std::string& line) = 0;
  // The next line with the work on it that depends on nothing else (TABs,
  // trimming, decoding) left to finishLine, which may run later and on
  // another thread: finishLine(takeRawLine()) is next(). Finishing a
  // finished line changes nothing. By default the line comes finished.
  virtual bool takeRawLine(std::string& line) { return next(line); }
  virtual void finishLine(std::string& /*line*/) const {}
};

// Lines of a prepared text (see PrepareRunText), taken with ReadStr itself.
// It stops when the read position is no longer less than the length of the
// text minus 1, the loop condition of the conversion run.
class TextLineSource final : public LineSource {
 public:
  explicit TextLineSource(std::string preparedText);
  bool next(std::string& line) override;

  std::int64_t linesTaken() const { return lineCounter_; }
  std::int64_t position() const { return position_; }

 private:
  std::string text_;
  std::int64_t lineCounter_ = 0;
  std::int64_t position_ = 0;
};

// How a line of a stream ended.
enum class LineEnd { None, CrLf, Lf, Cr };

// Lines of a stream as the command line reads them: a line ends at CR LF, at
// a lone LF or at a lone CR; every TAB counts as two spaces, as "Open..."
// reads a file, before the line is trimmed of spaces and followed by two
// spaces. A line end ends its line: the empty piece after a final line end
// is no line, so a text of N lines gives N lines (and an empty text none),
// whereas the window's run sees one blank line more. Otherwise the lines are
// those that TextLineSource yields for PrepareRunText of the same text as
// "Open..." reads it.
class StreamLineSource final : public LineSource {
 public:
  explicit StreamLineSource(std::istream& in);
  bool next(std::string& line) override;
  bool takeRawLine(std::string& line) override;  // the line without its line end
  void finishLine(std::string& line) const override;

  // How the first line of the stream ended; None until a line end was read
  // (and for a text without any).
  LineEnd firstLineEnd() const { return firstLineEnd_; }

 private:
  // Reads the next block of the stream behind what is left unread; false at its end.
  bool fill();
  // The next line as it stands in the stream (valid until the next call);
  // false when no line is left.
  bool nextPiece(std::string_view& piece);
  void take(std::string& line, std::string_view piece);

  std::istream& in_;
  std::string buffer_;     // blocks of the stream: buffer_[0, size_) holds bytes read
  std::size_t size_ = 0;
  std::size_t pos_ = 0;    // start of the unread part of buffer_
  bool atEnd_ = false;     // the stream has no more bytes
  bool finished_ = false;  // the last line was handed out
  LineEnd firstLineEnd_ = LineEnd::None;
  std::string tabbed_;  // a line whose TABs became spaces
};

}  // namespace korvagrid
