#include "formats/radstr1.h"

#include <cstdint>
#include <optional>

#include "common/error.h"
#include "formats/field_scan.h"
#include "formats/number_parse.h"
#include "formats/powers_of_ten.h"
#include "formats/signs.h"

namespace korvagrid {
namespace {

constexpr std::string_view kFieldNames[] = {"первом", "втором", "третьем"};

bool IsSpace(char c) { return c == ' ' || c == ';'; }  // ";" is read as a space


// The field of almost every line -- an optional minus, digits with at most
// one separator, at most 19 digits whose integer is below 2^53 and at most 22
// of them decimals -- is read while the scan passes over it: the integer of
// its digits and the power of ten are exact doubles, so their quotient is the
// correctly rounded value, the one std::from_chars gives. Any other field is
// left to the general reader, which decides failures too.
struct CommonField {
  bool negative = false;
  std::uint64_t digits = 0;  // all digits as one integer (wrapped beyond 19 digits)
  std::size_t count = 0;     // digits before and after the separator
  std::size_t decimals = 0;  // digits after the separator
  bool plain = true;         // nothing but the above

  std::optional<double> value() const {
    if (!plain || count == 0 || count > 19 || digits > detail::kExactIntegerLimit || decimals > 22) {
      return std::nullopt;
    }
    const double magnitude = static_cast<double>(digits) / detail::kExactPowersOfTen[decimals];
    return negative ? -magnitude : magnitude;
  }
};

// The digits from `p` on gathered into `digits`; returns the first character
// after them. With `kStopsBeforeEnd` the text is known to end in a character
// that is no digit, which stops every run of digits: the end need not be
// checked at each digit.
template <bool kStopsBeforeEnd>
const char* PassDigits(const char* p, const char* end, std::uint64_t& digits) {
  std::uint64_t n = digits;
  for (; kStopsBeforeEnd || p != end; ++p) {
    const auto d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
    if (d > 9) break;
    n = n * 10 + d;
  }
  digits = n;
  return p;
}

// Moves `i` over the field that starts there, gathering its digits; the
// field ends at the first character that is no number character.
template <bool kStopsBeforeEnd>
CommonField PassField(std::string_view text, std::size_t& i, char decimalSeparator,
                      char otherSeparator) {
  const char* p = text.data() + i;
  const char* const end = text.data() + text.size();
  CommonField f;
  if (p != end && *p == '-') {
    f.negative = true;
    ++p;
  }
  const char* const wholeStart = p;
  p = PassDigits<kStopsBeforeEnd>(p, end, f.digits);
  f.count = static_cast<std::size_t>(p - wholeStart);
  if (p != end && (*p == decimalSeparator || *p == otherSeparator)) {
    const char* const fractionStart = ++p;
    p = PassDigits<kStopsBeforeEnd>(p, end, f.digits);
    f.decimals = static_cast<std::size_t>(p - fractionStart);
    f.count += f.decimals;
  }
  for (; p != end && detail::IsNumberChar(*p); ++p) f.plain = false;
  i = static_cast<std::size_t>(p - text.data());
  return f;
}

// A field that is not a common one, each `otherSeparator` read as `decimalSeparator`.
double ConvertField(std::string_view field, int k, char decimalSeparator, char otherSeparator) {
  std::string substituted(field);
  for (char& c : substituted) {
    if (c == otherSeparator) c = decimalSeparator;
  }
  if (const std::optional<double> value = TryParseNumber(substituted, decimalSeparator)) return *value;
  throw KorvagridError("не число в " + std::string(kFieldNames[k - 1]) +
                       " поле строки: " + detail::QuoteForMessage(substituted));
}

}  // namespace

// The values of the line from `start` on, and the rest after them. This is
// the scan of field_scan.h (fields completed by a separator and handed over
// on the character after it) with the digits gathered on the way, so that a
// common field needs no second pass.
void detail::ReadValuesFrom(std::string_view text, std::size_t start, int valuesRead,
                            PointRecord& record, char decimalSeparator, char otherSeparator,
                            int layout) {
  const std::size_t size = text.size();
  const int lastField = layout == 2 ? 2 : 3;
  const bool endsInSpace = size > 0 && text.back() == ' ';
  double* const values[] = {&record.first, &record.second, &record.third};
  // Where the scan stopped: the end, unless the last field was handed over.
  std::size_t stop = valuesRead >= lastField ? start : size;
  std::size_t i = start;
  for (int k = valuesRead + 1; k <= lastField; ++k) {
    while (i < size && !detail::IsNumberChar(text[i])) ++i;
    const std::size_t fieldStart = i;
    // Lines as ReadStr gives them end in spaces.
    const CommonField field =
        endsInSpace ? PassField<true>(text, i, decimalSeparator, otherSeparator)
                    : PassField<false>(text, i, decimalSeparator, otherSeparator);
    if (i + 1 >= size) break;  // not completed, or completed by the last character
    const std::optional<double> common = field.value();
    *values[k - 1] = common ? *common
                            : ConvertField(text.substr(fieldStart, i - fieldStart), k,
                                           decimalSeparator, otherSeparator);
    ++i;
    if (k == lastField) stop = i;
  }

  // Rest of the line: from the separator that ended the last value, from its
  // first space on. A scan that stopped on the last character leaves nothing.
  if (stop + 1 < size) {
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
    detail::ReadValuesFrom(ascii, start, 0, record, decimalSeparator, otherSeparator, layout);
    return;
  }
  detail::ReadValuesFrom(text, start, 0, record, decimalSeparator, otherSeparator, layout);
}

}  // namespace korvagrid
