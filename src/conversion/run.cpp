#include "conversion/run.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "common/error.h"
#include "conversion/result_line.h"
#include "conversion/routes.h"
#include "formats/field_scan.h"
#include "formats/radstr1.h"
#include "formats/reports.h"
#include "formats/signs.h"

namespace korvagrid {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr double kMetresPerZonePrefix = 1000000;
constexpr std::int64_t kProgressEvery = 65536;   // lines between progress reports
constexpr std::int32_t kShortXOffset = 6000000;  // "Краткий": X written without 6 000 000 m

constexpr std::string_view kQuestionHead = "Ошибка в выборе исходной системы координат.";
constexpr std::string_view kQuestionTail = "Продолжить вычисления?";
constexpr std::string_view kFewDigits = "или в формате их записи (У 'X' мало знаков)";
constexpr std::string_view kTooBig = "или в формате их записи ('X' великоват)";

std::string Question(std::string_view middle) {
  std::string prompt;
  prompt.append(kQuestionHead)
      .append(kLineEnd)
      .append(middle)
      .append(kLineEnd)
      .append(kQuestionTail);
  return prompt;
}

// The advice of the zone question for the millions written in front of Y.
std::optional<std::string_view> ZoneAdvice(std::int64_t yMillions) {
  switch (yMillions) {
    case 1000000:
      return "Надо 63(P1), 63(Q1), 47(1) или 53(1).";
    case 2000000:
      return "Надо 63(C2), 63(P2), 47(2) или 53(2).";
    case 3000000:
      return "Надо 63(C3), 47(3) или 53(3).";
    case 4000000:
      return "Надо 63(C4).";
    case 5000000:
      return "Надо 'UTM-27'.";
    case 6000000:
      return "Надо 'UTM-33'.";
    default:
      return std::nullopt;
  }
}

// The lines of the input, counted whoever takes them (the run, or the
// assembly of an Ashtech record, which takes three more).
class CountingLines final : public LineSource {
 public:
  explicit CountingLines(LineSource& inner) : inner_(inner) {}
  bool next(std::string& line) override {
    const bool got = inner_.next(line);
    if (got) ++count;
    return got;
  }
  std::int64_t count = 0;

 private:
  LineSource& inner_;
};

// The input is not converted further after a stop; this carries the reason.
struct Stop {
  RunEnd end;
  std::string reason;
  bool alreadyReported = false;
};

// A point that passed the reading and the checks, ready to be carried to the
// target system and written. Making one is sequential (questions, counters,
// the random placement); writing one depends on nothing else, so a batch of
// them can be written on several threads.
struct PointJob {
  RouteInput input;
  std::string name;
  std::int64_t number = 0;  // points taken before this one in the run (n)
  std::int64_t line = 0;    // input line (the first line of an Ashtech record)
  double random = 0;        // draw for the placement "Произвольно"
};

// One input line (one Ashtech record) of a batch and what it gives.
struct BatchEntry {
  std::int64_t line = 0;
  std::optional<PointJob> job;  // nothing for a blank or empty line
  std::string text;             // the written point
  RouteOutput value;            // its values
  std::exception_ptr error;     // why the point could not be written
};

class Run {
 public:
  Run(LineSource& lines, ResultSink& out, const RunSettings& settings, Platform& platform,
      PlacementRandom& random, PointSink* points)
      : lines_(lines),
        out_(out),
        s_(settings),
        platform_(platform),
        random_(random),
        points_(points) {}
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  // `threads` 1: line after line. More: lines are taken in batches of
  // `batchLines`, their points written on that many threads, and the results
  // appended in order; what the user sees and gets is the same.
  RunOutcome execute(int threads, std::size_t batchLines) {
    RunOutcome outcome;
    try {
      prepare();
      if (threads <= 1) {
        loop();
      } else {
        loopInBatches(threads, batchLines);
      }
      outcome.end = RunEnd::Completed;
    } catch (const Stop& stop) {
      outcome.end = stop.end;
      outcome.reason = stop.reason;
      outcome.alreadyReported = stop.alreadyReported;
    } catch (const KorvagridError& error) {
      fail(outcome, error.what());
    } catch (const std::bad_alloc&) {
      fail(outcome, "не хватает памяти");
    } catch (const std::exception& error) {
      fail(outcome, error.what());
    }
    outcome.lineNumber = currentLine_;
    outcome.points = pointCounter_;
    outcome.lines = lines_.count;
    outcome.nonBlankLines = nonBlankLines_;
    return outcome;
  }

