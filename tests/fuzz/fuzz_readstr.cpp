// ReadStr over any text until it reports the end, and the stream source,
// which must yield the same lines as "Open..." text (TABs as two spaces)
// without the blank line that follows a final line end.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "formats/read_str.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvagrid::fuzz::Input input(data, size);
  const std::string raw = input.rest();

  std::string opened = raw;
  korvagrid::ReplaceTabsBySpaces(opened);
  std::vector<std::string> fromText;
  korvagrid::TextLineSource text(korvagrid::PrepareRunText(korvagrid::NormalizeLineEnds(opened)));
  std::string line;
  while (text.next(line)) fromText.push_back(line);

  if (raw.empty() || raw.back() == '\n' || raw.back() == '\r') fromText.pop_back();

  std::istringstream stream(raw);
  korvagrid::StreamLineSource source(stream);
  std::vector<std::string> fromStream;
  while (source.next(line)) fromStream.push_back(line);

  // Both sources stand for the same text: any difference is a fault.
  if (fromText != fromStream) std::abort();
  return 0;
}
