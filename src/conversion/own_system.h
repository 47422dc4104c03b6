#pragma once
// The user's own transverse-Mercator system on the Krasovsky ellipsoid, and
// the rules for the six fields in which the user gives it: which keys each
// field takes, how a field is normalised when the user leaves it, and how
// the fields become the system. The own-system dialog and the command line's
// --own-... options follow the same rules.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "geodesy/system_kind.h"

namespace korvagrid {

struct OwnSystem {
  std::string name = "63(C 3.5)";
  SystemKind kind = SystemKind::LocalPlane;      // LocalPlane ("UTM") or GaussKrugerZone ("UTM-42")
  double centralMeridian = 32 * 3600 + 27 * 60;  // arc seconds: 32°27'
  // The zone of the system as a target: the 6° band holding the meridian's
  // whole degrees d, (d + 3) / 6 rounded half to even (32° gives 6).
  std::int16_t zone = 6;
  double falseEast = 250000;     // metres
  double falseNorth = 11057.63;  // metres
};

// The fields, in the order the dialog shows them.
enum class OwnSystemField { Name, Degrees, Minutes, Seconds, FalseEast, FalseNorth };

inline constexpr int kOwnNameMaxCharacters = 10;

// The fields as texts, numbers written with `decimalSeparator`.
struct OwnSystemTexts {
  std::string name;
  SystemKind kind = SystemKind::LocalPlane;
  std::string degrees;
  std::string minutes;
  std::string seconds;
  std::string falseEast;
  std::string falseNorth;

  std::string& operator[](OwnSystemField field);
  const std::string& operator[](OwnSystemField field) const;
};

// The texts every program start begins with.
OwnSystemTexts InitialOwnSystemTexts(char decimalSeparator);

// Whether `key` may be typed into `field` while it holds `current`: digits in
// every numeric field, the decimal separator in the seconds and the false
// offsets, "-" in the false offsets; any character in the name while it holds
// fewer than ten. (Backspace is the front end's business.)
bool FieldTakesKey(OwnSystemField field, std::string_view current, char32_t key,
                   char decimalSeparator);

// Leaving a field: a blank degrees or minutes field becomes "00", an empty
// seconds or false-offset field (or one holding only the separator) its zero
// text, and the number is rewritten with the field's mask ("00", "0#.###0",
// "0#.##0"); a text that is not a number stays as it is. Returns the warning
// to show ("Значение больше 59" for minutes or seconds above 59, which stay
// as typed), or nothing.
std::optional<std::string_view> NormaliseField(OwnSystemField field, std::string& text,
                                               char decimalSeparator);

// The system the texts describe, or why they describe none: a numeric field
// that is not a number, or degrees whose zone does not fit 16 bits (each
// message names the field as the dialog labels it).
struct OwnSystemReading {
  std::optional<OwnSystem> system;
  std::string refusal;
};
OwnSystemReading ReadOwnSystem(const OwnSystemTexts& texts, char decimalSeparator);

// The label of a field in the dialog, as messages name it.
std::string_view OwnSystemFieldLabel(OwnSystemField field);

}  // namespace korvagrid
