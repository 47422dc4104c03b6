#include "conversion/run.h"

#include "conversion/run_steps.h"

namespace korvagrid {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string FailureMessage(const RunOutcome& outcome) {
  if (outcome.lineNumber <= 0) return "Вычисления не начаты: " + outcome.reason;
  return "Вычисления прерваны в строке " + std::to_string(outcome.lineNumber) + ": " +
         outcome.reason;
}

RunOutcome ConversionRun(LineSource& lines, ResultSink& out, const ConversionSettings& settings,
                         Interaction& interaction, PlacementRandom& random, PointSink* points) {
  detail::RunSteps run(lines, out, settings, interaction, random, points);
  return run.execute([&run] {
    std::string line;
    std::string text;  // the result of a point, its capacity kept from line to line
    detail::PointJob job;
    bool first = true;
    while (run.takeLine(line)) {
      // One CR LF before every line but the first: each result stays opposite its input line.
      if (!first) run.out().append(kLineEnd);
      first = false;
      if (run.takePoint(line, job)) {
        RouteOutput value;
        text.clear();
        run.writePoint(job, value, text);
        run.appendPoint(job, text, value);
      }
    }
  });
}

}  // namespace korvagrid