 private:
  void fail(RunOutcome& outcome, std::string reason) {
    outcome.end = RunEnd::Failed;
    if (invalidValueLine_ != 0 && invalidValueLine_ == currentLine_) {
      // The reader already told the user about this line; say it once.
      outcome.reason = std::string(kInvalidValueMessage);
      outcome.detail = invalidValueDetail_;
      outcome.alreadyReported = true;
    } else {
      outcome.reason = std::move(reason);
    }
  }

  void prepare() {
    nameIn_ = s_.inputLayout == 1;
    readsReports_ = s_.format.checked(FormatItem::mnugms2) ||
                    s_.format.checked(FormatItem::mnuTrimble) ||
                    s_.format.checked(FormatItem::mnuAshtech);
    pair_.sourceIndex = s_.sourceIndex;
    pair_.targetIndex = s_.targetIndex;
    pair_.source = CatalogueSystem(s_.sourceIndex, s_.entryCount, s_.own, s_.numP);
    pair_.target = CatalogueSystem(s_.targetIndex, s_.entryCount, s_.own, s_.numP);
    pair_.targetZone = pair_.target.zone;
    sourceIsOwn_ = IsOwnEntry(s_.sourceIndex, s_.entryCount);
    // The own system as a source neither strips nor restores a Y prefix.
    if (sourceIsOwn_) pair_.source.zone = 0;
    pair_.wgsInvolved = pair_.source.isWgs84 || pair_.target.isWgs84;
    pair_.decimalInput = s_.format.checked(FormatItem::mnuGGG_0);
    if (!s_.format.checked(FormatItem::MaxEnd) && pair_.target.xOffset == 0) pair_.target.zone = 0;
    deltaL_ = pair_.source.centralMeridian - pair_.target.centralMeridian;
    route_ = ChooseRoute(pair_);

    style_.nameOut = s_.outputLayout == 1;
    style_.withHeight = s_.outputLayout == 0 || s_.outputLayout == 1;
    style_.extraLines = ExtraLinesFromCounter(s_.txtCount);
    style_.numP = s_.numP;

    waypoints_ = pair_.target.kind == SystemKind::Geographic && s_.format.checked(FormatItem::fOzi);
    if (waypoints_) {
      out_.append(OziHeader(!pair_.target.isWgs84));
      middle_ = WaypointMiddle(s_.ozi.backgroundColour);
    }
  }

  // The next input line; counts it and reports progress now and then.
  bool takeLine(std::string& line) {
    if (!lines_.next(line)) return false;
    currentLine_ = lines_.count;
    if (currentLine_ % kProgressEvery == 0) platform_.progress(currentLine_, -1);
    return true;
  }

  void loop() {
    std::string line;
    while (takeLine(line)) {
      // One CR LF before every line but the first: each result stays opposite its input line.
      if (lines_.count > 1) out_.append(kLineEnd);
      if (std::optional<PointJob> job = takePoint(line)) {
        RouteOutput value;
        out_.append(writePoint(*job, value));
        addPoint(*job, value);
        ++pointCounter_;
      }
    }
  }

  void loopInBatches(int threads, std::size_t batchLines) {
    std::vector<BatchEntry> batch;
    std::string line;
    bool first = true;
    bool ended = false;
    while (!ended) {
      batch.clear();
      std::exception_ptr stopped;  // a line that could not be taken ends the batch
      std::int64_t stoppedLine = 0;
      while (batch.size() < batchLines) {
        if (!takeLine(line)) {
          ended = true;
          break;
        }
        BatchEntry entry;
        entry.line = lines_.count;
        try {
          entry.job = takePoint(line);
        } catch (...) {
          stopped = std::current_exception();
          stoppedLine = currentLine_;
          break;
        }
        batch.push_back(std::move(entry));
      }
      writeBatch(batch, threads);
      // Append in order; the first point that could not be written ends the run there.
      for (BatchEntry& entry : batch) {
        if (!first) out_.append(kLineEnd);
        first = false;
        if (entry.error) {
          currentLine_ = entry.line;
          std::rethrow_exception(entry.error);
        }
        if (entry.job) {
          out_.append(entry.text);
          addPoint(*entry.job, entry.value);
          ++pointCounter_;
        }
      }
      if (stopped) {
        if (!first) out_.append(kLineEnd);
        currentLine_ = stoppedLine;
        std::rethrow_exception(stopped);
      }
    }
  }

