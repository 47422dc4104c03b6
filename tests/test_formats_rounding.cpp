// The masks round halves away from zero on the decimal value a double stands
// for (its shortest round-trip decimal). Format takes a fast route through the
// scaled binary value; this test holds it to an independent decimal oracle
// over random values, over exact decimal halves and their binary neighbours.
#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "formats/number_format.h"

namespace korvagrid {
namespace {

// Rounds the shortest decimal of `value` to `decimals` places, half away from
// zero, with plain string arithmetic, and writes it as "-ddd.ddd".
std::string Oracle(double value, int decimals) {
  std::array<char, 512> buffer{};
  const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                               std::chars_format::fixed);
  std::string text(buffer.data(), r.ptr);
  std::size_t point = text.find('.');
  if (point == std::string::npos) {
    text += '.';
    point = text.size() - 1;
  }
  std::string integer = text.substr(0, point);
  std::string fraction = text.substr(point + 1);
  fraction.resize(std::max<std::size_t>(fraction.size(), static_cast<std::size_t>(decimals) + 1), '0');
  const bool up = fraction[static_cast<std::size_t>(decimals)] >= '5';
  std::string digits = integer + fraction.substr(0, static_cast<std::size_t>(decimals));
  if (up) {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      digits.insert(digits.begin(), '1');
    } else {
      ++digits[static_cast<std::size_t>(i)];
    }
  }
  std::string intPart = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
  const std::string fracPart = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
  intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size() - 1));
  const bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
  return (std::signbit(value) && !zero ? "-" : "") + intPart + (decimals > 0 ? "." + fracPart : "");
}

std::string Mask(int decimals) {
  return decimals == 0 ? std::string("0") : "0." + std::string(static_cast<std::size_t>(decimals), '0');
}

TEST(FormatRounding, AgreesWithDecimalRoundingOnRandomValues) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-8, 15);
  for (int i = 0; i < 200000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    const int decimals = i % 10;
    ASSERT_EQ(Format(value, Mask(decimals), '.'), Oracle(value, decimals)) << value << " with " << decimals;
  }
}

TEST(FormatRounding, ExactDecimalHalvesRoundAwayFromZero) {
  // k + 0.5 units of the last place, written as decimals, and the doubles
  // just below and above them: the cases the binary route cannot decide.
  std::mt19937_64 random(7);
  std::uniform_int_distribution<long long> units(0, 99999999999LL);
  for (int i = 0; i < 100000; ++i) {
    const int decimals = i % 7;
    const std::string text = std::to_string(units(random)) + "5";
    double value = 0;
    std::string decimal = text;
    decimal.insert(decimal.size() - static_cast<std::size_t>(decimals) - 1, ".");
    std::from_chars(decimal.data(), decimal.data() + decimal.size(), value);
    for (const double v : {value, std::nextafter(value, 0.0), std::nextafter(value, 1e300), -value}) {
      ASSERT_EQ(Format(v, Mask(decimals), '.'), Oracle(v, decimals)) << decimal << " with " << decimals;
    }
  }
}

}  // namespace
}  // namespace korvagrid
