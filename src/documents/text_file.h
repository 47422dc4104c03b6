#pragma once
// Reading and writing the text files of the documents: the input list, the
// results and the help path file.
//
// Reading takes lines ended by CR LF, LF or a lone CR, turns every TAB into two
// spaces and gives each line back followed by CR LF. The file is read twice in
// chunks (once to find its encoding, once to decode it), so that memory holds
// only the text being built, never the file besides it.
//
// Writing never destroys the previous file: the text goes to a temporary file
// in the same folder, which replaces the target by a rename only once it has
// been written completely.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "documents/text_encoding.h"

namespace korvagrid {

// The most text the input box takes: 256 MiB of UTF-8.
inline constexpr std::size_t kMaxInputTextBytes = std::size_t{256} * 1024 * 1024;

enum class ReadStatus {
  Complete,    // every line was read
  TooLarge,    // the text reached the size limit; the lines before it were read
  CannotOpen,  // nothing was read: missing, a folder, no permission...
  ReadFailed,  // reading stopped half-way; the lines before the failure were read
};

struct ReadTextResult {
  std::string text;  // UTF-8, every line followed by CR LF
  TextEncoding encoding = TextEncoding::Cp1251;
  ReadStatus status = ReadStatus::Complete;
  std::int64_t lines = 0;  // lines in text
  std::string problem;     // why reading failed, in Russian; empty when complete
};

// Reads a text document; never throws for a problem with the file.
ReadTextResult ReadTextDocument(const std::filesystem::path& path,
                                std::size_t maxTextBytes = kMaxInputTextBytes);

// The same for bytes already in memory (standard input of the command line).
// The status is Complete or TooLarge.
ReadTextResult DecodeTextDocument(std::string_view bytes,
                                  std::size_t maxTextBytes = kMaxInputTextBytes);

struct WriteResult {
  bool ok = false;
  std::string problem;  // why the file was not written, in Russian
};

// Replaces the file at `path` by `bytes`: written to a temporary file beside
// it and renamed into place, so that on any failure the previous file stays
// as it was. A symbolic link is followed and its target replaced. The new
// file keeps the permissions of the file it replaces. A folder, a device or a
// pipe is not replaced: writing to it fails.
WriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

struct SaveResult {
  bool ok = false;
  TextEncoding encoding = TextEncoding::Cp1251;  // the encoding written
  std::string missingCharacter;  // set when cp1251 was wanted and UTF-8 written instead
  // Set when the bytes in the wanted encoding would have been read back as
  // another text, and UTF-8 with a byte-order mark was written instead.
  bool byteOrderMarkAdded = false;
  std::string problem;  // why the file was not written
};

// Who reads a saved file: this program, which finds the encoding of what it
// opens from the bytes, or a program that always reads cp1251 (OziExplorer).
enum class FileReader { DetectsEncoding, AlwaysCp1251 };

// Writes `text` followed by one CR LF in the encoding `wanted` (or in UTF-8
// when cp1251 lacks one of its characters). For a reader that detects the
// encoding, a text whose bytes would read back differently goes out as UTF-8
// with a byte-order mark: cp1251 bytes that happen to form UTF-8 ("Рџ" is
// the UTF-8 of "П"), and UTF-8 that starts with U+FEFF, which would be
// taken for a byte-order mark.
SaveResult SaveTextDocument(const std::filesystem::path& path, std::string_view text,
                            TextEncoding wanted, FileReader reader = FileReader::DetectsEncoding);

// The raw bytes of a small file (at most `maxBytes`); std::nullopt when it
// cannot be read, is a folder or is larger.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::size_t maxBytes);

// A Russian description of a failed file operation ("нет доступа", "это папка"...).
std::string DescribeFileError(int errorNumber);

}  // namespace korvagrid
