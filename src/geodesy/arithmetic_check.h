#pragma once
// Arithmetic faults of the geodetic operations.
//
// The geodetic chains work in IEEE double precision, where an overflow or a
// division by zero does not stop the computation but leaves an infinity or a
// NaN behind. The conversion run must instead stop at the line whose point
// produced such a value, so every geodetic operation checks its inputs and
// its results with these helpers and throws KorvagridError
// ("арифметическая ошибка: ...") naming the operation and the value.
//
// The conversions to and from packed degrees split an angle into integer
// parts; they are only called with values checked here, so a NaN or an
// infinity never reaches an integer conversion.
#include <cmath>
#include <string>
#include <string_view>

#include "common/error.h"
#include "geodesy/constants.h"
#include "geodesy/packed_angle.h"

namespace korvagrid {

// Throws the arithmetic fault of `operation` for the quantity `name`.
[[noreturn]] inline void ThrowArithmeticFault(std::string_view operation, std::string_view name,
                                              double value) {
  throw KorvagridError("арифметическая ошибка: " + std::string(operation) + ", " +
                       std::string(name) + " = " + std::to_string(value));
}

// Returns `value` when it is finite; throws the arithmetic fault otherwise.
inline double RequireFinite(std::string_view operation, std::string_view name, double value) {
  if (!std::isfinite(value)) ThrowArithmeticFault(operation, name, value);
  return value;
}

// Throws the division-by-zero fault when `divisor` is zero.
inline void RequireNonZeroDivisor(std::string_view operation, std::string_view name,
                                  double divisor) {
  if (divisor == 0.0) {
    throw KorvagridError("арифметическая ошибка: " + std::string(operation) +
                         ", деление на ноль: " + std::string(name) + " = 0");
  }
}

// `RadToPacked` of a radian value whose degree value is finite.
inline double CheckedRadToPacked(std::string_view operation, std::string_view name,
                                 double radians) {
  RequireFinite(operation, name, radians * kDegreesPerRadian);
  return RadToPacked(radians);
}

// `PackedToRad` of a finite packed value.
inline double CheckedPackedToRad(std::string_view operation, std::string_view name,
                                 double packed) {
  RequireFinite(operation, name, packed);
  return PackedToRad(packed);
}

}  // namespace korvagrid
