#include "formats/waypoints.h"

#include <cmath>

#include "formats/angles.h"
#include "formats/number_format.h"

namespace korvagrid {
namespace {

// Appends `text` with every "," written as ";": a comma would split a field.
void AppendFieldText(std::string& out, std::string_view text) {
  for (const char c : text) out.push_back(c == ',' ? ';' : c);
}

}  // namespace

std::string OziHeader(bool pulkovo1942) {
  std::string header = "OziExplorer Waypoint File Version 1.1\r\n";
  header += pulkovo1942 ? "Pulkovo 1942" : "WGS 84";
  header += "\r\nReserved 2\r\ngarmin16\r\n";
  return header;
}

std::string WaypointMiddle(std::int32_t colour) {
  return ",37861.77282,  0, 1, 3,         0,     " + std::to_string(colour) + ",           ,";
}

std::string WaypointLine(std::int64_t number, std::string_view name, double latPacked,
                         double lonPacked, int placementCode, std::string_view fontSizeText,
                         std::string_view middle) {
  const std::string numberText = std::to_string(number);
  std::string line;
  line.reserve(160);
  line += numberText;
  line.push_back(',');
  if (name.empty()) {
    line += numberText;
  } else {
    AppendFieldText(line, name);
  }
  line += "     ,  ";
  line += Format(PackedToDegrees(latPacked), "00.#####0", '.');
  line += " , ";
  line += Format(PackedToDegrees(lonPacked), "00.#####0 ,", '.');
  line += middle;
  line += std::to_string(placementCode);
  line += ", 0,    0,   -777, ";
  AppendFieldText(line, fontSizeText);
  line += ", 0,17";
  return line;
}

int PlacementCode(int placementIndex, std::int64_t n, double random01) {
  switch (placementIndex) {
    case 0:
    case 1:
    case 2:
    case 3:
      return placementIndex;
    case 4:
      return static_cast<int>(n - 2 * (n / 2));
    case 5:
      return static_cast<int>((n + 2) - 2 * (n / 2));
    case 6:
      return static_cast<int>(n - 4 * (n / 4));
    case 7:
      return static_cast<int>(std::nearbyint(random01 * 4 + 0.5)) - 1;
    default:
      return -1;
  }
}

}  // namespace korvagrid
