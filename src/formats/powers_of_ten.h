#pragma once
// Powers of ten for the readers and writers of decimal numbers.
#include <array>
#include <cstdint>

namespace korvagrid::detail {

// 10^0 ... 10^22: every one an exact double, so that an integer below 2^53
// divided by one of them (or multiplied) is correctly rounded.
inline constexpr std::array<double, 23> kExactPowersOfTen{
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Integers up to this are exact doubles.
inline constexpr std::uint64_t kExactIntegerLimit = std::uint64_t{1} << 53;

// 10^k as an integer, k up to 19.
constexpr std::uint64_t IntegerPowerOfTen(int k) {
  std::uint64_t power = 1;
  for (int i = 0; i < k; ++i) power *= 10;
  return power;
}

// The same as a table, for k known only at run time.
inline constexpr std::array<std::uint64_t, 20> kIntegerPowersOfTen = [] {
  std::array<std::uint64_t, 20> powers{};
  for (int k = 0; k < static_cast<int>(powers.size()); ++k) powers[static_cast<std::size_t>(k)] = IntegerPowerOfTen(k);
  return powers;
}();

}  // namespace korvagrid::detail