  // Writes the points of a batch, its parts on `threads` threads.
  void writeBatch(std::vector<BatchEntry>& batch, int threads) const {
    const auto writeRange = [this, &batch](std::size_t from, std::size_t to) {
      for (std::size_t i = from; i < to; ++i) {
        BatchEntry& entry = batch[i];
        if (!entry.job) continue;
        try {
          entry.text = writePoint(*entry.job, entry.value);
        } catch (...) {
          entry.error = std::current_exception();
        }
      }
    };
    const std::size_t parts =
        std::min<std::size_t>(static_cast<std::size_t>(threads), batch.size());
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

  void rewriteReport(std::string& line) {
    const FormatSettings& f = s_.format;
    std::string why;
    if (f.checked(FormatItem::mnugms2) || f.checked(FormatItem::mnuTrimble)) {
      if (!RadStr3(line, nameIn_, s_.numP, s_.notP, f.checked(FormatItem::mnuTrimble), &why)) {
        reportInvalidValue(why);
      }
    }
    if (f.checked(FormatItem::mnuAshtech)) {
      line = AssembleAshtechRecord(line, lines_);
      if (!ReadAsh(line, s_.numP, &why)) reportInvalidValue(why);
      nameIn_ = true;
    }
  }

  // Geographic values read as plain numbers: a hemisphere letter between
  // them (before the height) would be a separator and change nothing.
  void checkPlainGeographic(std::string_view line) const {
    std::size_t from = 0;
    if (nameIn_) {
      from = line.find_first_of(" ;");
      if (from == std::string_view::npos) return;
    }
    // The angles end where the third number starts.
    std::size_t to = from;
    int fields = 0;
    bool inField = false;
    for (; to < line.size(); ++to) {
      const bool number = detail::IsNumberChar(line[to]);
      if (number && !inField && ++fields == 3) break;
      inField = number;
    }
    RequireNorthEast(line.substr(from, to - from));
  }

  void reportInvalidValue(std::string why) {
    platform_.showRunPosition(currentLine_);
    platform_.warn(kInvalidValueMessage, kWarningTitle);
    invalidValueLine_ = currentLine_;
    invalidValueDetail_ = std::move(why);
  }

  Answer ask(std::string_view middle, std::optional<Answer>& answer) {
    const std::string prompt = Question(middle);
    platform_.showRunPosition(currentLine_);
    answer = platform_.askYesNo(prompt, kQuestionTitle);
    if (*answer == Answer::No) throw Stop{RunEnd::StoppedByNo, prompt};
    return *answer;
  }

  void checkWrittenForm(double& x, double& y) {
    CoordinateSystem& src = pair_.source;
    if (s_.format.checked(FormatItem::min1)) src.xOffset = kShortXOffset;
    const bool isM64 = s_.sourceText == "M64";
    const bool xAccepted = xDigitsAnswer_ == Answer::Yes;
    if (!isM64 && src.xOffset == 0 && !xAccepted && x < 1000000) {
      ask(kFewDigits, xDigitsAnswer_);
    }
    if ((isM64 || src.xOffset != 0) && xDigitsAnswer_ != Answer::Yes && x > 1000000) {
      ask(kTooBig, xDigitsAnswer_);
    }
    const double millions = std::trunc(y / kMetresPerZonePrefix);
    if (!(std::fabs(millions) <= 2147)) {  // the millions of Y are a 32-bit value
      throw KorvagridError("переполнение: Y = " + std::to_string(y));
    }
    yMillions_ = static_cast<std::int64_t>(millions) * 1000000;
    if (yMillions_ != std::int64_t{src.zone} * 1000000 && yMillions_ != 0 &&
        zoneAnswer_ != Answer::Yes) {
      if (const std::optional<std::string_view> advice = ZoneAdvice(yMillions_)) {
        ask(*advice, zoneAnswer_);
      }
    }
  }

  // Reads one line and checks its point against the source system: nothing
  // for a blank line or one without a point; throws where the run must stop.
  std::optional<PointJob> takePoint(std::string& line) {
    ReplaceTabsBySpaces(line);
    if (IsBlankLine(line)) return std::nullopt;
    ++nonBlankLines_;
    if (s_.geographicInputShown) {
      rewriteReport(line);
      if (!readsReports_) checkPlainGeographic(line);
    }
    record_.first = 0;
    record_.second = 0;
    record_.third = 0;
    RadStr1(line, record_, nameIn_, s_.numP, s_.notP, s_.inputLayout);
    double x = record_.first;
    double y = record_.second;
    const double h = record_.third;
    if (x == 0 && y == 0) return std::nullopt;

    yMillions_ = 0;
    if (pair_.source.kind != SystemKind::Geographic) {
      if (!sourceIsOwn_) checkWrittenForm(x, y);
      x = x + pair_.source.xOffset;
      y = y - static_cast<double>(yMillions_);
    }
    PointJob job;
    job.input = {x, y, h};
    job.name = record_.name;
    job.number = pointsTaken_++;
    job.line = currentLine_;
    if (waypoints_ && s_.ozi.placementIndex == 7) job.random = random_.next();
    return job;
  }

  void addPoint(const PointJob& job, const RouteOutput& value) {
    if (points_ != nullptr) points_->add({job.line, job.name, value.x, value.y, value.h});
  }

  // Carries a point to the target system and writes its result. Reads only
  // what prepare() fixed for the run, so points may be written in parallel.
  std::string writePoint(const PointJob& job, RouteOutput& value) const {
    const RouteOutput r = CarryPoint(route_, pair_, deltaL_, job.input);
    value = r;
    if (waypoints_) {
      const int j = PlacementCode(s_.ozi.placementIndex, job.number, job.random);
      return WaypointLine(job.number + 1, job.name, r.x, r.y, j, s_.ozi.fontSizeText, middle_);
    }
    if (pair_.target.kind == SystemKind::Geographic) {
      return GeographicResult(job.name, r.x, r.y, r.h, s_.format, style_);
    }
    return PlaneResult(job.name, r.x, r.y, r.h, pair_.target, s_.format.checked(FormatItem::MinEnd),
                       style_);
  }

  CountingLines lines_;
  ResultSink& out_;
  const RunSettings& s_;
  Platform& platform_;
  PlacementRandom& random_;
  PointSink* points_;

  RoutePair pair_;
  Route route_ = Route::Identity;
  ResultStyle style_;
  bool nameIn_ = false;
  bool sourceIsOwn_ = false;
  bool waypoints_ = false;
  bool readsReports_ = false;          // geographic lines are rewritten by RadStr3 or ReadAsh
  std::int64_t invalidValueLine_ = 0;  // line whose invalid value the user was shown
  std::string invalidValueDetail_;     // which part of it was invalid, and why
  std::int64_t nonBlankLines_ = 0;
  std::string middle_;
  double deltaL_ = 0;
  std::int64_t currentLine_ = 0;   // first input line of the point being converted
  std::int64_t pointCounter_ = 0;  // points written
  std::int64_t pointsTaken_ = 0;   // points read and checked
  std::int64_t yMillions_ = 0;
  std::optional<Answer> xDigitsAnswer_;
  std::optional<Answer> zoneAnswer_;
  PointRecord record_;
};

}  // namespace

std::string FailureMessage(const RunOutcome& outcome) {
  if (outcome.lineNumber <= 0) return "Вычисления не начаты: " + outcome.reason;
  return "Вычисления прерваны в строке " + std::to_string(outcome.lineNumber) + ": " +
         outcome.reason;
}

RunOutcome ConversionRun(LineSource& lines, ResultSink& out, const RunSettings& settings,
                         Platform& platform, PlacementRandom& random, PointSink* points) {
  return Run(lines, out, settings, platform, random, points).execute(1, 0);
}

RunOutcome ConversionRunInBatches(LineSource& lines, ResultSink& out, const RunSettings& settings,
                                  Platform& platform, PlacementRandom& random, int threads,
                                  std::size_t batchLines) {
  return Run(lines, out, settings, platform, random, nullptr)
      .execute(threads, std::max<std::size_t>(batchLines, 1));
}

}  // namespace korvagrid
