// RadStr3 in degree-minute-second and Trimble modes: the rewritten line is
// either the invalid-value marker or a line RadStr1 reads.
#include <cstdint>
#include <cstdlib>

#include "common/error.h"
#include "formats/radstr1.h"
#include "formats/reports.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvagrid::fuzz::Input input(data, size);
  const bool trimble = input.flag();
  const bool nameIn = input.flag();
  const auto [numP, notP] = korvagrid::fuzz::Separators(input.flag());
  std::string line = input.rest() + "  ";
  try {
    const bool valid = korvagrid::RadStr3(line, nameIn, numP, notP, trimble);
    if (!valid && line != korvagrid::kInvalidValueMarker) std::abort();
    korvagrid::PointRecord record;
    korvagrid::RadStr1(line + "  ", record, nameIn, numP, notP, 0);
  } catch (const korvagrid::KorvagridError&) {
  }
  return 0;
}
