#pragma once
// Decimal digits written two at a time: the pair "00" ... "99" is looked up
// instead of its two digits being divided out one after the other (each a
// multiplication waiting for the one before).
#include <cstdint>

namespace korvagrid::detail {

inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The two digits of `pair` (below 100) at `p`; returns the end.
inline char* WritePair(char* p, unsigned pair) {
  p[0] = kDigitPairs[2 * pair];
  p[1] = kDigitPairs[2 * pair + 1];
  return p + 2;
}

// The two digits of `pair` (below 100) written backwards ending at `p`;
// returns the first of them.
inline char* WritePairBackwards(char* p, unsigned pair) {
  *--p = kDigitPairs[2 * pair + 1];
  *--p = kDigitPairs[2 * pair];
  return p;
}

// The digits of `value` (none for 0), at least `count` of them (leading
// zeros), written backwards ending at `p`; returns the first of them. Below
// 2^32 the divisions by 100 are the cheaper 32-bit ones.
inline char* WriteDigitsBackwards(char* p, std::uint64_t value, int count) {
  char* const end = p;
  for (; value > 0xFFFFFFFFU; value /= 100) p = WritePairBackwards(p, static_cast<unsigned>(value % 100));
  auto rest = static_cast<std::uint32_t>(value);
  for (; rest >= 100; rest /= 100) p = WritePairBackwards(p, rest % 100);
  if (rest >= 10) {
    p = WritePairBackwards(p, rest);
  } else if (rest != 0) {
    *--p = static_cast<char>('0' + rest);
  }
  while (end - p < count) *--p = '0';
  return p;
}

}  // namespace korvagrid::detail
