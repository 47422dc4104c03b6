#include "documents/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace korvagrid {
namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

// An open file descriptor, closed when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the error of close (a delayed write error shows here).
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// Opens a regular file for reading; -1 with `error` set otherwise. A folder,
// a pipe or a device is refused before anything is read from it: opening a
// pipe would wait for a writer, and a device such as /dev/zero never ends.
int OpenRegularFile(const std::filesystem::path& path, int& error) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(info.st_mode)) {
    error = ENODEV;
  } else if (const int flags = ::fcntl(fd, F_GETFL);
             flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    error = errno;
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

// Reads up to buffer.size() bytes; returns the count (0 at the end) or -errno.
std::int64_t ReadSome(int fd, std::vector<char>& buffer) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n >= 0) return n;
    if (errno != EINTR) return -errno;
  }
}

// Position of the next `c` at or after `from`; bytes.size() when there is none.
std::size_t FindByte(std::string_view bytes, char c, std::size_t from) {
  if (from >= bytes.size()) return bytes.size();
  const void* found = std::memchr(bytes.data() + from, c, bytes.size() - from);
  return found == nullptr
             ? bytes.size()
             : static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
}

std::size_t CountByte(std::string_view bytes, char c) {
  std::size_t count = 0;
  for (std::size_t p = FindByte(bytes, c, 0); p < bytes.size(); p = FindByte(bytes, c, p + 1))
    ++count;
  return count;
}

// Bytes above 0x7F, counted eight at a time.
std::size_t CountHighBytes(std::string_view bytes) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, 8);
    count += static_cast<std::size_t>(std::popcount(word & kHighBits));
  }
  for (; i < bytes.size(); ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) ++count;
  }
  return count;
}

// What the first pass learns about a file.
struct Survey {
  TextEncoding encoding = TextEncoding::Cp1251;
  std::size_t sizeEstimate = 0;  // an upper bound of the decoded text's size
};

// First pass: the encoding, from at most `limit` bytes (what lies beyond
// cannot get into the text anyway), and how large the text will be.
// Returns 0 or an errno.
int SurveyFile(int fd, std::size_t limit, Survey& survey) {
  std::vector<char> buffer(kChunkBytes);
  Utf8Validator validator;
  std::size_t total = 0;
  std::size_t growth = 2;  // a final line without a break gets CR LF
  std::size_t nonAscii = 0;
  bool bom = false;
  bool first = true;
  bool reachedEnd = false;
  while (total < limit) {
    const std::int64_t n = ReadSome(fd, buffer);
    if (n < 0) return static_cast<int>(-n);
    if (n == 0) {
      reachedEnd = true;
      break;
    }
    std::string_view chunk(buffer.data(), static_cast<std::size_t>(n));
    total += chunk.size();
    growth += CountByte(chunk, '\t') + CountByte(chunk, '\n') + CountByte(chunk, '\r');
    nonAscii += CountHighBytes(chunk);
    if (first) {
      first = false;
      // A byte-order mark split over reads is not worth handling: the first
      // read of a regular file returns at least its first three bytes.
      if (chunk.starts_with(kUtf8Bom)) {
        bom = true;
        chunk.remove_prefix(kUtf8Bom.size());
      }
    }
    validator.feed(chunk);
  }
  // A cut at the limit may split a sequence: judge the part read.
  const bool utf8 = reachedEnd ? validator.complete() : validator.valid();
  if (bom && utf8) {
    survey.encoding = TextEncoding::Utf8Bom;
  } else if (!bom && utf8 && validator.sawNonAscii()) {
    survey.encoding = TextEncoding::Utf8;
  } else {
    survey.encoding = TextEncoding::Cp1251;
  }
  // cp1251 bytes above 0x7F become two or three UTF-8 bytes.
  survey.sizeEstimate =
      total + growth + (survey.encoding == TextEncoding::Cp1251 ? 2 * nonAscii : 0);
  return 0;
}

// Second pass: builds the text line by line.
class LineBuilder {
 public:
  LineBuilder(ReadTextResult& result, std::size_t maxTextBytes)
      : result_(result), max_(maxTextBytes) {}

