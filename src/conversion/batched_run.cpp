#include "conversion/batched_run.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

#include "conversion/run_steps.h"

namespace korvagrid {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// One input line (one Ashtech record) of a batch and what it gives. The
// entries of a run are reused from batch to batch, so their texts keep their
// capacity.
struct BatchEntry {
  std::int64_t line = 0;
  std::string text;                     // the input line, then the written point
  detail::ReadLine read;                // what the line gave
  std::optional<detail::PointJob> job;  // nothing for a blank or empty line
  RouteOutput value;                    // the point's values
  std::exception_ptr error;             // why the point could not be written
};

// Calls work(i) for every i below `count`, in `threads` runs of consecutive
// entries side by side (this thread taking the first).
template <class Work>
void ForEachInParallel(std::size_t count, int threads, const Work& work) {
  const auto range = [&work](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) work(i);
  };
  const std::size_t parts = std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), count);
  if (parts <= 1) {
    range(0, count);
    return;
  }
  std::vector<std::thread> helpers;
  const std::size_t share = (count + parts - 1) / parts;
  for (std::size_t part = 1; part < parts; ++part) {
    helpers.emplace_back(range, std::min(count, part * share), std::min(count, (part + 1) * share));
  }
  range(0, std::min(count, share));
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

RunOutcome ConversionRunInBatches(LineSource& lines, ResultSink& out,
                                  const ConversionSettings& settings, Interaction& interaction,
                                  PlacementRandom& random, int threads, std::size_t batchLines) {
  batchLines = std::max<std::size_t>(batchLines, 1);
  detail::RunSteps run(lines, out, settings, interaction, random, nullptr);
  return run.execute([&] {
    std::vector<BatchEntry> batch(batchLines);
    bool first = true;
    bool ended = false;
    while (!ended) {
      // The lines of the batch, taken in order.
      std::size_t taken = 0;
      std::exception_ptr notTaken;  // the input could not be read further
      while (taken < batchLines) {
        BatchEntry& entry = batch[taken];
        try {
          if (!run.takeRecord(entry.text, entry.line)) {
            ended = true;
            break;
          }
        } catch (...) {
          notTaken = std::current_exception();
          ended = true;
          break;
        }
        ++taken;
      }

      // Read side by side; then checked in order, with the questions, the
      // counters and the random placements of the plain run. A line that
      // cannot be taken ends the batch there.
      ForEachInParallel(taken, threads,
                        [&](std::size_t i) { run.readLine(batch[i].text, batch[i].read); });
      std::size_t accepted = 0;
      std::exception_ptr stopped;
      std::int64_t stoppedLine = 0;
      for (; accepted < taken; ++accepted) {
        BatchEntry& entry = batch[accepted];
        run.enterLine(entry.line);
        try {
          entry.job = run.acceptPoint(entry.read);
        } catch (...) {
          stopped = std::current_exception();
          stoppedLine = entry.line;
          break;
        }
      }

      // Carried and written side by side, appended in order; the first point
      // that could not be written ends the run there.
      ForEachInParallel(accepted, threads, [&](std::size_t i) {
        BatchEntry& entry = batch[i];
        entry.error = nullptr;
        if (!entry.job) return;
        try {
          run.writePoint(*entry.job, entry.value, entry.text);
        } catch (...) {
          entry.error = std::current_exception();
        }
      });
      for (std::size_t i = 0; i < accepted; ++i) {
        BatchEntry& entry = batch[i];
        if (!first) run.out().append(kLineEnd);
        first = false;
        if (entry.error) {
          run.setCurrentLine(entry.line);
          std::rethrow_exception(entry.error);
        }
        if (entry.job) run.appendPoint(*entry.job, entry.text, entry.value);
      }
      if (stopped) {
        if (!first) run.out().append(kLineEnd);
        run.setCurrentLine(stoppedLine);
        std::rethrow_exception(stopped);
      }
      if (notTaken) std::rethrow_exception(notTaken);
    }
  });
}

}  // namespace korvagrid
