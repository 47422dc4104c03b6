#pragma once
// The check marks of the "Format" menu: how geographic angles and plane
// coordinates are written in the input and in the output. Items of one group
// exclude one another; choosing an item checks it and unchecks the rest of
// its group. `mnu_ctr_count` belongs to the menu but to no group.
#include <array>
#include <cstddef>
#include <string_view>

#include "conversion/settings.h"

namespace korvagrid {

enum class FormatItem : std::size_t {
  // "Lat,Long исходные"
  mnuGGG_0,
  mnugms1,
  mnugms2,
  mnuAshtech,
  mnuTrimble,
  // "X , Y  исходные"
  Stand,
  max1,
  min1,
  // "Lat,Long на выходе"
  mnuGGG,
  mnugms1_,
  mnugms2_,
  fOzi,
  // "X , Y на выходе"
  StandEnd,
  MaxEnd,
  MinEnd,
  kCount
};

enum class FormatGroup { InputAngles, InputPlane, OutputAngles, OutputPlane };

inline constexpr std::size_t kFormatItemCount = static_cast<std::size_t>(FormatItem::kCount);

struct FormatItemInfo {
  FormatItem item;
  FormatGroup group;
  std::string_view name;     // the item's name, e.g. "mnuGGG_0"
  std::string_view caption;  // the menu caption, e.g. "gg.ggggggggg"
  bool checkedAtStart;
};

// Every item in menu order with its group, name, caption and start state.
const std::array<FormatItemInfo, kFormatItemCount>& FormatItems();
const FormatItemInfo& InfoOf(FormatItem item);
std::string_view GroupCaption(FormatGroup group);

class FormatSettings {
 public:
  FormatSettings();  // the start state: mnugms2, Stand, mnugms2_, StandEnd checked, all enabled

  bool checked(FormatItem item) const { return checked_[Index(item)]; }
  bool enabled(FormatItem item) const { return enabled_[Index(item)]; }
  void setEnabled(FormatItem item, bool on) { enabled_[Index(item)] = on; }
  // Checks `item` and unchecks every other item of its group.
  void choose(FormatItem item);
  // Sets one check mark without touching the rest of the group (the map-sheet
  // task unchecks several output items at once).
  void setChecked(FormatItem item, bool on) { checked_[Index(item)] = on; }

 private:
  static constexpr std::size_t Index(FormatItem item) { return static_cast<std::size_t>(item); }
  std::array<bool, kFormatItemCount> checked_{};
  std::array<bool, kFormatItemCount> enabled_{};
};

// The settings the checked items choose. An input-angles group without any
// of its other items checked reads packed degrees ("gg.mmssssss").
InputAngles InputAnglesOf(const FormatSettings& format);
OutputAngles OutputAnglesOf(const FormatSettings& format);
PlaneStyle InputPlaneStyleOf(const FormatSettings& format);
PlaneStyle OutputPlaneStyleOf(const FormatSettings& format);

}  // namespace korvagrid