  // Takes the next bytes of the file; false once the text is full.
  bool feed(std::string_view bytes, bool cp1251) {
    // The next line end or TAB, each found once with memchr.
    std::size_t nextCr = FindByte(bytes, '\r', 0);
    std::size_t nextLf = FindByte(bytes, '\n', 0);
    std::size_t nextTab = FindByte(bytes, '\t', 0);
    std::size_t i = 0;
    while (i < bytes.size()) {
      const std::size_t p = std::min({nextCr, nextLf, nextTab});
      if (p > i) {
        pendingCr_ = false;
        if (cp1251) {
          AppendCp1251AsUtf8(bytes.substr(i, p - i), result_.text);
        } else {
          result_.text.append(bytes.substr(i, p - i));
        }
        if (!fits()) return false;
      }
      if (p == bytes.size()) break;
      const char c = bytes[p];
      i = p + 1;
      if (c == '\t') {
        nextTab = FindByte(bytes, '\t', i);
        pendingCr_ = false;
        result_.text.append("  ");
        if (!fits()) return false;
      } else if (c == '\r') {
        nextCr = FindByte(bytes, '\r', i);
        if (!endLine()) return false;
        pendingCr_ = true;
      } else {
        nextLf = FindByte(bytes, '\n', i);
        if (pendingCr_) {
          pendingCr_ = false;  // the LF of a CR LF
        } else if (!endLine()) {
          return false;
        }
      }
    }
    return true;
  }

  // The end of the file: a last line without a line break is a line too.
  bool finish() { return result_.text.size() > lineStart_ ? endLine() : true; }

  // Drops an unfinished line (after a failure).
  void dropUnfinishedLine() { result_.text.resize(lineStart_); }

 private:
  bool endLine() {
    result_.text.append("\r\n");
    if (!fits()) return false;
    lineStart_ = result_.text.size();
    ++result_.lines;
    return true;
  }

  bool fits() {
    if (result_.text.size() <= max_) return true;
    dropUnfinishedLine();
    result_.status = ReadStatus::TooLarge;
    result_.problem = "текст больше " + std::to_string(max_ / (1024 * 1024)) + " МБ";
    return false;
  }

  ReadTextResult& result_;
  std::size_t max_;
  std::size_t lineStart_ = 0;
  bool pendingCr_ = false;
};

ReadTextResult Failed(ReadStatus status, int errorNumber) {
  ReadTextResult result;
  result.status = status;
  result.problem = DescribeFileError(errorNumber);
  return result;
}

std::atomic<unsigned> temporaryCounter{0};

}  // namespace

std::string DescribeFileError(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
      return "нет такого файла или папки";
    case EACCES:
    case EPERM:
      return "нет доступа";
    case EISDIR:
      return "это папка, а не файл";
    case ENOTDIR:
      return "часть пути не является папкой";
    case ENOSPC:
      return "на диске нет места";
    case EDQUOT:
      return "превышена дисковая квота";
    case EROFS:
      return "диск доступен только для чтения";
    case ENAMETOOLONG:
      return "слишком длинное имя";
    case EMFILE:
    case ENFILE:
      return "открыто слишком много файлов";
    case EFBIG:
      return "файл слишком велик";
    case EIO:
      return "ошибка ввода-вывода";
    case EBUSY:
      return "файл занят";
    case ENODEV:
      return "это не обычный файл";
    default:
      return "ошибка " + std::to_string(errorNumber) + " (" +
             std::generic_category().message(errorNumber) + ")";
  }
}

ReadTextResult ReadTextDocument(const std::filesystem::path& path, std::size_t maxTextBytes) {
  int error = 0;
  FileHandle fd(OpenRegularFile(path, error));
  if (fd.get() < 0) return Failed(ReadStatus::CannotOpen, error);

  Survey survey;
  if (const int error = SurveyFile(fd.get(), maxTextBytes + 4, survey); error != 0) {
    return Failed(ReadStatus::CannotOpen, error);
  }
  if (::lseek(fd.get(), survey.encoding == TextEncoding::Utf8Bom ? 3 : 0, SEEK_SET) < 0) {
    // Not seekable (a pipe): the first pass used it up.
    return Failed(ReadStatus::CannotOpen, errno);
  }

  ReadTextResult result;
  result.encoding = survey.encoding;
  result.text.reserve(std::min(survey.sizeEstimate, maxTextBytes + 4 * kChunkBytes));
  LineBuilder builder(result, maxTextBytes);
  const bool cp1251 = survey.encoding == TextEncoding::Cp1251;
  Utf8Validator validator;
  std::vector<char> buffer(kChunkBytes);
  for (;;) {
    const std::int64_t n = ReadSome(fd.get(), buffer);
    if (n < 0) {
      builder.dropUnfinishedLine();
      result.status = ReadStatus::ReadFailed;
      result.problem = DescribeFileError(static_cast<int>(-n));
      return result;
    }
    if (n == 0) break;
    const std::string_view chunk(buffer.data(), static_cast<std::size_t>(n));
    if (!cp1251 && !validator.feed(chunk)) {
      // The first pass found UTF-8: the file has changed since.
      builder.dropUnfinishedLine();
      result.status = ReadStatus::ReadFailed;
      result.problem = "файл изменился во время чтения";
      return result;
    }
    if (!builder.feed(chunk, cp1251)) return result;  // the size limit
  }
  if (!cp1251 && !validator.complete()) {
    builder.dropUnfinishedLine();
    result.status = ReadStatus::ReadFailed;
    result.problem = "файл изменился во время чтения";
    return result;
  }
  builder.finish();
  return result;
}

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::size_t maxBytes) {
  int error = 0;
  FileHandle fd(OpenRegularFile(path, error));
  if (fd.get() < 0) return std::nullopt;
  std::string bytes;
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const std::int64_t n = ReadSome(fd.get(), buffer);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    bytes.append(buffer.data(), static_cast<std::size_t>(n));
    if (bytes.size() > maxBytes) return std::nullopt;
  }
  return bytes;
}

