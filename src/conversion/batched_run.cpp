#include "conversion/batched_run.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
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
  RouteOutput value;         // the point's values
  std::size_t textEnd = 0;   // where its result (with the line end before it) ends in its part's text
  std::exception_ptr error;  // why the point could not be written
};

// Consecutive entries of a batch, read and written by one thread; their
// results in one text, each preceded by its line end (but the first of the
// run).
struct BatchPart {
  std::size_t from = 0;
  std::size_t to = 0;
  std::string text;
  std::size_t failed = 0;  // the entry whose point could not be written (`to` for none)
  std::int64_t points = 0;  // points written before it
};

// Calls work(part) for every part on `threads` threads side by side (this
// one among them), each taking the next part not yet taken: a thread that
// gets less of a core (the reading thread shares them) simply does fewer.
template <class Work>
void InParallel(std::vector<BatchPart>& parts, int threads, const Work& work) {
  std::atomic<std::size_t> next{0};
  const auto takeParts = [&] {
    for (std::size_t i = next++; i < parts.size(); i = next++) work(parts[i]);
  };
  std::vector<std::thread> helpers;
  const std::size_t wanted = std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), parts.size());
  for (std::size_t i = 1; i < wanted; ++i) helpers.emplace_back(takeParts);
  takeParts();
  for (std::thread& helper : helpers) helper.join();
}

// Splits `count` entries into parts of consecutive entries.
void SplitIntoParts(std::size_t count, std::vector<BatchPart>& parts) {
  constexpr std::size_t kPartLines = 512;
  parts.resize((count + kPartLines - 1) / kPartLines);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    parts[i].from = i * kPartLines;
    parts[i].to = std::min(count, (i + 1) * kPartLines);
  }
}

// The records of a batch, taken in order as they stand in the input.
struct Batch {
  std::vector<BatchEntry> entries;
  std::size_t taken = 0;
  bool ended = false;           // the input ends with this batch
  std::exception_ptr notTaken;  // why the input could not be read further
};

// Hands out the batches of the run. With `ahead`, a thread of its own takes
// the records of the next batch while the run converts the current one:
// taking records is sequential, so it would otherwise leave the other cores
// waiting.
class BatchReader {
 public:
  BatchReader(detail::RunSteps& run, std::size_t batchLines, bool ahead)
      : run_(run), batchLines_(batchLines) {
    if (ahead) thread_ = std::thread([this] { readAhead(); });
  }
  ~BatchReader() {
    if (!thread_.joinable()) return;
    {
      const std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  BatchReader(const BatchReader&) = delete;
  BatchReader& operator=(const BatchReader&) = delete;

  // The next batch; it stays valid until the next call.
  Batch& next() {
    const std::size_t n = handedOut_;
    Batch& batch = slots_[n % slots_.size()];
    if (!thread_.joinable()) {
      fill(batch);
      ++handedOut_;
      return batch;
    }
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this, n] { return filled_ > n; });
      ++handedOut_;  // the batch handed out before is free again
    }
    changed_.notify_all();
    return batch;
  }

 private:
  void fill(Batch& batch) {
    batch.taken = 0;
    batch.ended = false;
    batch.notTaken = nullptr;
    while (batch.taken < batchLines_) {
      // Entries are made as a batch first needs them and then kept.
      if (batch.taken == batch.entries.size()) batch.entries.emplace_back();
      BatchEntry& entry = batch.entries[batch.taken];
      try {
        if (!run_.takeRecord(entry.text, entry.line, true)) {
          batch.ended = true;
          return;
        }
      } catch (...) {
        batch.notTaken = std::current_exception();
        batch.ended = true;
        return;
      }
      ++batch.taken;
    }
  }

  // Fills batch n while batch n - 1 is converted (its slot held batch n - 2).
  void readAhead() {
    for (std::size_t n = 0;; ++n) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this, n] { return stop_ || n <= handedOut_; });
        if (stop_) return;
      }
      Batch& batch = slots_[n % slots_.size()];
      fill(batch);
      {
        const std::lock_guard lock(mutex_);
        filled_ = n + 1;
      }
      changed_.notify_all();
      if (batch.ended) return;
    }
  }

  detail::RunSteps& run_;
  std::size_t batchLines_;
  std::array<Batch, 2> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t filled_ = 0;     // batches filled
  std::size_t handedOut_ = 0;  // batches handed to the run
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace

RunOutcome ConversionRunInBatches(LineSource& lines, ResultSink& out,
                                  const ConversionSettings& settings, Interaction& interaction,
                                  PlacementRandom& random, int threads, std::size_t batchLines,
                                  PointSink* points) {
  batchLines = std::max<std::size_t>(batchLines, 1);
  detail::RunSteps run(lines, out, settings, interaction, random, points);
  return run.execute([&] {
    BatchReader reader(run, batchLines, threads > 1);
    std::vector<BatchPart> parts;
    bool first = true;  // nothing written yet
    bool ended = false;
    while (!ended) {
      Batch& taken = reader.next();
      std::vector<BatchEntry>& batch = taken.entries;
      ended = taken.ended;

      // Finished and read side by side; then checked in order, with the questions, the
      // counters and the random placements of the plain run. A line that
      // cannot be taken ends the batch there.
      SplitIntoParts(taken.taken, parts);
      InParallel(parts, threads, [&](BatchPart& part) {
        for (std::size_t i = part.from; i < part.to; ++i)
          run.readLine(batch[i].text, batch[i].read, true);
      });
      std::size_t accepted = 0;
      std::exception_ptr stopped;
      std::int64_t stoppedLine = 0;
      for (; accepted < taken.taken; ++accepted) {
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
      SplitIntoParts(accepted, parts);
      InParallel(parts, threads, [&](BatchPart& part) {
        part.text.clear();
        part.failed = part.to;
        part.points = 0;
        for (std::size_t i = part.from; i < part.to; ++i) {
          BatchEntry& entry = batch[i];
          if (!(first && i == 0)) part.text.append(kLineEnd);
          const std::size_t written = part.text.size();
          if (entry.hasJob) {
            try {
              run.writePoint(entry.job, entry.value, part.text);
            } catch (...) {
              entry.error = std::current_exception();
              part.text.resize(written);
              part.failed = i;
              return;
            }
            ++part.points;
          }
          entry.textEnd = part.text.size();
        }
      });
      // Appended in order, up to the first point that could not be written;
      // with a point sink each point goes to it after its text, as in the
      // plain run.
      for (const BatchPart& part : parts) {
        if (points == nullptr) {
          run.out().append(part.text);
          run.countWrittenPoints(part.points);
        } else {
          const std::string_view text = part.text;
          std::size_t from = 0;
          for (std::size_t i = part.from; i < part.to && i != part.failed; ++i) {
            BatchEntry& entry = batch[i];
            const std::string_view result = text.substr(from, entry.textEnd - from);
            from = entry.textEnd;
            if (!entry.hasJob) {
              run.out().append(result);
              continue;
            }
            try {
              run.appendPoint(entry.job, result, entry.value);
            } catch (...) {
              run.setCurrentLine(entry.line);  // the point sink refused this line's point
              throw;
            }
          }
          run.out().append(text.substr(from));  // the line end before a point that failed
        }
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
      if (taken.notTaken) std::rethrow_exception(taken.notTaken);
    }
  });
}

}  // namespace korvagrid
