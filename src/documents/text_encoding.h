#pragma once
// Encodings of the text files the system reads and writes. Inside the program
// every text is UTF-8; files are the single-byte Cyrillic code page (cp1251)
// or UTF-8, detected when a file is read and kept when it is written again.
#include <string>
#include <string_view>

namespace korvagrid {

enum class TextEncoding {
  Cp1251,   // the system's single-byte code page
  Utf8,     // UTF-8 without a byte-order mark
  Utf8Bom,  // UTF-8 that began with a byte-order mark, written back with it
};

}  // namespace korvagrid
