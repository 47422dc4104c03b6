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
  std::string text;       // the input line
  detail::ReadLine read;  // what the line gave
  detail::PointJob job;
  bool hasJob = false;       // false for a blank or empty line
  std::exception_ptr error;  // why the point could not be written
};

// The results of consecutive entries, written by one thread: each entry's
// text preceded by its line end (but the first of the run).
struct BatchPart {
  std::size_t from = 0;
  std::size_t to = 0;
  std::string text;
  std::size_t failed = 0;  // the entry whose point could not be written (`to` for none)
  std::int64_t points = 0;  // points written before it
};

// Calls work(part) for the parts, side by side (this thread taking the first).
template <class Work>
void InParallel(std::vector<BatchPart>& parts, const Work& work) {
  std::vector<std::thread> helpers;
  for (std::size_t i = 1; i < parts.size(); ++i) helpers.emplace_back(work, std::ref(parts[i]));
  if (!parts.empty()) work(parts[0]);
  for (std::thread& helper : helpers) helper.join();
}

// Splits `count` entries into at most `threads` parts of consecutive entries.
void SplitIntoParts(std::size_t count, int threads, std::vector<BatchPart>& parts) {
  const std::size_t wanted = std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), count);
  parts.resize(wanted);
  const std::size_t share = wanted == 0 ? 0 : (count + wanted - 1) / wanted;
  for (std::size_t i = 0; i < wanted; ++i) {
    parts[i].from = std::min(count, i * share);
    parts[i].to = std::min(count, (i + 1) * share);
  }
}

}  // namespace

RunOutcome ConversionRunInBatches(LineSource& lines, ResultSink& out,
                                  const ConversionSettings& settings, Interaction& interaction,
                                  PlacementRandom& random, int threads, std::size_t batchLines) {
  batchLines = std::max<std::size_t>(batchLines, 1);
  detail::RunSteps run(lines, out, settings, interaction, random, nullptr);
  return run.execute([&] {
    std::vector<BatchEntry> batch(batchLines);
    std::vector<BatchPart> parts;
    bool first = true;  // nothing written yet
    bool ended = false;
    while (!ended) {
      // The lines of the batch, taken in order as they stand in the input.
      std::size_t taken = 0;
      std::exception_ptr notTaken;  // the input could not be read further
      while (taken < batchLines) {
        BatchEntry& entry = batch[taken];
        try {
          if (!run.takeRecord(entry.text, entry.line, true)) {
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

      // Finished and read side by side; then checked in order, with the questions, the
      // counters and the random placements of the plain run. A line that
      // cannot be taken ends the batch there.
      SplitIntoParts(taken, threads, parts);
      InParallel(parts, [&](BatchPart& part) {
        for (std::size_t i = part.from; i < part.to; ++i)
          run.readLine(batch[i].text, batch[i].read, true);
      });
      std::size_t accepted = 0;
      std::exception_ptr stopped;
      std::int64_t stoppedLine = 0;
      for (; accepted < taken; ++accepted) {
        BatchEntry& entry = batch[accepted];
        run.enterLine(entry.line);
        try {
          entry.hasJob = run.acceptPoint(entry.read, entry.job);
        } catch (...) {
          stopped = std::current_exception();
          stoppedLine = entry.line;
          break;
        }
      }

      // Carried and written side by side, each part into one text; the
      // first point that could not be written ends the run there.
      SplitIntoParts(accepted, threads, parts);
      InParallel(parts, [&](BatchPart& part) {
        part.text.clear();
        part.failed = part.to;
        part.points = 0;
        RouteOutput value;
        for (std::size_t i = part.from; i < part.to; ++i) {
          BatchEntry& entry = batch[i];
          if (!(first && i == 0)) part.text.append(kLineEnd);
          if (!entry.hasJob) continue;
          const std::size_t written = part.text.size();
          try {
            run.writePoint(entry.job, value, part.text);
          } catch (...) {
            entry.error = std::current_exception();
            part.text.resize(written);
            part.failed = i;
            return;
          }
          ++part.points;
        }
      });
      // Appended in order, up to the first point that could not be written.
      for (const BatchPart& part : parts) {
        run.out().append(part.text);
        run.countWrittenPoints(part.points);
        first = false;
        if (part.failed != part.to) {
          run.setCurrentLine(batch[part.failed].line);
          std::rethrow_exception(batch[part.failed].error);
        }
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
