#pragma once
// The own-system dialog `MySist` ("Своя система координат") without drawing:
// its fields, edited in place, with the keystroke filters, the normalisation
// on leaving a field and the OK button. The rules themselves are the own
// system's (conversion/own_system.h), which the command line follows too.
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "conversion/own_system.h"
#include "interaction/platform.h"

namespace korvagrid {

inline constexpr std::string_view kMySistTitle = "Своя система координат";
inline constexpr std::string_view kMySistWarningTitle = kWarningTitle;
inline constexpr int kNameMaxTyped =
    kOwnNameMaxCharacters;  // characters that can be typed into NameMy

// The dialog's fields, named as its controls: the texts exactly as shown,
// numbers written with the system decimal separator NumP.
struct MySistFields {
  std::string NameMy;  // list text of the last catalogue entry once edited
  int cUTM = 0;        // 0 "UTM" (a local plane system), 1 "UTM-42" (a Gauss–Krüger zone)
  std::string Text6;   // datum name, shown only
  std::string T1;      // central meridian: degrees
  std::string M1;      //                   minutes
  std::string S1;      //                   seconds
  std::string dYmy;    // false easting, metres
  std::string dXmy;    // false northing, metres
  double dLmy = 0;     // central meridian in arc seconds, computed by OK
};

// The values every program start begins with; decimal texts carry `numP`.
MySistFields InitialMySistFields(char numP);

// The fields as the own system's texts.
OwnSystemTexts TextsOf(const MySistFields& fields);

// The own system the fields hold: the texts read as numbers, the central
// meridian as the last OK computed it. The refusal names the field whose
// text is not a number.
OwnSystemReading OwnSystemOf(const MySistFields& fields, char numP);

class MySistModel {
 public:
  enum class Field { NameMy, T1, M1, S1, dYmy, dXmy };

  // The label of a field in the dialog, as messages name it.
  static std::string_view label(Field field);

  // Edits `fields` in place; `numP` is the system decimal separator.
  MySistModel(MySistFields& fields, char numP);

  MySistFields& own() { return own_; }
  const MySistFields& own() const { return own_; }
  std::string& text(Field field);
  const std::string& text(Field field) const;
  char numP() const { return numP_; }
  const std::vector<std::string>& typeItems() const { return typeItems_; }  // "UTM", "UTM-42"

  bool okEnabled() const { return okEnabled_; }

  // A key typed into a field: true when it enters the field; a refused key
  // beeps. Backspace (8) always passes.
  bool keyPress(Field field, char32_t key, Platform& platform);
  // Leaving a field: empty-value rule, range warning, reformatting.
  void leaveField(Field field, Platform& platform);
  // OK: computes dLmy. Refuses (false, with a warning naming the field) when a
  // numeric field does not hold a number, or when the meridian's degrees give
  // no 16-bit zone number; the dialog then stays open. Refuses silently while
  // the button is unavailable (blank name).
  bool okClick(Platform& platform);
  // The dialog was closed without OK: the own system returns to its initial values.
  void closeWithoutOk();

 private:
  MySistFields& own_;
  char numP_;
  bool okEnabled_ = true;
  std::vector<std::string> typeItems_{"UTM", "UTM-42"};
};

}  // namespace korvagrid
