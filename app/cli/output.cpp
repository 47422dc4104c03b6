#include "output.h"

#include <unistd.h>
#include <cstring>
#include <system_error>

#include "common/error.h"

namespace korvagrid::cli {
namespace {

constexpr std::size_t kFlushSize = 1 << 20;

// Every CR LF of `text` becomes LF, in place; lone CRs stay. The text is
// moved down run by run between line ends.
void DropCrBeforeLf(std::string& text) {
  std::size_t kept = text.find("\r\n");  // where the next run goes
  if (kept == std::string::npos) return;
  std::size_t from = kept + 1;  // the next run, starting with the LF after a dropped CR
  while (true) {
    const std::size_t cr = text.find("\r\n", from);
    const std::size_t end = cr == std::string::npos ? text.size() : cr;
    std::memmove(text.data() + kept, text.data() + from, end - from);
    kept += end - from;
    if (cr == std::string::npos) break;
    from = cr + 1;
  }
  text.resize(kept);
}

}  // namespace

Output::Output(const std::string& path, TextEncoding encoding) : encoding_(encoding) {
  if (path.empty() || path == "-") {
    file_ = stdout;
    return;
  }
  target_ = path;
  std::error_code ec;
  // A symbolic link is followed: its target is replaced and the link stays.
  if (std::filesystem::is_symlink(target_, ec)) {
    const std::filesystem::path resolved = std::filesystem::canonical(target_, ec);
    if (!ec) target_ = resolved;
  }
  const std::filesystem::file_status status = std::filesystem::status(target_, ec);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
      !std::filesystem::is_directory(status)) {
    // A device or a pipe (/dev/null, a FIFO) is written to as it is: a file
    // renamed onto it would take its place.
    file_ = std::fopen(target_.c_str(), "wb");
    if (file_ == nullptr) {
      throw KorvagridError("не удаётся открыть «" + target_.string() +
                           "»: " + std::generic_category().message(errno));
    }
    ownsFile_ = true;
    direct_ = true;
    return;
  }
  temporary_ = target_;
  temporary_ += ".korvagrid-" + std::to_string(::getpid()) + ".tmp";
  file_ = std::fopen(temporary_.c_str(), "wb");
  if (file_ == nullptr) {
    throw KorvagridError("не удаётся создать файл «" + target_.string() +
                         "»: " + std::generic_category().message(errno));
  }
  ownsFile_ = true;
}

Output::~Output() {
  if (ownsFile_ && file_ != nullptr) std::fclose(file_);
  if (ownsFile_ && !finished_ && !direct_) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
  }
}

void Output::append(std::string_view text) {
  buffer_.append(text);
  if (buffer_.size() >= kFlushSize) flush();
}

bool OutputLineFeedEnds(std::string_view eolOption, LineEnd inputFirstLineEnd) {
  if (eolOption == "lf") return true;
  if (eolOption == "crlf") return false;
  return inputFirstLineEnd == LineEnd::Lf;
}

void Output::flush() {
  if (buffer_.empty()) return;
  // A CR at the end of what is written waits for the text after it: it may
  // start a CR LF.
  bool holdCr = false;
  if (lineFeed_) {
    DropCrBeforeLf(buffer_);
    holdCr = !finishing_ && !buffer_.empty() && buffer_.back() == '\r';
    if (holdCr) buffer_.pop_back();
  }
  std::string_view bytes = buffer_;
  EncodedText encoded;
  if (encoding_ == TextEncoding::Cp1251) {
    encoded = EncodeText(buffer_, TextEncoding::Cp1251);
    if (!encoded.missingCharacter.empty()) {
      throw KorvagridError("символа «" + encoded.missingCharacter + "» нет в кодировке cp1251");
    }
    bytes = encoded.bytes;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    throw KorvagridError("ошибка записи в «" + (ownsFile_ ? target_.string() : "stdout") + "»");
  }
  // The buffer keeps its capacity for the next block.
  buffer_.clear();
  if (holdCr) buffer_.push_back('\r');
}

void Output::finish() {
  finishing_ = true;
  flush();
  if (std::fflush(file_) != 0) {
    throw KorvagridError("ошибка записи в «" + (ownsFile_ ? target_.string() : "stdout") + "»");
  }
  if (!ownsFile_) return;
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) throw KorvagridError("ошибка записи в «" + target_.string() + "»");
  if (direct_) {
    finished_ = true;
    return;
  }
  std::error_code error;
  std::filesystem::rename(temporary_, target_, error);
  if (error) {
    throw KorvagridError("не удаётся записать «" + target_.string() + "»: " + error.message());
  }
  finished_ = true;
}

}  // namespace korvagrid::cli
