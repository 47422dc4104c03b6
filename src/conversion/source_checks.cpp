#include "conversion/source_checks.h"

#include <cmath>

#include "common/error.h"
#include "common/messages.h"
#include "geodesy/constants.h"

namespace korvagrid {
namespace {

// X of a system written in full has at least seven digits (a million metres).
constexpr double kMillionMetres = 1000000;

constexpr std::string_view kLineEnd = "\r\n";

constexpr double kLargestYMillions = 2147;  // the millions of Y are a 32-bit value

}  // namespace

std::string WrongSourceQuestion(std::string_view middle) {
  std::string prompt;
  prompt.append(kWrongSourceQuestionHead).append(kLineEnd).append(middle).append(kLineEnd);
  prompt.append(kWrongSourceQuestionTail);
  return prompt;
}

void SourceChecks::ask(std::string_view middle, std::optional<Answer>& answer, std::int64_t line) {
  const std::string prompt = WrongSourceQuestion(middle);
  interaction_.showRunPosition(line);
  answer = interaction_.askYesNo(prompt, kQuestionTitle);
  if (*answer == Answer::No) throw AnsweredNo{prompt};
}

std::int64_t SourceChecks::check(double x, double y, std::int64_t line) {
  // A system whose X is written below a million metres (short, or small by
  // its own false northing) expects a small X; every other system a large one.
  const bool expectsSmallX = source_.xBelowMillion || source_.xOffset != 0;
  if (!expectsSmallX && xDigitsAnswer_ != Answer::Yes && x < kMillionMetres) {
    ask(kXTooFewDigits, xDigitsAnswer_, line);
  }
  if (expectsSmallX && xDigitsAnswer_ != Answer::Yes && x > kMillionMetres) {
    ask(kXTooLarge, xDigitsAnswer_, line);
  }
  const double millions = std::trunc(y / kMetresPerZonePrefix);
  if (!(std::fabs(millions) <= kLargestYMillions)) {
    throw KorvagridError("переполнение: Y = " + std::to_string(y));
  }
  const auto prefix = static_cast<std::int64_t>(millions);
  if (prefix != source_.zone && prefix != 0 && zoneAnswer_ != Answer::Yes) {
    if (const std::optional<std::string_view> advice = ZoneAdvice(prefix))
      ask(*advice, zoneAnswer_, line);
  }
  return prefix * static_cast<std::int64_t>(kMetresPerZonePrefix);
}

}  // namespace korvagrid
