#include "ui/datum_menu.h"

namespace korvagrid {

std::string DatumStatusText(DatumShiftKey key, HeightsMode heights) {
  std::string text = "СК-42 ↔ WGS-84: ";
  for (const DatumShiftMenuItem& item : kDatumShiftMenuItems) {
    if (item.key != key) continue;
    for (const char c : item.caption) {
      if (c != '&') text.push_back(c);
    }
  }
  text += heights == HeightsMode::Keep ? ", высоты сохраняются" : ", высоты пересчитываются";
  return text;
}

}  // namespace korvagrid
