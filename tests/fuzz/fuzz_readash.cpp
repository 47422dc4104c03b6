// ReadAsh on records assembled from any four lines.
#include <cstdint>
#include <cstdlib>

#include "common/error.h"
#include "formats/radstr1.h"
#include "formats/reports.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvagrid::fuzz::Input input(data, size);
  const char numP = input.flag() ? ',' : '.';
  const std::string text = input.rest();
  // Four lines cut at the first three line feeds.
  std::string lines[4];
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t end = i < 3 ? text.find('\n', start) : std::string::npos;
    lines[i] = text.substr(std::min(start, text.size()), end == std::string::npos ? std::string::npos : end - start) + "  ";
    start = end == std::string::npos ? text.size() : end + 1;
  }
  std::string record = korvagrid::AssembleAshtechRecord(lines[0], lines[1], lines[2]);
  try {
    const bool valid = korvagrid::ReadAsh(record, numP);
    if (!valid && record != korvagrid::kInvalidValueMarker) std::abort();
    korvagrid::PointRecord point;
    korvagrid::RadStr1(record + "  ", point, true, numP, numP == '.' ? ',' : '.', 0);
  } catch (const korvagrid::KorvagridError&) {
  }
  return 0;
}
