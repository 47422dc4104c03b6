#pragma once
// The own-system dialog `MySist` ("Своя система координат") without drawing: its
// fields are the texts of the OwnSystem it edits in place, with the keystroke
// filters, the normalisation on leaving a field and the OK button.
#include <string>
#include <string_view>
#include <vector>

#include "conversion/own_system.h"
#include "ui/platform.h"

namespace korvagrid {

inline constexpr std::string_view kMySistTitle = "Своя система координат";
inline constexpr std::string_view kAbove59Message = "Значение больше 59";
inline constexpr std::string_view kMySistWarningTitle = "Ай-ай-ай";
inline constexpr int kNameMaxTyped = 10;  // characters that can be typed into NameMy

class MySistModel {
 public:
  enum class Field { NameMy, T1, M1, S1, dYmy, dXmy };

  // The label of a field in the dialog, as messages name it.
  static std::string_view label(Field field);

  // Edits `own` in place; `numP` is the system decimal separator.
  MySistModel(OwnSystem& own, char numP);

  OwnSystem& own() { return own_; }
  const OwnSystem& own() const { return own_; }
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
  OwnSystem& own_;
  char numP_;
  bool okEnabled_ = true;
  std::vector<std::string> typeItems_{"UTM", "UTM-42"};
};

}  // namespace korvagrid
