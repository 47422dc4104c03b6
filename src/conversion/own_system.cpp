#include "conversion/own_system.h"

#include <algorithm>

#include "common/checked_int16.h"
#include "common/error.h"
#include "common/messages.h"
#include "formats/number_format.h"
#include "formats/number_parse.h"
#include "formats/read_str.h"

namespace korvagrid {
namespace {

bool IsDigit(char32_t key) { return key >= U'0' && key <= U'9'; }

// Characters (not bytes) of a UTF-8 text.
std::size_t CharacterCount(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// A field's number: spaces around it are ignored.
std::optional<double> FieldNumber(std::string_view text, char separator) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(' ');
  return TryParseNumber(text.substr(first, last - first + 1), separator);
}

// Rewrites a field through a mask; a text that is not a number stays as it is.
void Reformat(std::string& text, std::string_view mask, char separator) {
  if (const std::optional<double> value = FieldNumber(text, separator))
    text = Format(*value, mask, separator);
}

std::string WithSeparator(std::string text, char separator) {
  std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

}  // namespace

std::string& OwnSystemTexts::operator[](OwnSystemField field) {
  switch (field) {
    case OwnSystemField::Name:
      return name;
    case OwnSystemField::Degrees:
      return degrees;
    case OwnSystemField::Minutes:
      return minutes;
    case OwnSystemField::Seconds:
      return seconds;
    case OwnSystemField::FalseEast:
      return falseEast;
    case OwnSystemField::FalseNorth:
      return falseNorth;
  }
  return name;
}

const std::string& OwnSystemTexts::operator[](OwnSystemField field) const {
  return const_cast<OwnSystemTexts&>(*this)[field];
}

OwnSystemTexts InitialOwnSystemTexts(char decimalSeparator) {
  OwnSystemTexts texts;
  texts.name = OwnSystem{}.name;
  texts.kind = SystemKind::LocalPlane;
  texts.degrees = "32";
  texts.minutes = "27";
  texts.seconds = WithSeparator("00.0000", decimalSeparator);
  texts.falseEast = WithSeparator("250000.000", decimalSeparator);
  texts.falseNorth = WithSeparator("11057.630", decimalSeparator);
  return texts;
}

std::string_view OwnSystemFieldLabel(OwnSystemField field) {
  switch (field) {
    case OwnSystemField::Name:
      return "Name:";
    case OwnSystemField::Degrees:
      return "C.Meridian °";
    case OwnSystemField::Minutes:
      return "C.Meridian '";
    case OwnSystemField::Seconds:
      return "C.Meridian \"";
    case OwnSystemField::FalseEast:
      return "False East.";
    case OwnSystemField::FalseNorth:
      return "False North.";
  }
  return {};
}

bool FieldTakesKey(OwnSystemField field, std::string_view current, char32_t key,
                   char decimalSeparator) {
  const auto separator = static_cast<char32_t>(static_cast<unsigned char>(decimalSeparator));
  switch (field) {
    case OwnSystemField::Name:
      return CharacterCount(current) < static_cast<std::size_t>(kOwnNameMaxCharacters);
    case OwnSystemField::Degrees:
    case OwnSystemField::Minutes:
      return IsDigit(key);
    case OwnSystemField::Seconds:
      return IsDigit(key) || key == separator;
    case OwnSystemField::FalseEast:
    case OwnSystemField::FalseNorth:
      return IsDigit(key) || key == separator || key == U'-';
  }
  return false;
}

std::optional<std::string_view> NormaliseField(OwnSystemField field, std::string& text,
                                               char decimalSeparator) {
  const std::string separatorOnly(1, decimalSeparator);
  std::optional<std::string_view> warning;
  switch (field) {
    case OwnSystemField::Name:
      break;
    case OwnSystemField::Degrees:
      if (IsBlankLine(text)) text = "00";
      Reformat(text, "00", decimalSeparator);
      break;
    case OwnSystemField::Minutes:
      if (IsBlankLine(text)) text = "00";
      if (const std::optional<double> minutes = FieldNumber(text, decimalSeparator);
          minutes && *minutes > 59) {
        warning = kAbove59Message;  // the value stays as typed
      }
      Reformat(text, "00", decimalSeparator);
      break;
    case OwnSystemField::Seconds:
      if (text.empty() || text == separatorOnly) text = "00" + separatorOnly + "0000";
      if (const std::optional<double> seconds = FieldNumber(text, decimalSeparator);
          seconds && *seconds > 59) {
        warning = kAbove59Message;
      }
      Reformat(text, "0#.###0", decimalSeparator);
      break;
    case OwnSystemField::FalseEast:
    case OwnSystemField::FalseNorth:
      if (text.empty() || text == separatorOnly) text = "00" + separatorOnly + "000";
      Reformat(text, "0#.##0", decimalSeparator);
      break;
  }
  return warning;
}

OwnSystemReading ReadOwnSystem(const OwnSystemTexts& texts, char decimalSeparator) {
  constexpr OwnSystemField kNumeric[5] = {OwnSystemField::Degrees, OwnSystemField::Minutes,
                                          OwnSystemField::Seconds, OwnSystemField::FalseEast,
                                          OwnSystemField::FalseNorth};
  double numbers[5] = {};
  for (std::size_t i = 0; i < 5; ++i) {
    const std::optional<double> number = FieldNumber(texts[kNumeric[i]], decimalSeparator);
    if (!number) {
      return {std::nullopt, "В поле «" + std::string(OwnSystemFieldLabel(kNumeric[i])) +
                                "» не число: «" + texts[kNumeric[i]] + "»"};
    }
    numbers[i] = *number;
  }
  OwnSystem own;
  own.name = texts.name;
  own.kind = texts.kind;
  // The zone of the 6° band that holds the meridian's degrees, ties to even.
  try {
    own.zone = RoundToInt16((numbers[0] + 3) / 6);
  } catch (const KorvagridError&) {
    return {std::nullopt, "В поле «" + std::string(OwnSystemFieldLabel(OwnSystemField::Degrees)) +
                              "» слишком большое число: «" + texts.degrees + "»"};
  }
  own.centralMeridian = (numbers[0] * 3600 + numbers[1] * 60) + numbers[2];
  own.falseEast = numbers[3];
  own.falseNorth = numbers[4];
  return {own, {}};
}

}  // namespace korvagrid
