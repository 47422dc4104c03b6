#include "conversion/batched_run.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

#include "conversion/run_steps.h"

namespace korvagrid {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// One input line (one Ashtech record) of a batch and what it gives.
struct BatchEntry {
  std::int64_t line = 0;
  std::optional<detail::PointJob> job;  // nothing for a blank or empty line
  std::string text;                     // the written point
  RouteOutput value;                    // its values
  std::exception_ptr error;             // why the point could not be written
};

// Writes the points of a batch, its parts on `threads` threads.
void WriteBatch(const detail::RunSteps& run, std::vector<BatchEntry>& batch, int threads) {
  const auto writeRange = [&run, &batch](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      BatchEntry& entry = batch[i];
      if (!entry.job) continue;
      try {
        entry.text = run.writePoint(*entry.job, entry.value);
      } catch (...) {
        entry.error = std::current_exception();
      }
    }
  };
  const std::size_t parts = std::min<std::size_t>(static_cast<std::size_t>(threads), batch.size());
  if (parts <= 1) {
    writeRange(0, batch.size());
    return;
  }
  std::vector<std::thread> helpers;
  const std::size_t share = (batch.size() + parts - 1) / parts;
  for (std::size_t part = 1; part < parts; ++part) {
    helpers.emplace_back(writeRange, part * share, std::min(batch.size(), (part + 1) * share));
  }
  writeRange(0, std::min(batch.size(), share));
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

RunOutcome ConversionRunInBatches(LineSource& lines, ResultSink& out,
                                  const ConversionSettings& settings, Interaction& interaction,
                                  PlacementRandom& random, int threads, std::size_t batchLines,
                                  PointSink* points) {
  batchLines = std::max<std::size_t>(batchLines, 1);
  detail::RunSteps run(lines, out, settings, interaction, random, points);
  return run.execute([&] {
    std::vector<BatchEntry> batch;
    std::string line;
    bool first = true;
    bool ended = false;
    while (!ended) {
      batch.clear();
      std::exception_ptr stopped;  // a line that could not be taken ends the batch
      std::int64_t stoppedLine = 0;
      while (batch.size() < batchLines) {
        if (!run.takeLine(line)) {
          ended = true;
          break;
        }
        BatchEntry entry;
        entry.line = run.linesTaken();
        try {
          entry.job = run.takePoint(line);
        } catch (...) {
          stopped = std::current_exception();
          stoppedLine = run.currentLine();
          break;
        }
        batch.push_back(std::move(entry));
      }
      WriteBatch(run, batch, threads);
      // Append in order; the first point that could not be written ends the run there.
      for (BatchEntry& entry : batch) {
        if (!first) run.out().append(kLineEnd);
        first = false;
        if (entry.error) {
          run.setCurrentLine(entry.line);
          std::rethrow_exception(entry.error);
        }
        if (entry.job) {
          try {
            run.appendPoint(*entry.job, entry.text, entry.value);
          } catch (...) {
            run.setCurrentLine(entry.line);  // the point sink refused this line's point
            throw;
          }
        }
      }
      if (stopped) {
        if (!first) run.out().append(kLineEnd);
        run.setCurrentLine(stoppedLine);
        std::rethrow_exception(stopped);
      }
    }
  });
}

}  // namespace korvagrid
