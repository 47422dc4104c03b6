#include "tasks/map_sheets.h"

#include <array>
#include <exception>

#include "common/checked_int16.h"
#include "common/error.h"
#include "formats/angles.h"
#include "formats/radstr1.h"
#include "formats/read_str.h"

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

}  // namespace

std::string Sheet200Numeral(double B, double L, std::int16_t B4, std::int16_t L6) {
  // Rows of 40' from the north (1..6), columns of 1° from the west (1..6).
  const std::int16_t row = CheckedInt16(6 - TruncToInt16((B - B4) / (4.0 / 6.0)));
  const std::int16_t col = CheckedInt16(TruncToInt16(L - L6) + 1);
  if (row < 1 || row > 6 || col < 1 || col > 6) {
    throw KorvagridError("лист 1:200 000 вне трапеции: ряд " + std::to_string(row) + ", колонна " +
                         std::to_string(col));
  }
  const std::int16_t number = CheckedInt16((row - 1) * 6 + col);
  return std::string(kRomanNumerals[static_cast<std::size_t>(number - 1)]);
}

std::string Sheet100Number(double B, double L, std::int16_t B4, std::int16_t L6) {
  // Rows of 20' from the north (1..12), columns of 30' from the west (0..11).
  const std::int16_t row = CheckedInt16(12 - TruncToInt16((B - B4) / (4.0 / 12.0)));
  const std::int16_t m = TruncToInt16((L - L6) / 0.5);
  const std::int16_t number = CheckedInt16(CheckedInt16(CheckedInt16((row - 1) * 12) + m) + 1);
  return std::to_string(number);
}

std::string MapSheetName(std::int16_t scaleCode, double B, double L) {
  std::int16_t B4 = 0;
  std::int16_t r = 0;
  std::int16_t L6 = 0;
  std::int16_t c = 0;
  std::string prefix;
  Absorbing([&] { B4 = CheckedInt16(4 * TruncToInt16(B / 4)); });
  Absorbing([&] { r = CheckedInt16(B4 / 4 - 10); });
  Absorbing([&] { L6 = CheckedInt16(6 * TruncToInt16(L / 6)); });
  Absorbing([&] { c = CheckedInt16(TruncToInt16(L / 6) + 31); });
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

SheetListResult BuildSheetList(std::string_view resultText, std::int16_t scaleCode, bool nameFlag,
                               char numP, char notP) {
  SheetListResult result;
  std::string work = PrepareRunText(resultText);
  std::int64_t lineCounter = 0;  // lists of any length are read
  std::int64_t position = 0;
  std::string line;
  try {
    while (position < static_cast<std::int64_t>(work.size()) - 1) {
      ReadStr(work, line, lineCounter, position);
      ++result.lineNumber;
      ++lineCounter;
      ReplaceTabsBySpaces(line);
      if (!IsBlankLine(line)) {
        PointRecord record;
        RadStr1(TrimmedLine(line), record, nameFlag, numP, notP, 1);
        if (nameFlag) result.text.append(record.name).append("; ");
        const double B = PackedToDegrees(record.first);
        const double L = PackedToDegrees(record.second);
        result.text.append(MapSheetName(scaleCode, B, L));
      }
      result.text.append("\r\n");
    }
  } catch (const std::exception& error) {
    // Like every command that works through a whole text, the list ends at
    // its first failure and keeps what it has written.
    result.completed = false;
    result.reason = error.what();
  }
  if (result.completed) result.lineNumber = 0;
  return result;
}

}  // namespace korvagrid
