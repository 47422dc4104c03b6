#include "formats/reports.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "common/checked_int16.h"
#include "common/error.h"
#include "formats/dms_line.h"
#include "formats/field_scan.h"
#include "formats/number_format.h"
#include "formats/number_parse.h"
#include "formats/signs.h"

namespace korvagrid {
namespace {

constexpr std::string_view kDegreeSign = "\xC2\xB0";  // "°" in UTF-8

// Seconds of 0 are written as this many seconds, so that the written minutes
// are never followed by zeros only.
constexpr double kZeroSecondsMark = 1e-8;

constexpr int kSecondsDigits = 15;  // significant digits of the seconds text

// The six parts of a latitude/longitude pair as read so far; parts never
// read stay 0.
struct AngleParts {
  std::int16_t degrees1 = 0;
  std::int16_t minutes1 = 0;
  double seconds1 = 0;
  std::int16_t degrees2 = 0;
  std::int16_t minutes2 = 0;
  double seconds2 = 0;
};

double NumberField(std::string_view field, char decimalSeparator) {
  if (const std::optional<double> value = TryParseNumber(field, decimalSeparator)) return *value;
  throw KorvagridError("не число: " + detail::QuoteForMessage(field));
}

// A degree or minute field: a number whose 16-bit integer value (rounded
// half to even) equals it.
std::int16_t WholeField(std::string_view field, char decimalSeparator) {
  const double value = NumberField(field, decimalSeparator);
  const std::int16_t whole = RoundToInt16(value);
  if (static_cast<double>(whole) != value) {
    throw KorvagridError("не целое число: " + detail::QuoteForMessage(field));
  }
  return whole;
}

double SecondsField(std::string_view field, char decimalSeparator) {
  double seconds = NumberField(field, decimalSeparator);
  if (seconds == 0) seconds += kZeroSecondsMark;
  return seconds;
}

// "0" before a seconds text whose written value is below 10, so that the
// seconds fill two places after the minutes. The written value decides:
// 9.9999999999999996 is written as 10 and gets no "0".
void AppendSecondsPad(std::string& result, double seconds) {
  if (RoundToSignificant(seconds, kSecondsDigits) < 10) result.push_back('0');
}

// The seconds text: at most 15 significant digits, "." and "," removed.
void AppendSecondsDigits(std::string& result, double seconds) {
  for (const char c : PlainDecimal(seconds, kSecondsDigits)) {
    if (c != '.' && c != ',') result.push_back(c);
  }
}

void AppendDegrees(std::string& result, std::int16_t degrees) {
  result += std::to_string(degrees);
  result.push_back('.');
}

void AppendMinutes(std::string& result, std::int16_t minutes) {
  if (minutes < 10) result.push_back('0');
  result += std::to_string(minutes);
}

// The names of the six parts in messages, in the order they are read.
constexpr std::string_view kPartNames[] = {"широта, градусы", "широта, минуты",
                                           "широта, секунды", "долгота, градусы",
                                           "долгота, минуты", "долгота, секунды"};

[[noreturn]] void ThrowOutOfRange(int part, const std::string& value, std::string_view limit) {
  throw KorvagridError(std::string(kPartNames[part]) + ": " + value + " " + std::string(limit));
}

// Checks the ranges and appends the latitude seconds and the whole longitude.
void AppendRest(std::string& result, const AngleParts& a) {
  if (a.degrees1 > 180) ThrowOutOfRange(0, std::to_string(a.degrees1), "больше 180");
  if (a.minutes1 > 59) ThrowOutOfRange(1, std::to_string(a.minutes1), "больше 59");
  if (a.seconds1 >= 60)
    ThrowOutOfRange(2, PlainDecimal(a.seconds1, kSecondsDigits), "не меньше 60");
  if (a.degrees2 > 180) ThrowOutOfRange(3, std::to_string(a.degrees2), "больше 180");
  if (a.minutes2 > 59) ThrowOutOfRange(4, std::to_string(a.minutes2), "больше 59");
  if (a.seconds2 >= 60)
    ThrowOutOfRange(5, PlainDecimal(a.seconds2, kSecondsDigits), "не меньше 60");
  AppendSecondsDigits(result, a.seconds1);
  result.push_back(' ');
  AppendDegrees(result, a.degrees2);
  AppendMinutes(result, a.minutes2);
  AppendSecondsPad(result, a.seconds2);
  AppendSecondsDigits(result, a.seconds2);
}

// The six number fields of the two angles, in the order they are read.
enum class AngleField { Degrees1, Minutes1, Seconds1, Degrees2, Minutes2, Seconds2 };

// Reads one field into `a`; the latitude's degrees, minutes and the "0" before
// seconds below 10 are written to `result` as they come, the rest at the end
// (AppendRest). A field that is not a number fails, naming the part.
void ReadAngleField(AngleField which, std::string_view field, char decimalSeparator, AngleParts& a,
                    std::string& result) {
  try {
    switch (which) {
      case AngleField::Degrees1:
        a.degrees1 = WholeField(field, decimalSeparator);
        AppendDegrees(result, a.degrees1);
        break;
      case AngleField::Minutes1:
        a.minutes1 = WholeField(field, decimalSeparator);
        AppendMinutes(result, a.minutes1);
        break;
      case AngleField::Seconds1:
        a.seconds1 = SecondsField(field, decimalSeparator);
        AppendSecondsPad(result, a.seconds1);
        break;
      case AngleField::Degrees2:
        a.degrees2 = WholeField(field, decimalSeparator);
        break;
      case AngleField::Minutes2:
        a.minutes2 = WholeField(field, decimalSeparator);
        break;
      case AngleField::Seconds2:
        a.seconds2 = SecondsField(field, decimalSeparator);
        break;
    }
  } catch (const KorvagridError& error) {
    throw KorvagridError(std::string(kPartNames[static_cast<int>(which)]) + ": " + error.what());
  }
}

// Where the angles of a line end for the hemisphere check: the first number
// character at or after `stop`, so that a mark written after the last angle
// ("56.7\" W 150") belongs to the angles and the height does not.
std::size_t AnglesEnd(std::string_view text, std::size_t stop) {
  while (stop < text.size() && !detail::IsNumberChar(text[stop])) ++stop;
  return stop;
}

// The text from `start` with Unicode minus signs made ASCII, the part
// before it (a name) as it was.
void MakeMinusAscii(std::string& text, std::size_t start) {
  const std::string_view tail = std::string_view(text).substr(start);
  if (MayHoldUnicodeMinus(tail)) text = text.substr(0, start) + WithAsciiMinus(tail);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

// Byte index after `count` UTF-8 characters from byte index `pos`.
std::size_t AdvanceCharacters(std::string_view s, std::size_t pos, std::size_t count) {
  for (; count > 0 && pos < s.size(); --count) {
    ++pos;
    while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) ++pos;
  }
  return pos;
}

}  // namespace

bool RadStr3(std::string& line, bool nameIn, char decimalSeparator, char otherSeparator,
             bool trimble, std::string* why) {
  if (detail::RewriteCommonDmsLine(line, nameIn, decimalSeparator, otherSeparator, trimble)) {
    return true;
  }
  return detail::RadStr3FieldByField(line, nameIn, decimalSeparator, otherSeparator, trimble, why);
}

bool detail::RadStr3FieldByField(std::string& line, bool nameIn, char decimalSeparator,
                                 char otherSeparator, bool trimble, std::string* why) {
  std::string work = ReplaceAll(line, kDegreeSign, " ");
  for (char& c : work) {
    if (c == '\'') c = ' ';
  }

  std::string result;
  std::size_t start = 0;
  if (nameIn) {
    std::size_t p = work.find(' ');
    if (p == std::string::npos) {
      throw KorvagridError("в строке нет пробела после имени: " + detail::QuoteForMessage(line));
    }
    const std::size_t semicolon = work.find(';');
    if (semicolon < p) p = semicolon;
    result.assign(work, 0, p);
    result.push_back(' ');
    start = p + 1;
  }
  MakeMinusAscii(work, start);

  std::size_t stop = 0;
  try {
    AngleParts a;
    stop = detail::ScanFields(
        work, start, true, decimalSeparator, otherSeparator, [&](int& k, std::string_view field) {
          // Fields 1-3 and 5-7 are the two angles; in Trimble mode field 4
          // and field 8 (the numbers after each seconds value) are read over.
          switch (k) {
            case 1:
            case 2:
              ReadAngleField(static_cast<AngleField>(k - 1), field, decimalSeparator, a, result);
              return false;
            case 3:
              ReadAngleField(AngleField::Seconds1, field, decimalSeparator, a, result);
              if (!trimble) ++k;  // the next field is the longitude degrees
              return false;
            case 4:
              return false;
            case 5:
            case 6:
            case 7:
              ReadAngleField(static_cast<AngleField>(k - 2), field, decimalSeparator, a, result);
              return k == 7 && !trimble;
            default:
              return true;
          }
        });
    AppendRest(result, a);
    result.push_back(' ');
    result.append(work, stop, std::string::npos);
  } catch (const KorvagridError& error) {
    line.assign(kInvalidValueMarker);
    if (why != nullptr) *why = error.what();
    return false;
  }
  RequireNorthEast(std::string_view(work).substr(start, AnglesEnd(work, stop) - start));
  line = std::move(result);
  return true;
}

bool ReadAsh(std::string& record, char decimalSeparator, std::string* why) {
  std::string text = ReplaceAll(record, kDegreeSign, "");
  text = ReplaceAll(text, "'", "");
  text = ReplaceAll(text, "  ", " ");
  text = ReplaceAll(text, "Lon.", "");
  text = ReplaceAll(text, "Elv.", "");
  text = ReplaceAll(text, "Lat.", "!");
  for (char& c : text) {
    if (c == '\t') c = ' ';
  }

  // The four characters after the first space are the name; the record
  // proper starts one character after them.
  const std::size_t space = text.find(' ');
  const std::size_t nameStart = space == std::string::npos ? 0 : space + 1;
  const std::size_t nameEnd = AdvanceCharacters(text, nameStart, 4);
  std::string name = text.substr(nameStart, nameEnd - nameStart);
  std::string rest(
      detail::TrimSpaces(std::string_view(text).substr(AdvanceCharacters(text, nameEnd, 1))));

  // A first word before the "Lat." mark is the name.
  const std::size_t c = rest.find(' ');
  const std::size_t d = rest.find('!');
  if (d != std::string::npos && (c == std::string::npos || c < d)) {
    if (c == std::string::npos) {
      throw KorvagridError("в записи Ashtech нет пробела: " + detail::QuoteForMessage(rest));
    }
    name = rest.substr(0, c);
  }
  std::string result = name + " ";
  const std::size_t start = c == std::string::npos ? 0 : c + 1;
  MakeMinusAscii(rest, start);

  std::size_t stop = 0;
  try {
    AngleParts a;
    stop = detail::ScanFields(rest, start, false, decimalSeparator, decimalSeparator,
                              [&](int& k, std::string_view field) {
                                // Latitude then longitude, degrees, minutes, seconds: six fields.
                                ReadAngleField(static_cast<AngleField>(k - 1), field,
                                               decimalSeparator, a, result);
                                return k == 6;
                              });
    AppendRest(result, a);
    result.push_back(' ');
    result.append(rest, stop, std::string::npos);
  } catch (const KorvagridError& error) {
    record.assign(kInvalidValueMarker);
    if (why != nullptr) *why = error.what();
    return false;
  }
  RequireNorthEast(std::string_view(rest).substr(start, AnglesEnd(rest, stop) - start));
  record = std::move(result);
  return true;
}

std::string_view AshtechLinePart(std::string_view line) {
  const std::size_t from = AdvanceCharacters(line, 0, 7);
  const std::size_t quote = line.find('"', from);
  if (quote == std::string_view::npos) return {};
  return line.substr(0, quote + 1);
}

std::string AssembleAshtechRecord(std::string_view first, std::string_view second,
                                  std::string_view third) {
  std::string record(AshtechLinePart(first));
  record.append(AshtechLinePart(second));
  record.append(third);
  return record;
}

std::string AssembleAshtechRecord(std::string_view first, LineSource& source) {
  std::string second;
  std::string third;
  std::string fourth;  // read over: the fourth line of a record carries nothing we use
  source.next(second);
  source.next(third);
  source.next(fourth);
  return AssembleAshtechRecord(first, second, third);
}

}  // namespace korvagrid
