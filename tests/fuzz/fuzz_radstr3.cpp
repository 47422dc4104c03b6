// RadStr3 in degree-minute-second and Trimble modes: the rewritten line is
// either the invalid-value marker or a line RadStr1 reads, and it is byte for
// byte the line of the field-by-field reading (the shortcut for common lines
// changes nothing: same line, same reason, same failure).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "common/error.h"
#include "formats/radstr1.h"
#include "formats/reports.h"
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
  const std::pair<char, char> separators = korvagrid::fuzz::Separators(input.flag());
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
  if (!fast.failure.empty()) return 0;
  if (!fast.valid && fast.line != korvagrid::kInvalidValueMarker) std::abort();
  try {
    korvagrid::PointRecord record;
    korvagrid::RadStr1(fast.line + "  ", record, nameIn, numP, notP, 0);
  } catch (const korvagrid::KorvagridError&) {
  }
  return 0;
}
