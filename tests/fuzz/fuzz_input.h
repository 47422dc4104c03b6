#pragma once
// Splitting fuzzer bytes into a few settings and a text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvagrid::fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // The next byte as a setting (0 once the bytes have run out).
  std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
  bool flag() { return (byte() & 1) != 0; }
  int choice(int count) { return byte() % count; }
  // All bytes left, as text.
  std::string rest() {
    const std::string text(reinterpret_cast<const char*>(data_ + position_), size_ - position_);
    position_ = size_;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// A decimal separator pair: "." with "," or "," with ".".
inline std::pair<char, char> Separators(bool comma) { return comma ? std::pair{',', '.'} : std::pair{'.', ','}; }

}  // namespace korvagrid::fuzz
