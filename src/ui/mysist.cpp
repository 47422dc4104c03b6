#include "ui/mysist.h"

#include <algorithm>

#include "formats/read_str.h"

namespace korvagrid {
namespace {

constexpr char32_t kBackspace = 8;

OwnSystemField CoreField(MySistModel::Field field) {
  switch (field) {
    case MySistModel::Field::NameMy:
      return OwnSystemField::Name;
    case MySistModel::Field::T1:
      return OwnSystemField::Degrees;
    case MySistModel::Field::M1:
      return OwnSystemField::Minutes;
    case MySistModel::Field::S1:
      return OwnSystemField::Seconds;
    case MySistModel::Field::dYmy:
      return OwnSystemField::FalseEast;
    case MySistModel::Field::dXmy:
      return OwnSystemField::FalseNorth;
  }
  return OwnSystemField::Name;
}

}  // namespace

MySistFields InitialMySistFields(char numP) {
  const OwnSystemTexts texts = InitialOwnSystemTexts(numP);
  MySistFields fields;
  fields.NameMy = texts.name;
  fields.cUTM = 0;
  fields.Text6 = "KRASS";
  fields.T1 = texts.degrees;
  fields.M1 = texts.minutes;
  fields.S1 = texts.seconds;
  fields.dYmy = texts.falseEast;
  fields.dXmy = texts.falseNorth;
  fields.dLmy = OwnSystem{}.centralMeridian;
  return fields;
}

OwnSystemTexts TextsOf(const MySistFields& fields) {
  OwnSystemTexts texts;
  texts.name = fields.NameMy;
  texts.kind = fields.cUTM == 1 ? SystemKind::GaussKrugerZone : SystemKind::LocalPlane;
  texts.degrees = fields.T1;
  texts.minutes = fields.M1;
  texts.seconds = fields.S1;
  texts.falseEast = fields.dYmy;
  texts.falseNorth = fields.dXmy;
  return texts;
}

OwnSystemReading OwnSystemOf(const MySistFields& fields, char numP) {
  OwnSystemReading reading = ReadOwnSystem(TextsOf(fields), numP);
  if (reading.system) reading.system->centralMeridian = fields.dLmy;
  return reading;
}

std::string_view MySistModel::label(Field field) { return OwnSystemFieldLabel(CoreField(field)); }

MySistModel::MySistModel(MySistFields& fields, char numP) : own_(fields), numP_(numP) {}

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
  // Any key into the name makes OK available again, even one that is refused.
  if (field == Field::NameMy) okEnabled_ = true;
  const bool accepted = FieldTakesKey(CoreField(field), text(field), key, numP_);
  if (!accepted) platform.beep();
  return accepted;
}

void MySistModel::leaveField(Field field, Platform& platform) {
  if (field == Field::NameMy) {
    okEnabled_ = !IsBlankLine(own_.NameMy);
    return;
  }
  if (const std::optional<std::string_view> warning =
          NormaliseField(CoreField(field), text(field), numP_)) {
    platform.warn(*warning, kMySistWarningTitle);
  }
}

bool MySistModel::okClick(Platform& platform) {
  if (!okEnabled_) return false;
  const OwnSystemReading reading = ReadOwnSystem(TextsOf(own_), numP_);
  if (!reading.system) {
    platform.warn(reading.refusal, kMySistWarningTitle);
    return false;
  }
  own_.dLmy = reading.system->centralMeridian;
  return true;
}

void MySistModel::closeWithoutOk() {
  own_ = InitialMySistFields(numP_);
  okEnabled_ = true;
}

}  // namespace korvagrid