ReadTextResult DecodeTextDocument(std::string_view bytes, std::size_t maxTextBytes) {
  ReadTextResult result;
  // What lies beyond the limit cannot get into the text: judge the part before it.
  const std::string_view judged = bytes.substr(0, std::min(bytes.size(), maxTextBytes + 4));
  Utf8Validator validator;
  const bool bom = judged.starts_with(kUtf8Bom);
  validator.feed(bom ? judged.substr(kUtf8Bom.size()) : judged);
  const bool utf8 = judged.size() == bytes.size() ? validator.complete() : validator.valid();
  if (bom && utf8) {
    result.encoding = TextEncoding::Utf8Bom;
    bytes.remove_prefix(kUtf8Bom.size());
  } else if (!bom && utf8 && validator.sawNonAscii()) {
    result.encoding = TextEncoding::Utf8;
  }
  LineBuilder builder(result, maxTextBytes);
  if (builder.feed(bytes, result.encoding == TextEncoding::Cp1251)) builder.finish();
  return result;
}

WriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  namespace fs = std::filesystem;
  WriteResult result;
  std::error_code ec;
  fs::path target = path;
  if (fs::is_symlink(path, ec)) {
    const fs::path resolved = fs::canonical(path, ec);
    if (!ec) target = resolved;
  }
  if (target.filename().empty()) {
    result.problem = DescribeFileError(EISDIR);
    return result;
  }

  struct stat existing {};
  const bool replacing = ::stat(target.c_str(), &existing) == 0;
  if (replacing && !S_ISREG(existing.st_mode)) {
    // A folder, a device or a pipe: a file renamed onto it would take its place.
    result.problem = DescribeFileError(S_ISDIR(existing.st_mode) ? EISDIR : ENODEV);
    return result;
  }

  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  fs::path temporary;
  int fdNumber = -1;
  for (int attempt = 0; attempt < 100 && fdNumber < 0; ++attempt) {
    temporary = folder / (".korvagrid-" + std::to_string(::getpid()) + "-" +
                          std::to_string(temporaryCounter.fetch_add(1)) + ".tmp");
    fdNumber = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fdNumber < 0 && errno != EEXIST && errno != EINTR) break;
  }
  if (fdNumber < 0) {
    result.problem = DescribeFileError(errno);
    return result;
  }
  FileHandle fd(fdNumber);

  auto fail = [&](int errorNumber) {
    fd.close();
    ::unlink(temporary.c_str());
    result.problem = DescribeFileError(errorNumber);
    return result;
  };

  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) return fail(errno);
  if (replacing) {
    // The new file takes the place of the old one: keep its owner and
    // permissions where the system lets us (best effort).
    if (::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0) {
      // Only root may give a file away; the user's own file keeps the user anyway.
    }
    ::fchmod(fd.get(), existing.st_mode & 07777);
  }
  if (const int error = fd.close(); error != 0) {
    ::unlink(temporary.c_str());
    result.problem = DescribeFileError(error);
    return result;
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    result.problem = DescribeFileError(error);
    return result;
  }
  result.ok = true;
  return result;
}

SaveResult SaveTextDocument(const std::filesystem::path& path, std::string_view text,
                            TextEncoding wanted, FileReader reader) {
  EncodedText encoded = EncodeText(text, wanted);
  bool readsBackDifferently = false;
  if (reader == FileReader::DetectsEncoding) {
    if (encoded.encoding == TextEncoding::Cp1251) {
      readsBackDifferently = DetectEncoding(encoded.bytes) != TextEncoding::Cp1251;
    } else if (encoded.encoding == TextEncoding::Utf8) {
      readsBackDifferently = encoded.bytes.starts_with(kUtf8Bom);
    }
  }
  if (readsBackDifferently) {
    std::string missing = std::move(encoded.missingCharacter);
    encoded = EncodeText(text, TextEncoding::Utf8Bom);
    encoded.missingCharacter = std::move(missing);
  }
  encoded.bytes.append("\r\n");
  const WriteResult written = WriteFileAtomically(path, encoded.bytes);
  SaveResult result;
  result.ok = written.ok;
  result.problem = written.problem;
  result.encoding = encoded.encoding;
  result.missingCharacter = std::move(encoded.missingCharacter);
  result.byteOrderMarkAdded = readsBackDifferently;
  return result;
}

}  // namespace korvagrid
