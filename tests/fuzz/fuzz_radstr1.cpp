// RadStr1 on any line, with every layout, name flag and separator pair: it
// either reads the line or fails with the system's own error.
#include <cstdint>

#include "common/error.h"
#include "formats/radstr1.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvagrid::fuzz::Input input(data, size);
  const int layout = input.choice(3);
  const bool nameIn = input.flag();
  const auto [numP, notP] = korvagrid::fuzz::Separators(input.flag());
  const std::string line = input.rest() + "  ";
  korvagrid::PointRecord record;
  try {
    korvagrid::RadStr1(line, record, nameIn, numP, notP, layout);
  } catch (const korvagrid::KorvagridError&) {
  }
  return 0;
}
