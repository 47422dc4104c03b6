#pragma once
// OziExplorer waypoint output (file version 1.1): the header, the waypoint
// lines and the label placement codes.
//
// A waypoint line holds exactly the 18 comma-separated fields of the format:
// number; name; latitude; longitude (decimal degrees, "." as separator
// always); date 37861.77282; symbol 0; status 1; map display format 3;
// foreground colour 0; background colour; an empty description of eleven
// spaces; pointer direction (the placement code); Garmin display format 0;
// proximity 0; altitude -777; font size; font style 0; symbol size 17.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace korvagrid {

// The label options of the waypoint output (set in the "Ozi-Properties"
// dialog or with the command line's --ozi-... options).
inline constexpr std::string_view kDefaultWaypointFontSize = "  8";
inline constexpr int kWaypointPlacementCount = 8;  // placements 0..7
inline constexpr std::int32_t kDefaultWaypointBackground = 65535;  // yellow, 0x00BBGGRR

struct WaypointOptions {
  std::int16_t placementIndex = 0;  // index in the placement list; -1 for a typed text
  std::string fontSizeText{kDefaultWaypointFontSize};  // written unchanged into the font size field
  std::int32_t backgroundColour = kDefaultWaypointBackground;  // written as a decimal integer

  // An empty font size text is written as the default one.
  void repair() {
    if (fontSizeText.empty()) fontSizeText = kDefaultWaypointFontSize;
  }
};

// The four header lines, each followed by CR LF. The datum line names the
// datum of the coordinates that follow: "Pulkovo 1942" for results in
// "BLH(Kras)", "WGS 84" for results in "WGS-84".
std::string OziHeader(bool pulkovo1942);

// The fixed fields from the date to the description, built once per run:
// ",37861.77282,  0, 1, 3,         0,     " colour ",           ,".
// Its first character is the comma that closes the longitude field.
std::string WaypointMiddle(std::int32_t colour);

// One waypoint line, without line end. `number` is N, the point's number in
// the run (from 1); an empty name is written as N. A "," in the name or in the
// font size text is written as ";" so the line keeps its 18 fields. Latitude
// and longitude are packed degrees; they are written as decimal degrees with
// the masks "00.#####0" and "00.#####0 ," and "." as decimal separator.
std::string WaypointLine(std::int64_t number, std::string_view name, double latPacked,
                         double lonPacked, int placementCode, std::string_view fontSizeText,
                         std::string_view middle);

// The pointer direction J of a waypoint from the placement index and n, the
// number of points converted before it in the run (0 for the first):
//   0..3 "Над точкой", "Под точкой", "Справа", "Слева": the index itself;
//   4 "Снизу-сверху": 0, 1, 0, 1, ...;   5 "Справа-слева": 2, 3, 2, 3, ...;
//   6 "Циклично": 0, 1, 2, 3, 0, ...;
//   7 "Произвольно": round(random01 × 4 + 0.5) − 1, rounding half to even;
//   any other index (a text typed into the list box): −1.
// `random01` is used for index 7 only; the caller draws it (PlacementRandom).
int PlacementCode(int placementIndex, std::int64_t n, double random01);

// Uniform pseudo-random numbers in [0, 1) for the placement "Произвольно".
// Seeded with a fixed value, so each program start begins the same sequence;
// the sequence runs on across conversion runs. seed() restarts it.
class PlacementRandom {
 public:
  static constexpr std::uint64_t kDefaultSeed = 20240611;

  explicit PlacementRandom(std::uint64_t seed = kDefaultSeed) : engine_(seed) {}
  void seed(std::uint64_t value) { engine_.seed(value); }
  // The next number, 0 <= r < 1 (53 random bits).
  double next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

 private:
  std::mt19937_64 engine_;
};

}  // namespace korvagrid
