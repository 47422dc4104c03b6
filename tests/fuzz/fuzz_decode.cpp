// Decoding the bytes of an opened file: UTF-8 with or without a byte-order
// mark, or cp1251; the text is valid UTF-8 with CR LF line ends, and writing
// it back in its encoding gives the same text again. The check of a whole
// text as UTF-8 agrees with the streaming validator.
#include <cstdint>
#include <cstdlib>

#include "documents/text_encoding.h"
#include "documents/text_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvagrid::fuzz::Input input(data, size);
  const std::string bytes = input.rest();
  // The whole-text check and the streaming validator agree on every text.
  korvagrid::Utf8Validator validator;
  validator.feed(bytes);
  if (korvagrid::IsValidUtf8(bytes) != validator.complete()) std::abort();
  const korvagrid::ReadTextResult read = korvagrid::DecodeTextDocument(bytes);
  if (!korvagrid::IsValidUtf8(read.text)) std::abort();
  for (std::size_t i = 0; i < read.text.size(); ++i) {
    const bool lineEnd = read.text[i] == '\r' || read.text[i] == '\n';
    if (lineEnd && read.text.compare(i, 2, "\r\n") != 0) std::abort();
    if (lineEnd) ++i;
  }
  const korvagrid::EncodedText written = korvagrid::EncodeText(read.text, read.encoding);
  const korvagrid::ReadTextResult again = korvagrid::DecodeTextDocument(written.bytes);
  if (again.text != read.text) std::abort();
  return 0;
}
