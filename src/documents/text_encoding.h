#pragma once
// Encodings of the text files the system reads and writes. Inside the program
// every text is UTF-8; files are the single-byte Cyrillic code page (cp1251)
// or UTF-8, detected when a file is read and kept when it is written again.
//
// No character is ever lost or replaced: every one of the 256 cp1251 bytes has
// its own character (the one byte the code page leaves unassigned, 0x98, is
// carried as U+0098), so a cp1251 file reads and writes back byte for byte; a
// text holding a character that cp1251 lacks is written as UTF-8 instead.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvagrid {

enum class TextEncoding {
  Cp1251,   // the system's single-byte code page
  Utf8,     // UTF-8 without a byte-order mark
  Utf8Bom,  // UTF-8 that began with a byte-order mark, written back with it
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A short name of the encoding for messages: "Windows-1251", "UTF-8", "UTF-8 с BOM".
std::string_view EncodingName(TextEncoding encoding);

// Checks UTF-8 piece by piece, so that a file can be checked while it is read
// in chunks (a sequence may be split between two chunks). Overlong forms,
// surrogates and code points above U+10FFFF are invalid.
class Utf8Validator {
 public:
  // Feeds the next bytes; false once anything invalid has been seen.
  bool feed(std::string_view bytes);
  // True when everything fed is valid and no sequence is left unfinished.
  bool complete() const { return valid_ && pending_ == 0; }
  bool valid() const { return valid_; }
  bool sawNonAscii() const { return sawNonAscii_; }

 private:
  bool valid_ = true;
  bool sawNonAscii_ = false;
  int pending_ = 0;                  // continuation bytes still expected
  unsigned char lowerBound_ = 0x80;  // allowed range of the next continuation byte
  unsigned char upperBound_ = 0xBF;
};

bool IsValidUtf8(std::string_view bytes);

// The encoding of a whole file's bytes: a byte-order mark followed by valid
// UTF-8 gives Utf8Bom; valid UTF-8 containing a non-ASCII character gives
// Utf8; anything else (plain ASCII included) is cp1251.
TextEncoding DetectEncoding(std::string_view bytes);

struct DecodedText {
  std::string text;  // UTF-8, without the byte-order mark
  TextEncoding encoding = TextEncoding::Cp1251;
};

// The bytes of a file as UTF-8 text, in the encoding DetectEncoding finds.
DecodedText DecodeText(std::string_view bytes);

// Appends the UTF-8 form of cp1251 bytes to `out`.
void AppendCp1251AsUtf8(std::string_view cp1251, std::string& out);
std::string Cp1251ToUtf8(std::string_view cp1251);

struct EncodedText {
  std::string bytes;
  TextEncoding encoding = TextEncoding::Cp1251;  // the encoding actually written
  // When cp1251 was wanted but the text holds a character cp1251 lacks: that
  // character (UTF-8), which made the text go out as UTF-8. Empty otherwise.
  std::string missingCharacter;
};

// The bytes of `text` (UTF-8) in the encoding `wanted`. cp1251 is used only
// when every character fits; otherwise the text is written as UTF-8 and
// `missingCharacter` names the first character that did not fit. A text that
// is not valid UTF-8 is written byte for byte as it stands.
EncodedText EncodeText(std::string_view text, TextEncoding wanted);

}  // namespace korvagrid
