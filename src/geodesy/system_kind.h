#pragma once
#include <cstdint>

namespace korvagrid {

// Kind of a coordinate system, with the numbers the catalogue gives them.
enum class SystemKind : std::int16_t { LocalPlane = 1, GaussKrugerZone = 2, Geographic = 3 };

}  // namespace korvagrid
