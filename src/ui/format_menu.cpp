#include "ui/format_menu.h"

namespace korvagrid {

const std::array<FormatItemInfo, kFormatItemCount>& FormatItems() {
  using enum FormatItem;
  using G = FormatGroup;
  static const std::array<FormatItemInfo, kFormatItemCount> items{{
      {mnuGGG_0, G::InputAngles, "mnuGGG_0", "gg.ggggggggg", false},
      {mnugms1, G::InputAngles, "mnugms1", "gg.mmssssss", false},
      {mnugms2, G::InputAngles, "mnugms2", "gg°mm'ss.ssss", true},
      {mnuAshtech, G::InputAngles, "mnuAshtech", "Ashtech Report", false},
      {mnuTrimble, G::InputAngles, "mnuTrimble", "Trimble Report", false},
      {Stand, G::InputPlane, "Stand", "Стандартный", true},
      {max1, G::InputPlane, "max1", "Полный", false},
      {min1, G::InputPlane, "min1", "Краткий", false},
      {mnuGGG, G::OutputAngles, "mnuGGG", "gg.ggg (for ArcView)", false},
      {mnugms1_, G::OutputAngles, "mnugms1_", "gg.mmssssss", false},
      {mnugms2_, G::OutputAngles, "mnugms2_", "gg°mm'ss.ssss", true},
      {fOzi, G::OutputAngles, "fOzi", "Format OziExplorer", false},
      {StandEnd, G::OutputPlane, "StandEnd", "Стандартный", true},
      {MaxEnd, G::OutputPlane, "MaxEnd", "Полный", false},
      {MinEnd, G::OutputPlane, "MinEnd", "Краткий", false},
  }};
  return items;
}

const FormatItemInfo& InfoOf(FormatItem item) {
  return FormatItems()[static_cast<std::size_t>(item)];
}

std::string_view GroupCaption(FormatGroup group) {
  switch (group) {
    case FormatGroup::InputAngles:
      return "Lat,Long исходные";
    case FormatGroup::InputPlane:
      return "X , Y  исходные";
    case FormatGroup::OutputAngles:
      return "Lat,Long на выходе";
    case FormatGroup::OutputPlane:
      return "X , Y на выходе";
  }
  return {};
}

FormatSettings::FormatSettings() {
  for (const FormatItemInfo& info : FormatItems()) {
    checked_[Index(info.item)] = info.checkedAtStart;
    enabled_[Index(info.item)] = true;
  }
}

void FormatSettings::choose(FormatItem item) {
  const FormatGroup group = InfoOf(item).group;
  for (const FormatItemInfo& info : FormatItems()) {
    if (info.group == group) checked_[Index(info.item)] = (info.item == item);
  }
}

InputAngles InputAnglesOf(const FormatSettings& format) {
  if (format.checked(FormatItem::mnuGGG_0)) return InputAngles::Decimal;
  if (format.checked(FormatItem::mnugms2)) return InputAngles::Dms;
  if (format.checked(FormatItem::mnuAshtech)) return InputAngles::AshtechReport;
  if (format.checked(FormatItem::mnuTrimble)) return InputAngles::TrimbleReport;
  return InputAngles::Packed;
}

OutputAngles OutputAnglesOf(const FormatSettings& format) {
  if (format.checked(FormatItem::mnuGGG)) return OutputAngles::Decimal;
  if (format.checked(FormatItem::mnugms1_)) return OutputAngles::Packed;
  if (format.checked(FormatItem::fOzi)) return OutputAngles::Waypoints;
  return OutputAngles::Dms;
}

PlaneStyle InputPlaneStyleOf(const FormatSettings& format) {
  if (format.checked(FormatItem::min1)) return PlaneStyle::Short;
  if (format.checked(FormatItem::max1)) return PlaneStyle::Full;
  return PlaneStyle::Standard;
}

PlaneStyle OutputPlaneStyleOf(const FormatSettings& format) {
  if (format.checked(FormatItem::MinEnd)) return PlaneStyle::Short;
  if (format.checked(FormatItem::MaxEnd)) return PlaneStyle::Full;
  return PlaneStyle::Standard;
}

}  // namespace korvagrid
