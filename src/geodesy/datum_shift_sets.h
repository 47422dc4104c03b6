#pragma once
// The named parameter sets of the datum shift SK-42 → WGS-84.
//
//   key        name                  ΔX ΔY ΔZ (m)            ωx ωy ωz (")         m (ppm)  accuracy
//   classic    Korvagrid classic     26.3, −132.6, −76.3     −0.22, −0.4, −0.9    −0.12    not stated
//   gost2008   GOST R 51794-2008     23.57, −140.95, −79.8   0, −0.35, −0.79      −0.22    3 m
//   gost2001   GOST R 51794-2001     23.92, −141.27, −80.9   0, −0.35, −0.82      −0.12    4 m
//
// All three are in the coordinate-frame rotation convention (EPSG method
// 9607) and are applied by the same small-angle formulas (datum_shift.h).
// "classic" is the set every earlier Korvagrid result was computed with and
// stays the default, so that stored results do not change; it is not part of
// the EPSG dataset. The two GOST sets are the EPSG transformations
// "Pulkovo 1942 to WGS 84 (20)" (EPSG:5044, GOST R 51794-2008) and
// "Pulkovo 1942 to WGS 84 (17)" (EPSG:1267, GOST R 51794-2001); their
// parameters, stated accuracy and area were read from the EPSG dataset
// shipped with PROJ 9.1.1 (`projinfo -k operation EPSG:5044`,
// `projinfo -k operation EPSG:1267`), and tests/test_geodesy_proj.cpp checks
// them against projinfo again where PROJ is installed.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace korvagrid {

// Seven parameters of the small-angle similarity transformation in the
// coordinate-frame convention.
struct HelmertParameters {
  double dx;  // metres
  double dy;  // metres
  double dz;  // metres
  double wx;  // arc seconds
  double wy;  // arc seconds
  double wz;  // arc seconds
  double m;   // scale difference (dimensionless: −0.12e-6 is −0.12 ppm)
};

// The set with every value negated: the way back WGS-84 → SK-42 uses it,
// which is close to but not exactly the inverse transformation.
constexpr HelmertParameters Negated(const HelmertParameters& p) {
  return {-p.dx, -p.dy, -p.dz, -p.wx, -p.wy, -p.wz, -p.m};
}

enum class DatumShiftKey { Classic, Gost2008, Gost2001 };

// EPSG method "Coordinate Frame rotation (geog2D domain)".
inline constexpr int kEpsgMethodCoordinateFrame = 9607;

struct DatumShiftSet {
  DatumShiftKey key;
  std::string_view keyText;          // "classic", "gost2008", "gost2001"
  std::string_view name;             // "GOST R 51794-2008"
  std::string_view epsgName;         // the EPSG transformation's name, empty when not in EPSG
  std::optional<int> epsgOperation;  // the EPSG transformation code
  int epsgMethod;                    // 9607, coordinate frame rotation
  HelmertParameters toWgs84;         // SK-42 → WGS-84, coordinate frame
  std::string_view area;             // area of use as EPSG states it, empty when none is stated
  std::optional<double> accuracy;    // stated accuracy, metres
};

inline constexpr std::array<DatumShiftSet, 3> kDatumShiftSets{{
    {DatumShiftKey::Classic, "classic", "Korvagrid classic", "", std::nullopt,
     kEpsgMethodCoordinateFrame, {26.3, -132.6, -76.3, -0.22, -0.4, -0.9, -0.12e-6}, "",
     std::nullopt},
    {DatumShiftKey::Gost2008, "gost2008", "GOST R 51794-2008", "Pulkovo 1942 to WGS 84 (20)", 5044,
     kEpsgMethodCoordinateFrame, {23.57, -140.95, -79.8, 0, -0.35, -0.79, -0.22e-6},
     "Russian Federation - onshore", 3.0},
    {DatumShiftKey::Gost2001, "gost2001", "GOST R 51794-2001", "Pulkovo 1942 to WGS 84 (17)", 1267,
     kEpsgMethodCoordinateFrame, {23.92, -141.27, -80.9, 0, -0.35, -0.82, -0.12e-6},
     "Russian Federation - onshore", 4.0},
}};

inline constexpr DatumShiftKey kDefaultDatumShift = DatumShiftKey::Classic;

// The set of `key`.
constexpr const DatumShiftSet& DatumShiftSetOf(DatumShiftKey key) {
  return kDatumShiftSets[static_cast<std::size_t>(key)];
}

// The set whose keyText is `keyText` ("gost2008"), nullptr when there is none.
constexpr const DatumShiftSet* FindDatumShiftSet(std::string_view keyText) {
  for (const DatumShiftSet& set : kDatumShiftSets) {
    if (set.keyText == keyText) return &set;
  }
  return nullptr;
}

}  // namespace korvagrid
