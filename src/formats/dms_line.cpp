#include "formats/dms_line.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "formats/field_scan.h"
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

// Moves `i` over the separators up to the next number character or the end.
// False where the separators could hold a hemisphere mark (a word "S" or
// "W"), or hold a byte of a character other than "°" (a Cyrillic letter, a
// dash): the field-by-field reading decides those.
bool SkipSeparators(std::string_view s, std::size_t& i) {
  while (i < s.size() && !IsNumberChar(s[i])) {
    const char c = s[i];
    if (IsAsciiLetter(c)) {
      const std::size_t wordStart = i;
      while (i < s.size() && IsAsciiLetter(s[i])) ++i;
      if (i - wordStart == 1 && (c == 'S' || c == 'W')) return false;
    } else if (IsHighByte(c)) {
      if (!IsDegreeSignAt(s, i)) return false;
      i += 2;
    } else {
      ++i;
    }
  }
  return true;
}

// A degree or minute field of plain digits up to `limit`.
bool ReadWhole(std::string_view field, int limit, int& value) {
  if (field.empty() || field.size() > kMaxWholeDigits) return false;
  int v = 0;
  for (const char c : field) {
    if (!IsDigit(c)) return false;
    v = v * 10 + (c - '0');
  }
  if (v > limit) return false;
  value = v;
  return true;
}

// The seconds text of a field of digits with at most one decimal separator
// (either one), below 60 and with at most 15 significant digits: "0" before
// seconds below 10, the whole seconds without leading zeros ("0" for none)
// and the decimals without trailing zeros.
bool PutSeconds(std::string_view field, char decimalSeparator, char otherSeparator,
                LineWriter& out) {
  if (field.size() > kMaxSecondsLength) return false;
  // The whole seconds are field[0, wholeEnd), the decimals field[decimalsStart, end).
  std::size_t i = 0;
  while (i < field.size() && IsDigit(field[i])) ++i;
  const std::size_t wholeEnd = i;
  std::size_t decimalsStart = i;
  if (i < field.size()) {
    if (field[i] != decimalSeparator && field[i] != otherSeparator) return false;
    decimalsStart = ++i;
    while (i < field.size() && IsDigit(field[i])) ++i;
    if (i != field.size()) return false;
  }
  if (wholeEnd == 0 && decimalsStart == field.size()) return false;  // no digit: not a number

  // Without leading zeros of the whole seconds and trailing zeros of the decimals.
  std::size_t wholeStart = 0;
  while (wholeStart < wholeEnd && field[wholeStart] == '0') ++wholeStart;
  std::size_t end = field.size();
  while (end > decimalsStart && field[end - 1] == '0') --end;
  const std::size_t wholeDigits = wholeEnd - wholeStart;
  if (wholeDigits > 2) return false;
  int wholeValue = 0;
  for (std::size_t j = wholeStart; j < wholeEnd; ++j) wholeValue = wholeValue * 10 + (field[j] - '0');
  if (wholeValue >= kSecondsInMinute) return false;
  if (wholeDigits == 0 && end == decimalsStart) {
    out.put(kZeroSecondsText);
    return true;
  }
  std::size_t significant = wholeDigits + (end - decimalsStart);
  if (wholeDigits == 0) {
    for (std::size_t j = decimalsStart; field[j] == '0'; ++j) --significant;
  }
  if (significant > kMaxSignificantDigits) return false;
  if (wholeValue < 10) out.put('0');
  if (wholeDigits == 0) out.put('0');
  for (std::size_t j = wholeStart; j < wholeEnd; ++j) out.put(field[j]);
  for (std::size_t j = decimalsStart; j < end; ++j) out.put(field[j]);
  return true;
}

}  // namespace

bool RewriteCommonDmsLine(std::string& line, bool nameIn, char decimalSeparator,
                          char otherSeparator, bool trimble) {
  const std::string_view s(line);
  // Lines as ReadStr gives them end in spaces, so a name always has its space.
  if (s.empty() || s.back() != ' ' || s.size() > kLongestLine) return false;
  std::array<char, kLongestLine + kLongestGrowth> buffer;  // not cleared: only the written part is read
  LineWriter out(buffer.data());
  std::size_t i = 0;
  if (nameIn) {
    // The name ends at its first space ("'" and "°" read as spaces) or at a
    // ";" before it.
    while (s[i] != ' ' && s[i] != ';' && s[i] != '\'' && !IsDegreeSignAt(s, i)) ++i;
    out.put(s.substr(0, i));
    out.put(' ');
    i += IsDegreeSignAt(s, i) ? 2 : 1;
  }

  // The fields as the field scan hands them over: each completed by a
  // separator with at least one more character after it. The scan stops
  // after the longitude's seconds, in a Trimble line after the number that
  // follows them; the number after the latitude's seconds is read over too.
  const int fieldCount = trimble ? 8 : 6;
  std::array<std::string_view, 8> fields;
  std::size_t stop = 0;
  for (int f = 0; f < fieldCount; ++f) {
    if (!SkipSeparators(s, i)) return false;
    const std::size_t fieldStart = i;
    while (i < s.size() && IsNumberChar(s[i])) ++i;
    if (i == s.size()) return false;
    const std::size_t separatorLength = IsDegreeSignAt(s, i) ? 2 : 1;
    if (i + separatorLength >= s.size()) return false;
    fields[static_cast<std::size_t>(f)] = s.substr(fieldStart, i - fieldStart);
    stop = i + separatorLength;
  }
  // The hemisphere check takes the separators up to the next number too.
  // Up to there no byte can start a dash (only "°" was let through); in the
  // rest a dash before a number would become a minus.
  std::size_t anglesEnd = i;
  if (!SkipSeparators(s, anglesEnd) || MayHoldUnicodeMinus(s.substr(anglesEnd))) return false;

  const std::size_t longitude = trimble ? 4 : 3;
  int degrees1 = 0;
  int minutes1 = 0;
  int degrees2 = 0;
  int minutes2 = 0;
  if (!ReadWhole(fields[0], kMaxDegrees, degrees1) || !ReadWhole(fields[1], kMaxMinutes, minutes1) ||
      !ReadWhole(fields[longitude], kMaxDegrees, degrees2) ||
      !ReadWhole(fields[longitude + 1], kMaxMinutes, minutes2)) {
    return false;
  }
  // g "." mm and the seconds text, for each angle.
  out.putWhole(degrees1);
  out.put('.');
  out.putMinutes(minutes1);
  if (!PutSeconds(fields[2], decimalSeparator, otherSeparator, out)) return false;
  out.put(' ');
  out.putWhole(degrees2);
  out.put('.');
  out.putMinutes(minutes2);
  if (!PutSeconds(fields[longitude + 2], decimalSeparator, otherSeparator, out)) return false;
  out.put(' ');
  // The rest of the line as it came, "°" and "'" read as spaces.
  for (std::size_t j = stop; j < s.size(); ++j) {
    if (IsDegreeSignAt(s, j)) {
      out.put(' ');
      ++j;
    } else {
      out.put(s[j] == '\'' ? ' ' : s[j]);
    }
  }
  line.assign(out.text());
  return true;
}

}  // namespace korvagrid::detail
