#include "conversion/batched_run.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
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

// The work of a batch: one call for each of its parts.
using PartWork = std::function<void(BatchPart&)>;

// Takes the parts not yet taken, one after the other, until none is left.
void TakeParts(std::vector<BatchPart>& parts, std::atomic<std::size_t>& next, const PartWork& work) {
  for (std::size_t i = next++; i < parts.size(); i = next++) work(parts[i]);
}

// Splits `count` entries into parts of consecutive entries. A batch's
// threads finish together to within about one part: the run's thread then
// waits for the other's last part before it appends the batch. Parts of 256
// lines (about 0.1 ms of work) keep that wait to a few milliseconds over a
// million lines, where parts of 512 made it 30-50 ms.
void SplitIntoParts(std::size_t count, std::vector<BatchPart>& parts) {
  constexpr std::size_t kPartLines = 256;
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

// Hands out the batches of the run and shares the parts of a batch among the
// run's threads. With more than one thread, a thread of its own takes the
// records of the next batch while the run converts the current one (taking
// records is sequential, so it would otherwise leave the other cores
// waiting), and between batches takes parts of the current one: on two cores
// the run's thread and this one are then the only threads, neither waiting
// for a core the other holds.
class BatchReader {
 public:
  BatchReader(detail::RunSteps& run, std::size_t batchLines, int threads)
      : run_(run), batchLines_(batchLines), threads_(std::max(threads, 1)) {
    if (threads_ > 1) thread_ = std::thread([this] { readAhead(); });
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

  // Whether the batches come read. With two threads the reading thread reads
  // the lines it takes: reading is about a third of the work of a line, so
  // the two threads stay about as busy as each other. With more, reading is
  // shared like writing: one thread reading for many would hold them up.
  bool readsLines() const { return threads_ == 2; }

  // Calls work(part) for every part: on this thread, on the reading thread
  // when it is free, and on helpers for the cores beyond two; returns when
  // every part is done. Any thread takes the next part not yet taken, so a
  // thread that gets less of a core simply does fewer.
  void shareParts(std::vector<BatchPart>& parts, const PartWork& work) {
    std::atomic<std::size_t> next{0};
    if (thread_.joinable()) {
      {
        const std::lock_guard lock(mutex_);
        shared_ = {&parts, &work, &next};
      }
      changed_.notify_all();
    }
    std::vector<std::thread> helpers;
    const auto wanted = std::min<std::size_t>(static_cast<std::size_t>(threads_), parts.size());
    for (std::size_t i = 2; i < wanted; ++i) {
      helpers.emplace_back([&parts, &next, &work] { TakeParts(parts, next, work); });
    }
    TakeParts(parts, next, work);
    for (std::thread& helper : helpers) helper.join();
    if (thread_.joinable()) {
      // Every part is taken; the reading thread may still be in its last one.
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return helping_ == 0; });
      shared_ = {};
    }
  }

 private:
  // The parts being shared (none between batches).
  struct Shared {
    std::vector<BatchPart>* parts = nullptr;
    const PartWork* work = nullptr;
    std::atomic<std::size_t>* next = nullptr;
    bool partsLeft() const { return parts != nullptr && next->load() < parts->size(); }
  };

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
      // Reading depends on nothing but the line (its failures are kept in
      // `entry.read`).
      if (readsLines()) run_.readLine(entry.text, entry.read, true);
      ++batch.taken;
    }
  }

  // Fills batch n while batch n - 1 is converted (its slot held batch n - 2),
  // and takes parts of batch n - 1 when it has nothing to fill.
  void readAhead() {
    bool ended = false;
    for (std::size_t n = 0;;) {
      Shared help;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || (!ended && n <= handedOut_) || shared_.partsLeft(); });
        if (stop_) return;
        if (ended || n > handedOut_) {
          help = shared_;
          ++helping_;
        }
      }
      if (help.parts != nullptr) {
        TakeParts(*help.parts, *help.next, *help.work);
        {
          const std::lock_guard lock(mutex_);
          --helping_;
        }
        changed_.notify_all();
        continue;
      }
      Batch& batch = slots_[n % slots_.size()];
      fill(batch);
      ended = batch.ended;
      {
        const std::lock_guard lock(mutex_);
        filled_ = ++n;
      }
      changed_.notify_all();
    }
  }

  detail::RunSteps& run_;
  std::size_t batchLines_;
  int threads_;
  std::array<Batch, 2> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t filled_ = 0;     // batches filled
  std::size_t handedOut_ = 0;  // batches handed to the run
  Shared shared_;
  int helping_ = 0;  // 1 while the reading thread takes shared parts
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
    BatchReader reader(run, batchLines, threads);
    std::vector<BatchPart> parts;
    bool first = true;  // nothing written yet
    bool ended = false;
    while (!ended) {
      Batch& taken = reader.next();
      std::vector<BatchEntry>& batch = taken.entries;
      ended = taken.ended;

      // Finished and read (side by side, unless the reading thread read
      // them); then checked in order, with the questions, the counters and
      // the random placements of the plain run. A line that cannot be taken
      // ends the batch there.
      if (!reader.readsLines()) {
        SplitIntoParts(taken.taken, parts);
        reader.shareParts(parts, [&](BatchPart& part) {
          for (std::size_t i = part.from; i < part.to; ++i) run.readLine(batch[i].text, batch[i].read, true);
        });
      }
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
      reader.shareParts(parts, [&](BatchPart& part) {
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
