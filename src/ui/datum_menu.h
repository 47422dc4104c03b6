#pragma once
// The window's choice of the SK-42 <-> WGS-84 parameter set ("Параметры
// перехода") and of what happens to heights across the datum ("Высоты"):
// the menu captions and object names, and the status-bar text of the active
// choice.
#include <array>
#include <string>
#include <string_view>

#include "geodesy/datum_shift.h"

namespace korvagrid {

inline constexpr std::string_view kDatumShiftMenuCaption = "Параметры перехода";
inline constexpr std::string_view kHeightsMenuCaption = "Высоты";

struct DatumShiftMenuItem {
  DatumShiftKey key;
  std::string_view name;     // object name
  std::string_view caption;  // menu caption, "&" before its mnemonic
};

inline constexpr std::array<DatumShiftMenuItem, 3> kDatumShiftMenuItems{{
    {DatumShiftKey::Classic, "mnuShiftClassic", "&Прежние параметры программы"},
    {DatumShiftKey::Gost2008, "mnuShiftGost2008", "ГОСТ Р 51794-200&8 (EPSG:5044)"},
    {DatumShiftKey::Gost2001, "mnuShiftGost2001", "ГОСТ Р 51794-200&1 (EPSG:1267)"},
}};

struct HeightsMenuItem {
  HeightsMode mode;
  std::string_view name;
  std::string_view caption;
};

inline constexpr std::array<HeightsMenuItem, 2> kHeightsMenuItems{{
    {HeightsMode::Shift, "mnuHeightsShift", "&Пересчитывать (эллипсоидальные)"},
    {HeightsMode::Keep, "mnuHeightsKeep", "&Сохранять (нормальные высоты)"},
}};

// "СК-42 ↔ WGS-84: ГОСТ Р 51794-2008 (EPSG:5044), высоты пересчитываются".
std::string DatumStatusText(DatumShiftKey key, HeightsMode heights);

}  // namespace korvagrid
