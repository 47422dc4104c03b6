// RadStr3 in degree-minute-second and Trimble modes: the rewritten line is
// either the invalid-value marker or a line RadStr1 reads, and it is byte for
// byte the line of the field-by-field reading (the shortcut for common lines
// changes nothing: same line, same reason, same failure). A common line read
// straight into a record gives what RadStr1 reads from the rewritten line.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "common/error.h"
#include "formats/dms_line.h"
#include "formats/radstr1.h"
#include "formats/reports.h"
#include "geodesy/packed_angle.h"
#include "fuzz_input.h"

namespace {

struct Outcome {
  bool valid = false;
  std::string line;
  std::string why;
  std::string failure;  // the message of a KorvagridError
};

template <class Rewrite>
Outcome Rewritten(std::string line, Rewrite rewrite) {
  Outcome outcome;
  try {
    outcome.valid = rewrite(line, &outcome.why);
  } catch (const korvagrid::KorvagridError& error) {
    outcome.failure = error.what();
  }
  outcome.line = std::move(line);
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvagrid::fuzz::Input input(data, size);
  const bool trimble = input.flag();
  const bool nameIn = input.flag();
  // Bit 0 of the third byte chooses the separators, bit 1 the layout X; Y.
  const std::uint8_t choices = input.byte();
  const int layout = (choices & 2) != 0 ? 2 : nameIn ? 1 : 0;
  const std::pair<char, char> separators = korvagrid::fuzz::Separators((choices & 1) != 0);
  const char numP = separators.first;
  const char notP = separators.second;
  const std::string line = input.rest() + "  ";
  const Outcome fast = Rewritten(line, [&](std::string& text, std::string* why) {
    return korvagrid::RadStr3(text, nameIn, numP, notP, trimble, why);
  });
  const Outcome exact = Rewritten(line, [&](std::string& text, std::string* why) {
    return korvagrid::detail::RadStr3FieldByField(text, nameIn, numP, notP, trimble, why);
  });
  if (fast.valid != exact.valid || fast.why != exact.why || fast.failure != exact.failure) std::abort();
  if (fast.line != exact.line) std::abort();

  // The record read straight from a common line, against RadStr1 on the line.
  korvagrid::PointRecord straight;
  std::string straightFailure;
  bool common = false;
  try {
    common = korvagrid::detail::ReadCommonDmsRecord(line, straight, nameIn, numP, notP, trimble, layout);
  } catch (const korvagrid::KorvagridError& error) {
    common = true;
    straightFailure = error.what();
  }
  if (common) {
    if (!fast.valid) std::abort();
    korvagrid::PointRecord record;
    std::string failure;
    try {
      korvagrid::RadStr1(fast.line, record, nameIn, numP, notP, layout);
    } catch (const korvagrid::KorvagridError& error) {
      failure = error.what();
    }
    if (failure != straightFailure || record.name != straight.name || record.rest != straight.rest) std::abort();
    if (std::memcmp(&record.first, &straight.first, sizeof(double)) != 0 ||
        std::memcmp(&record.second, &straight.second, sizeof(double)) != 0 ||
        std::memcmp(&record.third, &straight.third, sizeof(double)) != 0) {
      std::abort();
    }
    // The angles' parts as read give the packed values' radians.
    const auto sameAngle = [](const korvagrid::PackedParts& parts, double packed) {
      return std::fabs(korvagrid::PartsToRad(parts) - korvagrid::PackedToRad(packed)) <= 2e-15;
    };
    if (straightFailure.empty() &&
        (!straight.angleParts || !sameAngle(straight.angleParts->latitude, straight.first) ||
         !sameAngle(straight.angleParts->longitude, straight.second))) {
      std::abort();
    }
  }
  if (!fast.failure.empty()) return 0;
  if (!fast.valid && fast.line != korvagrid::kInvalidValueMarker) std::abort();
  try {
    korvagrid::PointRecord record;
    korvagrid::RadStr1(fast.line + "  ", record, nameIn, numP, notP, 0);
  } catch (const korvagrid::KorvagridError&) {
  }
  return 0;
}
