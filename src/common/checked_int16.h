#pragma once
// 16-bit signed integer arithmetic as the system defines it for zones, sheet
// numbers and angle splits: a result outside -32768..32767 is an overflow
// failure, and a double becomes an integer by rounding half to even.
#include <cmath>
#include <cstdint>
#include <string>

#include "common/error.h"

namespace korvagrid {

inline constexpr std::int32_t kInt16Min = -32768;
inline constexpr std::int32_t kInt16Max = 32767;

// Checks that a wide integer result fits 16 bits; throws the overflow failure otherwise.
inline std::int16_t CheckedInt16(std::int64_t value) {
  if (value < kInt16Min || value > kInt16Max) {
    throw KorvagridError("переполнение: " + std::to_string(value) + " вне диапазона -32768..32767");
  }
  return static_cast<std::int16_t>(value);
}

// A double converted to a 16-bit integer: rounded half to even, overflow checked.
inline std::int16_t RoundToInt16(double value) {
  if (!std::isfinite(value) || value < kInt16Min - 0.5 || value > kInt16Max + 0.5) {
    throw KorvagridError("переполнение: " + std::to_string(value) + " вне диапазона -32768..32767");
  }
  return CheckedInt16(static_cast<std::int64_t>(std::nearbyint(value)));
}

// A double truncated toward zero into a 16-bit integer, overflow checked.
inline std::int16_t TruncToInt16(double value) {
  if (!std::isfinite(value) || value <= kInt16Min - 1.0 || value >= kInt16Max + 1.0) {
    throw KorvagridError("переполнение: " + std::to_string(value) + " вне диапазона -32768..32767");
  }
  return static_cast<std::int16_t>(std::trunc(value));
}

}  // namespace korvagrid
