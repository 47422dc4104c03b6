#include "ui/mysist.h"

#include <optional>

#include "common/checked_int16.h"
#include "common/error.h"
#include "formats/number_format.h"
#include "formats/number_parse.h"
#include "formats/read_str.h"

namespace korvagrid {
namespace {

constexpr char32_t kBackspace = 8;

bool IsDigit(char32_t key) { return key >= U'0' && key <= U'9'; }

// Characters (not bytes) of a UTF-8 text.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

// A field's number as the run reads it: spaces around it are ignored.
std::optional<double> FieldNumber(std::string_view text, char numP) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(' ');
  return TryParseNumber(text.substr(first, last - first + 1), numP);
}

// Rewrites a field through a mask; a text that is not a number stays as it is.
void Reformat(std::string& text, std::string_view mask, char numP) {
  if (const std::optional<double> value = FieldNumber(text, numP))
    text = Format(*value, mask, numP);
}

std::string NotANumberMessage(MySistModel::Field field, std::string_view text) {
  return "В поле «" + std::string(MySistModel::label(field)) + "» не число: «" + std::string(text) +
         "»";
}

}  // namespace

std::string_view MySistModel::label(Field field) {
  switch (field) {
    case Field::NameMy:
      return "Name:";
    case Field::T1:
      return "C.Meridian °";
    case Field::M1:
      return "C.Meridian '";
    case Field::S1:
      return "C.Meridian \"";
    case Field::dYmy:
      return "False East.";
    case Field::dXmy:
      return "False North.";
  }
  return {};
}

MySistModel::MySistModel(OwnSystem& own, char numP) : own_(own), numP_(numP) {}

std::string& MySistModel::text(Field field) {
  switch (field) {
    case Field::NameMy:
      return own_.NameMy;
    case Field::T1:
      return own_.T1;
    case Field::M1:
      return own_.M1;
    case Field::S1:
      return own_.S1;
    case Field::dYmy:
      return own_.dYmy;
    case Field::dXmy:
      return own_.dXmy;
  }
  return own_.NameMy;
}

const std::string& MySistModel::text(Field field) const {
  return const_cast<MySistModel*>(this)->text(field);
}

bool MySistModel::keyPress(Field field, char32_t key, Platform& platform) {
  if (key == kBackspace) return true;
  bool accepted = false;
  switch (field) {
    case Field::NameMy:
      // Any key makes OK available again, even one that is refused.
      okEnabled_ = true;
      accepted = CharacterCount(own_.NameMy) < static_cast<std::size_t>(kNameMaxTyped);
      break;
    case Field::T1:
    case Field::M1:
      accepted = IsDigit(key);
      break;
    case Field::S1:
      accepted = IsDigit(key) || key == static_cast<unsigned char>(numP_);
      break;
    case Field::dYmy:
    case Field::dXmy:
      accepted = IsDigit(key) || key == static_cast<unsigned char>(numP_) || key == U'-';
      break;
  }
  if (!accepted) platform.beep();
  return accepted;
}

void MySistModel::leaveField(Field field, Platform& platform) {
  const std::string separatorOnly(1, numP_);
  std::string& value = text(field);
  switch (field) {
    case Field::NameMy:
      okEnabled_ = !IsBlankLine(value);
      return;
    case Field::T1:
      if (IsBlankLine(value)) value = "00";
      Reformat(value, "00", numP_);
      return;
    case Field::M1:
      if (IsBlankLine(value)) value = "00";
      if (const std::optional<double> minutes = FieldNumber(value, numP_);
          minutes && *minutes > 59) {
        platform.warn(kAbove59Message, kMySistWarningTitle);  // the value stays as typed
      }
      Reformat(value, "00", numP_);
      return;
    case Field::S1:
      if (value.empty() || value == separatorOnly) value = "00" + separatorOnly + "0000";
      if (const std::optional<double> seconds = FieldNumber(value, numP_);
          seconds && *seconds > 59) {
        platform.warn(kAbove59Message, kMySistWarningTitle);
      }
      Reformat(value, "0#.###0", numP_);
      return;
    case Field::dYmy:
    case Field::dXmy:
      if (value.empty() || value == separatorOnly) value = "00" + separatorOnly + "000";
      Reformat(value, "0#.##0", numP_);
      return;
  }
}

bool MySistModel::okClick(Platform& platform) {
  if (!okEnabled_) return false;
  double numbers[5] = {};
  constexpr Field kNumericFields[5] = {Field::T1, Field::M1, Field::S1, Field::dYmy, Field::dXmy};
  for (std::size_t i = 0; i < 5; ++i) {
    const std::optional<double> number = FieldNumber(text(kNumericFields[i]), numP_);
    if (!number) {
      platform.warn(NotANumberMessage(kNumericFields[i], text(kNumericFields[i])),
                    kMySistWarningTitle);
      return false;
    }
    numbers[i] = *number;
  }
  // The run takes the target zone from the degrees; refuse what gives none.
  try {
    RoundToInt16((numbers[0] + 3) / 6);
  } catch (const KorvagridError&) {
    platform.warn(
        "В поле «" + std::string(label(Field::T1)) + "» слишком большое число: «" + own_.T1 + "»",
        kMySistWarningTitle);
    return false;
  }
  own_.dLmy = (numbers[0] * 3600 + numbers[1] * 60) + numbers[2];
  return true;
}

void MySistModel::closeWithoutOk() {
  own_ = InitialOwnSystem(numP_);
  okEnabled_ = true;
}

}  // namespace korvagrid
