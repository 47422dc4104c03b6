#include "formats/dms_line.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstddef>
#include <string_view>

#include "formats/field_scan.h"
#include "formats/powers_of_ten.h"
#include "formats/radstr1.h"
#include "formats/signs.h"

namespace korvagrid::detail {
namespace {

constexpr std::size_t kLongestLine = 256;  // longest line rewritten here
// The rewritten line is at most this much longer than the line: each angle
// gains a "0" before its seconds, or writes zero seconds as ten digits.
constexpr std::size_t kLongestGrowth = 32;
constexpr std::size_t kMaxWholeDigits = 6;     // digits of a degree or minute field
constexpr std::size_t kMaxSecondsLength = 40;  // characters of a seconds field
constexpr std::size_t kMaxSignificantDigits = 15;
constexpr int kMaxDegrees = 180;
constexpr int kMaxMinutes = 59;
constexpr int kSecondsInMinute = 60;
// Zero seconds as RadStr3 writes them: 1e-8 seconds, "0" before it.
constexpr std::string_view kZeroSecondsText = "0000000001";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsHighByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// "°" in UTF-8, which RadStr3 reads as one space.
bool IsDegreeSignAt(std::string_view s, std::size_t i) {
  return s[i] == '\xC2' && i + 1 < s.size() && s[i + 1] == '\xB0';
}

// Writes the rewritten line into a buffer that the caller made long enough.
class LineWriter {
 public:
  explicit LineWriter(char* buffer) : start_(buffer), p_(buffer) {}
  void put(char c) { *p_++ = c; }
  void put(std::string_view text) { p_ = std::copy(text.begin(), text.end(), p_); }
  // A whole number of at most three digits.
  void putWhole(int value) {
    if (value >= 100) put(static_cast<char>('0' + value / 100));
    if (value >= 10) put(static_cast<char>('0' + value / 10 % 10));
    put(static_cast<char>('0' + value % 10));
  }
  // Minutes: two digits.
  void putMinutes(int value) {
    put(static_cast<char>('0' + value / 10));
    put(static_cast<char>('0' + value % 10));
  }
  std::string_view text() const { return {start_, static_cast<std::size_t>(p_ - start_)}; }

