#pragma once
// Runs of ASCII bytes, found eight bytes at a time: texts are mostly ASCII,
// lines and files alike, and every line read passes here.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace korvagrid {

// Length of the run of ASCII bytes at the start of `bytes`.
inline std::size_t AsciiPrefix(std::string_view bytes) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const auto wordAt = [&bytes](std::size_t i) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, 8);
    return word;
  };
  std::size_t i = 0;
  while (i + 8 <= bytes.size()) {
    if ((wordAt(i) & kHighBits) != 0) break;
    i += 8;
  }
  // Fewer than eight bytes left after ASCII words: the last eight bytes as
  // one word tell whether they are ASCII too.
  if (i != bytes.size() && bytes.size() >= 8 && i + 8 > bytes.size() &&
      (wordAt(bytes.size() - 8) & kHighBits) == 0) {
    return bytes.size();
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

}  // namespace korvagrid
