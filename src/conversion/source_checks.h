#pragma once
// The checks a run makes on the written form of each plane point of its
// source system, and the questions it asks where a point does not fit:
//  - the X-digits question: X has too few digits for a system that writes it
//    in full, or too many for one that writes it short;
//  - the zone question: Y carries the zone prefix of another system, with
//    the advice which systems use that zone.
// A Yes silences its question for the rest of the run; a No stops the run.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/catalogue.h"
#include "interaction/platform.h"

namespace korvagrid {

// The prompt of a question about the source system, with `middle` as its
// second line.
std::string WrongSourceQuestion(std::string_view middle);

// Thrown when the user answers a question No; carries the prompt.
struct AnsweredNo {
  std::string prompt;
};

class SourceChecks {
 public:
  // `source` as the run reads it: its xOffset includes a short input style.
  SourceChecks(const CoordinateSystem& source, Interaction& interaction)
      : source_(source), interaction_(interaction) {}

  // Checks the point X, Y read on input line `line`; asks where it does not
  // fit. Returns the zone prefix to take off Y, in metres (0 when Y carries
  // none). Throws AnsweredNo on a No, KorvagridError when the millions of Y
  // do not fit 32 bits.
  std::int64_t check(double x, double y, std::int64_t line);

 private:
  void ask(std::string_view middle, std::optional<Answer>& answer, std::int64_t line);

  const CoordinateSystem& source_;
  Interaction& interaction_;
  std::optional<Answer> xDigitsAnswer_;
  std::optional<Answer> zoneAnswer_;
};

}  // namespace korvagrid