 private:
  char* start_;
  char* p_;
};

// Where the readers of a common line's parts stop on a part that is not
// common.
constexpr std::size_t kNotCommon = std::string_view::npos;

// The index of the next number character (or the end) from `i` on, over
// the separators. kNotCommon where the separators could hold a
// hemisphere mark (a word "S" or "W"), or hold a byte of a character other
// than "°" (a Cyrillic letter, a dash): the field-by-field reading decides
// those.
std::size_t SkipSeparatorsFrom(std::string_view s, std::size_t i) {
  while (i < s.size() && !IsNumberChar(s[i])) {
    const char c = s[i];
    if (IsAsciiLetter(c)) {
      const std::size_t wordStart = i;
      while (i < s.size() && IsAsciiLetter(s[i])) ++i;
      if (i - wordStart == 1 && (c == 'S' || c == 'W')) return kNotCommon;
    } else if (IsHighByte(c)) {
      if (!IsDegreeSignAt(s, i)) return kNotCommon;
      i += 2;
    } else {
      ++i;
    }
  }
  return i;
}

// The same, with the separators of almost every line (a space, "'", '"'
// and "°") passed here and anything else left to SkipSeparatorsFrom. The
// index is passed by value, so that the scan keeps it in a register.
inline std::size_t SkipSeparators(std::string_view s, std::size_t i) {
  while (i < s.size()) {
    const char c = s[i];
    if (IsNumberChar(c)) return i;
    if (c == ' ' || c == '\'' || c == '"') {
      ++i;
    } else if (IsDegreeSignAt(s, i)) {
      i += 2;
    } else {
      return SkipSeparatorsFrom(s, i);
    }
  }
  return i;
}

// A degree or minute field of plain digits up to `limit`, from `i` on (a
// field ends at the first character that is no number character; the line
// ends in a space, so it ends before the line does). Returns the index
// after the field, or kNotCommon.
std::size_t ReadWholeAt(std::string_view s, std::size_t i, int limit, int& value) {
  const std::size_t start = i;
  int v = 0;
  while (IsDigit(s[i]) && i - start < kMaxWholeDigits) v = v * 10 + (s[i++] - '0');
  // A digit too many, or a number character that is no digit.
  if (IsNumberChar(s[i]) || i == start || v > limit) return kNotCommon;
  value = v;
  return i;
}

// A seconds field of a common line: its digits as RadStr3 writes them.
// Its members carry no initializers, like CommonLine's: ReadSecondsAt sets
// every one of them before it returns the end of the field.
struct Seconds {
  bool zero;  // written as 1e-8 seconds
  bool pad;   // below 10: "0" first
  std::string_view whole;     // without leading zeros ("0" is written for none)
  std::string_view decimals;  // without trailing zeros
  // The seconds text as one integer and its count of digits, gathered while
  // the field is read so that the packed value needs no second pass (but
  // over a field with trailing zeros; the integer wraps beyond 19
  // significant digits, and PackedValue refuses those).
  std::uint64_t digits;
  std::size_t digitCount;
};

// A field of digits with at most one decimal separator (either one), below
// 60 and with at most 15 significant digits, from `i` on, read as
// ReadWholeAt reads its field. Returns the index after the field, or
// kNotCommon.
std::size_t ReadSecondsAt(std::string_view s, std::size_t i, char decimalSeparator,
                          char otherSeparator, Seconds& seconds) {
  // The whole seconds are s[start, wholeEnd), the decimals s[decimalsStart, end).
  // The digits are gathered into one integer on the way; `digits` holds it
  // up to the last non-zero decimal, which is where the trimmed text ends.
  const std::size_t start = i;
  std::uint64_t n = 0;
  while (IsDigit(s[i])) n = n * 10 + static_cast<unsigned>(s[i++] - '0');
  const std::size_t wholeEnd = i;
  const std::uint64_t wholeValue = n;  // exact for at most two digits after leading zeros
  std::size_t decimalsStart = i;
  std::uint64_t digits = n;
  std::size_t end = i;  // end of the decimals without trailing zeros
  if (IsNumberChar(s[i])) {
    // The field goes on: with a decimal separator, then digits only.
    if (s[i] != decimalSeparator && s[i] != otherSeparator) return kNotCommon;
    decimalsStart = ++i;
    while (IsDigit(s[i])) n = n * 10 + static_cast<unsigned>(s[i++] - '0');
    if (IsNumberChar(s[i])) return kNotCommon;
    // Trailing zeros are not written: with any, the integer is gathered
    // again up to the last non-zero decimal (dividing the integer of all
    // digits would go wrong where it wrapped).
    end = i;
    while (end > decimalsStart && s[end - 1] == '0') --end;
    digits = n;
    if (end != i) {
      digits = 0;
      for (std::size_t j = start; j < wholeEnd; ++j) digits = digits * 10 + static_cast<unsigned>(s[j] - '0');
      for (std::size_t j = decimalsStart; j < end; ++j) digits = digits * 10 + static_cast<unsigned>(s[j] - '0');
    }
  }
  const std::size_t fieldEnd = i;
  if (fieldEnd - start > kMaxSecondsLength) return kNotCommon;
  if (wholeEnd == start && decimalsStart == fieldEnd) return kNotCommon;  // no digit: not a number

  std::size_t wholeStart = start;
  while (wholeStart < wholeEnd && s[wholeStart] == '0') ++wholeStart;
  const std::size_t wholeDigits = wholeEnd - wholeStart;
  if (wholeDigits > 2 || wholeValue >= kSecondsInMinute) return kNotCommon;
  seconds.whole = s.substr(wholeStart, wholeDigits);
  seconds.decimals = s.substr(decimalsStart, end - decimalsStart);
  seconds.zero = wholeDigits == 0 && end == decimalsStart;
  seconds.pad = wholeValue < 10;
  if (seconds.zero) {
    seconds.digits = 1;  // kZeroSecondsText
    seconds.digitCount = kZeroSecondsText.size();
    return fieldEnd;
  }
  // Leading zeros, the pad and the "0" for no whole seconds count as digits
  // of the text but add nothing to its integer.
  seconds.digits = digits;
  seconds.digitCount = (seconds.pad ? 1 : 0) + (wholeDigits == 0 ? 1 : 0) + wholeDigits +
                       seconds.decimals.size();
  std::size_t significant = wholeDigits + (end - decimalsStart);
  if (wholeDigits == 0) {
    for (std::size_t j = decimalsStart; s[j] == '0'; ++j) --significant;
  }
  return significant <= kMaxSignificantDigits ? fieldEnd : kNotCommon;
}

// Writes the seconds text: "0" before seconds below 10, the whole seconds
// ("0" for none) and the decimals.
void PutSecondsDigits(LineWriter& out, const Seconds& seconds) {
  if (seconds.zero) {
    out.put(kZeroSecondsText);
    return;
  }
  if (seconds.pad) out.put('0');
  if (seconds.whole.empty()) out.put('0');
  out.put(seconds.whole);
  out.put(seconds.decimals);
}

// What a common line holds: the name, both angles, and where the rest of
// the line starts (the character after the separator that ended the last
// field read). Its members carry no initializers, so that a line does not
// begin by clearing some 150 bytes: ReadCommonLine sets each one that is
// read afterwards before it returns true.
struct CommonLine {
  std::string_view name;  // with `nameIn`
  int degrees1;
  int minutes1;
  Seconds seconds1;
  int degrees2;
  int minutes2;
  Seconds seconds2;
  std::size_t rest;
};

// The angles of a line in the usual notation, 55°45'20.5" 37°37'01.25",
// read from `i` on with their separators where that notation puts them:
// what the field scan of ReadCommonLine reads from such a line, without
// the scan. On success `i` is the end of the longitude's seconds. False,
// with the line left to the scan, for any other notation.
bool ReadUsualAngles(std::string_view s, std::size_t& i, char decimalSeparator, char otherSeparator,
                     CommonLine& line) {
  std::size_t at = i;
  const auto angle = [&](int& degrees, int& minutes, Seconds& seconds) {
    at = ReadWholeAt(s, at, kMaxDegrees, degrees);
    if (at == kNotCommon || !IsDegreeSignAt(s, at)) return false;
    at = ReadWholeAt(s, at + 2, kMaxMinutes, minutes);
    if (at == kNotCommon || s[at] != '\'') return false;
    at = ReadSecondsAt(s, at + 1, decimalSeparator, otherSeparator, seconds);
    // The seconds' mark, with a character after it.
    return at != kNotCommon && s[at] == '"' && at + 1 < s.size();
  };
  if (!angle(line.degrees1, line.minutes1, line.seconds1)) return false;
  // One space, then the longitude's degrees.
  if (s[at + 1] != ' ' || at + 2 >= s.size() || !IsDigit(s[at + 2])) return false;
  at += 2;
  if (!angle(line.degrees2, line.minutes2, line.seconds2)) return false;
  line.rest = at + 1;
  i = at;
  return true;
}

// Reads `s` as a common line; false for any other.
bool ReadCommonLine(std::string_view s, bool nameIn, char decimalSeparator, char otherSeparator,
                    bool trimble, CommonLine& line) {
  // Lines as ReadStr gives them end in spaces, so a name always has its space.
  if (s.empty() || s.back() != ' ' || s.size() > kLongestLine) return false;
  std::size_t i = 0;
  if (nameIn) {
    // The name ends at its first space ("'" and "°" read as spaces) or at a
    // ";" before it.
    while (s[i] != ' ' && s[i] != ';' && s[i] != '\'' && !IsDegreeSignAt(s, i)) ++i;
    line.name = s.substr(0, i);
    i += IsDegreeSignAt(s, i) ? 2 : 1;
  }

  // The fields as the field scan hands them over: each completed by a
  // separator with at least one more character after it. The scan stops
  // after the longitude's seconds, in a Trimble line after the number that
  // follows them; the number after the latitude's seconds is passed over
  // too. Each field of an angle is read in the one pass that finds its end,
  // so that a line that is not common stops at its first such field.
  const int fieldCount = trimble ? 8 : 6;
  const int longitude = trimble ? 4 : 3;
  // A line in the usual notation is read with its separators in place; any
  // other goes through the scan.
  const bool usual = !trimble && IsDigit(s[i]) &&
                     ReadUsualAngles(s, i, decimalSeparator, otherSeparator, line);
  for (int f = 0; !usual && f < fieldCount; ++f) {
    // No field left: not a common line.
    i = SkipSeparators(s, i);
    if (i == kNotCommon || i == s.size()) return false;
    // The latitude's degrees, minutes and seconds, then the longitude's; a
    // Trimble line's number after each angle is only passed over.
    const bool ofLatitude = f < 3;
    const int part = ofLatitude ? f : f - longitude;
    switch (part) {
      case 0:
        i = ReadWholeAt(s, i, kMaxDegrees, ofLatitude ? line.degrees1 : line.degrees2);
        break;
      case 1:
        i = ReadWholeAt(s, i, kMaxMinutes, ofLatitude ? line.minutes1 : line.minutes2);
        break;
      case 2:
        i = ReadSecondsAt(s, i, decimalSeparator, otherSeparator,
                          ofLatitude ? line.seconds1 : line.seconds2);
        break;
      default:
        while (IsNumberChar(s[i])) ++i;
    }
    if (i == kNotCommon) return false;
    // The field is completed by its separator, with at least one more
    // character after it.
    const std::size_t separatorLength = IsDegreeSignAt(s, i) ? 2 : 1;
    if (i + separatorLength >= s.size()) return false;
    line.rest = i + separatorLength;
  }
  // The hemisphere check takes the separators up to the next number too.
  // Up to there no byte can start a dash (only "°" was let through); in the
  // rest a dash before a number would become a minus.
  const std::size_t anglesEnd = SkipSeparators(s, i);
  return anglesEnd != kNotCommon && !MayHoldUnicodeMinus(s.substr(anglesEnd));
}

// The rest of the line from `from` as RadStr3 appends it: "°" and "'" read
// as spaces.
template <class Put>
void ForEachRestCharacter(std::string_view s, std::size_t from, Put&& put) {
  for (std::size_t j = from; j < s.size(); ++j) {
    if (IsDegreeSignAt(s, j)) {
      put(' ');
      ++j;
    } else {
      put(s[j] == '\'' ? ' ' : s[j]);
    }
  }
}

// The packed value RadStr1 reads from the text g "." mm and the seconds
// text, when it reads it as the quotient of its digits and a power of ten
// (at most 19 digits, their integer below 2^53): both exact doubles, so the
// quotient is the correctly rounded value. False for a longer text.
bool PackedValue(int degrees, int minutes, const Seconds& seconds, double& value) {
  const std::size_t count =
      static_cast<std::size_t>(degrees >= 100 ? 3 : degrees >= 10 ? 2 : 1) + 2 + seconds.digitCount;
  if (count > 19) return false;
  // g "." mm followed by the seconds digits, as one integer.
  const std::uint64_t digits =
      (static_cast<std::uint64_t>(degrees) * 100 + static_cast<std::uint64_t>(minutes)) *
          kIntegerPowersOfTen[seconds.digitCount] +
      seconds.digits;
  if (digits > kExactIntegerLimit) return false;
  value = static_cast<double>(digits) / kExactPowersOfTen[2 + seconds.digitCount];
  return true;
}

// The degrees, minutes and seconds of that packed value as they were read:
// the seconds are the seconds digits after their first two (the whole
// seconds, padded), the correctly rounded quotient as above.
PackedParts PartsOf(int degrees, int minutes, const Seconds& seconds) {
  return {static_cast<double>(degrees), minutes,
          static_cast<double>(seconds.digits) / kExactPowersOfTen[seconds.digitCount - 2]};
}

}  // namespace

bool RewriteCommonDmsLine(std::string& line, bool nameIn, char decimalSeparator,
                          char otherSeparator, bool trimble) {
  const std::string_view s(line);
  CommonLine common;
  if (!ReadCommonLine(s, nameIn, decimalSeparator, otherSeparator, trimble, common)) return false;
  std::array<char, kLongestLine + kLongestGrowth> buffer;  // not cleared: only the written part is read
  LineWriter out(buffer.data());
  const auto put = [&out](char c) { out.put(c); };
  if (nameIn) {
    out.put(common.name);
    out.put(' ');
  }
  // g "." mm and the seconds text, for each angle, then the rest.
  out.putWhole(common.degrees1);
  out.put('.');
  out.putMinutes(common.minutes1);
  PutSecondsDigits(out, common.seconds1);
  out.put(' ');
  out.putWhole(common.degrees2);
  out.put('.');
  out.putMinutes(common.minutes2);
  PutSecondsDigits(out, common.seconds2);
  out.put(' ');
  ForEachRestCharacter(s, common.rest, put);
  line.assign(out.text());
  return true;
}

bool ReadCommonDmsRecord(std::string_view line, PointRecord& record, bool nameIn,
                         char decimalSeparator, char otherSeparator, bool trimble, int layout) {
  CommonLine common;
  double latitude = 0;
  double longitude = 0;
  if (!ReadCommonLine(line, nameIn, decimalSeparator, otherSeparator, trimble, common) ||
      !PackedValue(common.degrees1, common.minutes1, common.seconds1, latitude) ||
      !PackedValue(common.degrees2, common.minutes2, common.seconds2, longitude)) {
    return false;
  }
  // The rewritten line is "[name ]latitude longitude rest": RadStr1 reads the
  // name and both angles, then goes on in " rest" after the longitude's
  // separator, where the longitude was handed over.
  if (nameIn) record.name.assign(common.name);
  record.first = latitude;
  record.second = longitude;
  record.angleParts =
      LatitudeLongitudeParts{PartsOf(common.degrees1, common.minutes1, common.seconds1),
                             PartsOf(common.degrees2, common.minutes2, common.seconds2)};
  std::array<char, kLongestLine + 1> tail;  // not cleared: only the written part is read
  std::size_t used = 0;
  tail[used++] = ' ';
  ForEachRestCharacter(line, common.rest, [&](char c) { tail[used++] = c; });
  ReadValuesFrom(std::string_view(tail.data(), used), 1, 2, record, decimalSeparator,
                 otherSeparator, layout);
  return true;
}

}  // namespace korvagrid::detail
