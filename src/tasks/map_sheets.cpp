#include "tasks/map_sheets.h"

#include <array>
#include <cmath>

#include "common/checked_int16.h"
#include "common/error.h"
#include "formats/angles.h"

namespace korvagrid {
namespace {

// Row letters of the 4° bands from 40° N.
constexpr std::array<std::string_view, 9> kRowLetters{"K", "L", "M", "N", "O", "P", "Q", "R", "S"};

constexpr std::array<std::string_view, 36> kRomanNumerals{
    "I",      "II",   "III", "IV",   "V",     "VI",     "VII",   "VIII", "IX",
    "X",      "XI",   "XII", "XIII", "XIV",   "XV",     "XVI",   "XVII", "XVIII",
    "XIX",    "XX",   "XXI", "XXII", "XXIII", "XXIV",   "XXV",   "XXVI", "XXVII",
    "XXVIII", "XXIX", "XXX", "XXXI", "XXXII", "XXXIII", "XXXIV", "XXXV", "XXXVI"};

// Runs one step of the naming; a failing step leaves its result as it was
// and the naming goes on with the next one.
template <typename Step>
void Absorbing(Step step) {
  try {
    step();
  } catch (const KorvagridError&) {
  }
}

// Sheets are computed from angles in whole units of 1e-6", so that every
// edge (a whole number of minutes) is met exactly: in binary floating point
// (55°40' − 52°) / 20' comes out as 10.99999..., which put one edge's points
// into the sheet south of it and another edge's into the sheet north of it.
constexpr std::int64_t kUnitsPerDegree = 3600LL * 1000000;
constexpr std::int64_t kUnitsPerMinute = 60LL * 1000000;
constexpr double kLargestDegrees =
    1e9;  // far beyond any 16-bit sheet arithmetic, within int64 units

std::int64_t ToUnits(double degrees) {
  if (!(std::fabs(degrees) <= kLargestDegrees)) {
    throw KorvagridError("переполнение: угол " + std::to_string(degrees) + "°");
  }
  return std::llround(degrees * static_cast<double>(kUnitsPerDegree));
}

// A quotient of units truncated toward zero, as a 16-bit integer.
std::int16_t UnitsQuotient(std::int64_t units, std::int64_t per) {
  return CheckedInt16(units / per);
}

}  // namespace

std::string Sheet200Numeral(double B, double L, std::int16_t B4, std::int16_t L6) {
  // Rows of 40' from the north (1..6), columns of 1° from the west (1..6).
  const std::int64_t north = ToUnits(B) - std::int64_t{B4} * kUnitsPerDegree;
  const std::int64_t east = ToUnits(L) - std::int64_t{L6} * kUnitsPerDegree;
  const std::int16_t row = CheckedInt16(6 - UnitsQuotient(north, 40 * kUnitsPerMinute));
  const std::int16_t col = CheckedInt16(UnitsQuotient(east, kUnitsPerDegree) + 1);
  if (row < 1 || row > 6 || col < 1 || col > 6) {
    throw KorvagridError("лист 1:200 000 вне трапеции: ряд " + std::to_string(row) + ", колонна " +
                         std::to_string(col));
  }
  const std::int16_t number = CheckedInt16((row - 1) * 6 + col);
  return std::string(kRomanNumerals[static_cast<std::size_t>(number - 1)]);
}

std::string Sheet100Number(double B, double L, std::int16_t B4, std::int16_t L6) {
  // Rows of 20' from the north (1..12), columns of 30' from the west (0..11).
  const std::int64_t north = ToUnits(B) - std::int64_t{B4} * kUnitsPerDegree;
  const std::int64_t east = ToUnits(L) - std::int64_t{L6} * kUnitsPerDegree;
  const std::int16_t row = CheckedInt16(12 - UnitsQuotient(north, 20 * kUnitsPerMinute));
  const std::int16_t m = UnitsQuotient(east, 30 * kUnitsPerMinute);
  const std::int16_t number = CheckedInt16(CheckedInt16(CheckedInt16((row - 1) * 12) + m) + 1);
  return std::to_string(number);
}

std::string MapSheetName(std::int16_t scaleCode, double B, double L) {
  std::int16_t B4 = 0;
  std::int16_t r = 0;
  std::int16_t L6 = 0;
  std::int16_t c = 0;
  std::string prefix;
  Absorbing(
      [&] { B4 = CheckedInt16(4 * std::int64_t{UnitsQuotient(ToUnits(B), 4 * kUnitsPerDegree)}); });
  Absorbing([&] { r = CheckedInt16(B4 / 4 - 10); });
  Absorbing(
      [&] { L6 = CheckedInt16(6 * std::int64_t{UnitsQuotient(ToUnits(L), 6 * kUnitsPerDegree)}); });
  Absorbing([&] { c = CheckedInt16(UnitsQuotient(ToUnits(L), 6 * kUnitsPerDegree) + 31); });
  Absorbing([&] {
    if (r < 0 || r >= static_cast<std::int16_t>(kRowLetters.size())) {
      throw KorvagridError("нет буквы ряда для широты " + std::to_string(B));
    }
    prefix = std::string(kRowLetters[static_cast<std::size_t>(r)]) + "-" + std::to_string(c) + "-";
  });
  std::string name = prefix;
  if (scaleCode == kScale200) {
    Absorbing([&] { name = prefix + Sheet200Numeral(B, L, B4, L6); });
  } else if (scaleCode == kScale100) {
    Absorbing([&] { name = prefix + Sheet100Number(B, L, B4, L6); });
  }
  return name;
}

std::string BuildSheetList(std::string_view resultText, const std::vector<SheetPoint>& points,
                           std::int16_t scaleCode, bool nameFlag) {
  std::string text;
  std::size_t next = 0;  // the point of the next result line
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = resultText.find("\r\n", start);
    const std::string_view line = resultText.substr(
        start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (line.find_first_not_of(" \t") != std::string_view::npos && next < points.size()) {
      const SheetPoint& point = points[next++];
      if (nameFlag) text.append(point.name).append("; ");
      text.append(MapSheetName(scaleCode, point.latitude, point.longitude));
    }
    text.append("\r\n");
    if (end == std::string_view::npos) break;
    start = end + 2;
  }
  return text;
}

ConversionSettings SheetRunSettings(ConversionSettings settings) {
  settings.target = KrasovskyGeographic();
  settings.outputAngles = OutputAngles::Packed;
  return settings;
}

void SheetPointCollector::add(RunPoint point) {
  points.push_back(
      {std::move(point.name), PackedToDegrees(point.first), PackedToDegrees(point.second)});
}

}  // namespace korvagrid
