#include "formats/dms_line.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "formats/field_scan.h"
#include "formats/signs.h"

namespace korvagrid::detail {
namespace {

constexpr std::size_t kLocalSize = 256;        // longest rewritten line written here
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

// The rewritten line, put together in a local buffer.
class LineWriter {
 public:
  void put(char c) {
    if (used_ < buffer_.size()) {
      buffer_[used_++] = c;
    } else {
      full_ = true;
    }
  }
  void put(std::string_view text) {
    if (text.size() > buffer_.size() - used_) {
      full_ = true;
      return;
    }
    text.copy(buffer_.data() + used_, text.size());
    used_ += text.size();
  }
  // A whole number of at most three digits.
  void putWhole(int value) {
    if (value >= 100) put(static_cast<char>('0' + value / 100));
    if (value >= 10) put(static_cast<char>('0' + value / 10 % 10));
    put(static_cast<char>('0' + value % 10));
  }
  bool full() const { return full_; }
  std::string_view text() const { return {buffer_.data(), used_}; }

 private:
  std::array<char, kLocalSize> buffer_;  // not cleared: only the written part is read
  std::size_t used_ = 0;
  bool full_ = false;
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
  std::size_t i = 0;
  while (i < field.size() && IsDigit(field[i])) ++i;
  std::string_view whole = field.substr(0, i);
  std::string_view decimals;
  if (i < field.size()) {
    if (field[i] != decimalSeparator && field[i] != otherSeparator) return false;
    const std::size_t first = ++i;
    while (i < field.size() && IsDigit(field[i])) ++i;
    if (i != field.size()) return false;
    decimals = field.substr(first);
  }
  if (whole.empty() && decimals.empty()) return false;  // no digit: not a number

  whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
  const std::size_t lastDecimal = decimals.find_last_not_of('0');
  decimals = lastDecimal == std::string_view::npos ? std::string_view{}
                                                   : decimals.substr(0, lastDecimal + 1);
  if (whole.size() > 2) return false;
  int wholeValue = 0;
  for (const char c : whole) wholeValue = wholeValue * 10 + (c - '0');
  if (wholeValue >= kSecondsInMinute) return false;
  if (whole.empty() && decimals.empty()) {
    out.put(kZeroSecondsText);
    return true;
  }
  const std::size_t significant =
      whole.empty() ? decimals.size() - decimals.find_first_not_of('0')
                    : whole.size() + decimals.size();
  if (significant > kMaxSignificantDigits) return false;
  if (wholeValue < 10) out.put('0');
  out.put(whole.empty() ? std::string_view("0") : whole);
  out.put(decimals);
  return true;
}

}  // namespace

bool RewriteCommonDmsLine(std::string& line, bool nameIn, char decimalSeparator,
                          char otherSeparator, bool trimble) {
  const std::string_view s(line);
  // Lines as ReadStr gives them end in spaces, so a name always has its space.
  if (s.empty() || s.back() != ' ') return false;
  LineWriter out;
  std::size_t i = 0;
  if (nameIn) {
    // The name ends at its first space ("'" and "°" read as spaces) or at a
    // ";" before it.
    while (s[i] != ' ' && s[i] != ';' && s[i] != '\'' && !IsDegreeSignAt(s, i)) ++i;
    out.put(s.substr(0, i));
    out.put(' ');
    i += IsDegreeSignAt(s, i) ? 2 : 1;
  }
  if (MayHoldUnicodeMinus(s.substr(i))) return false;

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
  std::size_t anglesEnd = i;
  if (!SkipSeparators(s, anglesEnd)) return false;

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
  if (minutes1 < 10) out.put('0');
  out.putWhole(minutes1);
  if (!PutSeconds(fields[2], decimalSeparator, otherSeparator, out)) return false;
  out.put(' ');
  out.putWhole(degrees2);
  out.put('.');
  if (minutes2 < 10) out.put('0');
  out.putWhole(minutes2);
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
  if (out.full()) return false;
  line.assign(out.text());
  return true;
}

}  // namespace korvagrid::detail
