#include "documents/text_encoding.h"

#include <array>

#include "common/ascii.h"

namespace korvagrid {
namespace {

// Code points of the cp1251 bytes 0x80 to 0xFF. The byte 0x98 has no
// character in the code page; it is carried as U+0098 so that it survives a
// read and a write unchanged.
constexpr std::array<char16_t, 128> kCp1251High{{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0: А..З
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0: а..з
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
}};

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The cp1251 byte of a code point above U+007F, or -1 when there is none.
int Cp1251Byte(char32_t cp) {
  // Reverse table built once from the forward one.
  struct Entry {
    char16_t cp;
    unsigned char byte;
  };
  static const std::array<Entry, 128> sorted = [] {
    std::array<Entry, 128> entries{};
    for (std::size_t i = 0; i < 128; ++i) {
      entries[i] = {kCp1251High[i], static_cast<unsigned char>(0x80 + i)};
    }
    for (std::size_t i = 1; i < entries.size(); ++i) {  // insertion sort by code point
      const Entry e = entries[i];
      std::size_t j = i;
      while (j > 0 && entries[j - 1].cp > e.cp) {
        entries[j] = entries[j - 1];
        --j;
      }
      entries[j] = e;
    }
    return entries;
  }();
  if (cp > 0xFFFF) return -1;
  std::size_t lo = 0;
  std::size_t hi = sorted.size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (sorted[mid].cp < cp) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  if (lo < sorted.size() && sorted[lo].cp == cp) return sorted[lo].byte;
  return -1;
}

// Decodes the UTF-8 sequence at `i` of valid UTF-8 text; advances `i`.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  int length = 1;
  char32_t cp = b0;
  if (b0 >= 0xF0) {
    length = 4;
    cp = b0 & 0x07;
  } else if (b0 >= 0xE0) {
    length = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xC0) {
    length = 2;
    cp = b0 & 0x1F;
  }
  for (int k = 1; k < length; ++k) {
    cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
  }
  i += static_cast<std::size_t>(length);
  return cp;
}

// "\xNN" for the first byte above 0x7F of a text that is not valid UTF-8.
std::string FirstInvalidByte(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80) {
      shown.reserve(4);
      shown.push_back('\\');
      shown.push_back('x');
      shown.push_back(kHex[b >> 4]);
      shown.push_back(kHex[b & 0x0F]);
      break;
    }
  }
  return shown;
}

}  // namespace

std::string_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Cp1251:
      return "Windows-1251";
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Utf8Bom:
      return "UTF-8 с BOM";
  }
  return "UTF-8";
}

bool Utf8Validator::feed(std::string_view bytes) {
  if (!valid_) return false;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (pending_ == 0) {
      i += AsciiPrefix(bytes.substr(i));
      if (i == bytes.size()) break;
    }
    const auto b = static_cast<unsigned char>(bytes[i++]);
    if (pending_ > 0) {
      if (b < lowerBound_ || b > upperBound_) {
        valid_ = false;
        return false;
      }
      lowerBound_ = 0x80;
      upperBound_ = 0xBF;
      --pending_;
      continue;
    }
    if (b < 0x80) continue;
    sawNonAscii_ = true;
    // The first continuation byte's range excludes overlong forms, the
    // surrogates U+D800..U+DFFF and code points above U+10FFFF.
    if (b >= 0xC2 && b <= 0xDF) {
      pending_ = 1;
    } else if (b == 0xE0) {
      pending_ = 2;
      lowerBound_ = 0xA0;
    } else if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF) {
      pending_ = 2;
    } else if (b == 0xED) {
      pending_ = 2;
      upperBound_ = 0x9F;
    } else if (b == 0xF0) {
      pending_ = 3;
      lowerBound_ = 0x90;
    } else if (b >= 0xF1 && b <= 0xF3) {
      pending_ = 3;
    } else if (b == 0xF4) {
      pending_ = 3;
      upperBound_ = 0x8F;
    } else {
      valid_ = false;
      return false;
    }
  }
  return true;
}

