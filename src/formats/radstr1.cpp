#include "formats/radstr1.h"

#include <cstdint>
#include <optional>

#include "common/error.h"
#include "formats/field_scan.h"
#include "formats/number_parse.h"
#include "formats/signs.h"

namespace korvagrid {
namespace {

constexpr std::string_view kFieldNames[] = {"первом", "втором", "третьем"};

bool IsSpace(char c) { return c == ' ' || c == ';'; }  // ";" is read as a space

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t kExactIntegerLimit = std::uint64_t{1} << 53;

// The field of almost every line -- an optional sign, digits with at most one
// separator, at most 19 digits whose integer is below 2^53 and at most 22 of
// them decimals -- read without the general reader: the integer of its
// digits and the power of ten are exact doubles, so their quotient is the
// correctly rounded value, the one std::from_chars gives. Nothing for any
// other field (the general reader decides those, failures included).
std::optional<double> ReadCommonField(std::string_view field, char decimalSeparator) {
  std::size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  std::uint64_t digits = 0;
  int digitCount = 0;
  int decimals = 0;
  bool separator = false;
  for (; i < field.size(); ++i) {
    const char c = field[i];
    if (c >= '0' && c <= '9') {
      if (++digitCount > 19) return std::nullopt;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (separator) ++decimals;
    } else if (c == decimalSeparator && !separator) {
      separator = true;
    } else {
      return std::nullopt;
    }
  }
  if (digitCount == 0 || digits > kExactIntegerLimit || decimals > 22) return std::nullopt;
  const double value = static_cast<double>(digits) / kExactPowersOfTen[decimals];
  return negative ? -value : value;
}

double ConvertField(std::string_view field, int k, char decimalSeparator) {
  if (const std::optional<double> value = ReadCommonField(field, decimalSeparator)) return *value;
  if (const std::optional<double> value = TryParseNumber(field, decimalSeparator)) return *value;
  throw KorvagridError("не число в " + std::string(kFieldNames[k - 1]) +
                       " поле строки: " + detail::QuoteForMessage(field));
}

// The values of the line from `start` on, and the rest after them.
void ReadValues(std::string_view text, std::size_t start, PointRecord& record,
                char decimalSeparator, char otherSeparator, int layout) {
  const std::size_t stop = detail::ScanFields(
      text, start, true, decimalSeparator, otherSeparator, [&](int& k, std::string_view field) {
        switch (k) {
          case 1:
            record.first = ConvertField(field, k, decimalSeparator);
            return false;
          case 2:
            record.second = ConvertField(field, k, decimalSeparator);
            return layout == 2;
          default:
            record.third = ConvertField(field, 3, decimalSeparator);
            return true;
        }
      });

  // Rest of the line: from the separator that ended the last value, from its
  // first space on. A scan that stopped on the last character leaves nothing.
  if (stop + 1 < text.size()) {
    const std::string_view tail = text.substr(stop - 1);
    std::size_t space = 0;
    while (space < tail.size() && !IsSpace(tail[space])) ++space;
    if (space == tail.size()) {
      throw KorvagridError("в строке нет пробела после чисел: " + detail::QuoteForMessage(text));
    }
    std::string rest(tail.substr(space));
    for (char& c : rest) {
      if (c == ';') c = ' ';
    }
    record.rest = detail::TrimSpaces(rest);
  } else {
    record.rest.clear();
  }
}

}  // namespace

void RadStr1(std::string_view text, PointRecord& record, bool nameIn, char decimalSeparator,
             char otherSeparator, int layout) {
  std::size_t start = 0;
  if (nameIn) {
    std::size_t space = 0;
    while (space < text.size() && !IsSpace(text[space])) ++space;
    if (space == text.size()) {
      throw KorvagridError("в строке нет пробела после имени: " + detail::QuoteForMessage(text));
    }
    record.name.assign(text.substr(0, space));
    start = space + 1;
  }
  if (MayHoldUnicodeMinus(text.substr(start))) {
    // The name keeps its dashes; a dash before a number is its sign.
    const std::string ascii =
        std::string(text.substr(0, start)) + WithAsciiMinus(text.substr(start));
    ReadValues(ascii, start, record, decimalSeparator, otherSeparator, layout);
    return;
  }
  ReadValues(text, start, record, decimalSeparator, otherSeparator, layout);
}

}  // namespace korvagrid