bool IsValidUtf8(std::string_view bytes) {
  // Lines are ASCII with at most a few two-byte characters (Cyrillic
  // letters, "°"), which are checked here; from any other non-ASCII byte on
  // the validator decides, starting on that character's first byte.
  std::size_t i = AsciiPrefix(bytes);
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const bool twoBytes = lead >= 0xC2 && lead <= 0xDF && i + 1 < bytes.size() &&
                          (static_cast<unsigned char>(bytes[i + 1]) & 0xC0) == 0x80;
    if (!twoBytes) {
      Utf8Validator validator;
      validator.feed(bytes.substr(i));
      return validator.complete();
    }
    i += 2;
    i += AsciiPrefix(bytes.substr(i));
  }
  return true;
}

TextEncoding DetectEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) {
    return IsValidUtf8(bytes.substr(kUtf8Bom.size())) ? TextEncoding::Utf8Bom
                                                      : TextEncoding::Cp1251;
  }
  Utf8Validator validator;
  validator.feed(bytes);
  return validator.complete() && validator.sawNonAscii() ? TextEncoding::Utf8
                                                         : TextEncoding::Cp1251;
}

void AppendCp1251AsUtf8(std::string_view cp1251, std::string& out) {
  std::size_t i = 0;
  while (i < cp1251.size()) {
    const std::size_t ascii = AsciiPrefix(cp1251.substr(i));
    out.append(cp1251.substr(i, ascii));
    i += ascii;
    if (i == cp1251.size()) break;
    AppendUtf8(kCp1251High[static_cast<unsigned char>(cp1251[i]) - 0x80u], out);
    ++i;
  }
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() + cp1251.size() / 2);
  AppendCp1251AsUtf8(cp1251, out);
  return out;
}

DecodedText DecodeText(std::string_view bytes) {
  DecodedText decoded;
  decoded.encoding = DetectEncoding(bytes);
  switch (decoded.encoding) {
    case TextEncoding::Utf8Bom:
      decoded.text.assign(bytes.substr(kUtf8Bom.size()));
      break;
    case TextEncoding::Utf8:
      decoded.text.assign(bytes);
      break;
    case TextEncoding::Cp1251:
      decoded.text = Cp1251ToUtf8(bytes);
      break;
  }
  return decoded;
}

EncodedText EncodeText(std::string_view text, TextEncoding wanted) {
  EncodedText encoded;
  const bool valid = IsValidUtf8(text);
  if (wanted == TextEncoding::Cp1251 && valid) {
    encoded.bytes.reserve(text.size());
    std::size_t i = 0;
    bool fits = true;
    while (i < text.size()) {
      const std::size_t start = i;
      const char32_t cp = NextCodePoint(text, i);
      if (cp < 0x80) {
        encoded.bytes.push_back(static_cast<char>(cp));
        continue;
      }
      const int byte = Cp1251Byte(cp);
      if (byte < 0) {
        encoded.missingCharacter.assign(text.substr(start, i - start));
        fits = false;
        break;
      }
      encoded.bytes.push_back(static_cast<char>(byte));
    }
    if (fits) {
      encoded.encoding = TextEncoding::Cp1251;
      return encoded;
    }
    encoded.bytes.clear();
  } else if (wanted == TextEncoding::Cp1251) {
    // Not UTF-8 at all (nothing the program reads produces such a text):
    // keep every byte as it stands rather than guess a character for it.
    encoded.missingCharacter = FirstInvalidByte(text);
  }
  encoded.encoding = wanted == TextEncoding::Utf8Bom ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
  encoded.bytes.reserve(text.size() + kUtf8Bom.size());
  if (encoded.encoding == TextEncoding::Utf8Bom) encoded.bytes.append(kUtf8Bom);
  encoded.bytes.append(text);
  return encoded;
}

}  // namespace korvagrid
