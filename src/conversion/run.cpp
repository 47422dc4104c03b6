#include "conversion/run.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <optional>

#include "common/error.h"
#include "conversion/result_line.h"
#include "conversion/routes.h"
#include "formats/radstr1.h"
#include "formats/reports.h"

namespace korvagrid {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr double kMetresPerZonePrefix = 1000000;
constexpr std::int64_t kProgressEvery = 65536;  // lines between progress reports
constexpr std::int32_t kShortXOffset = 6000000;  // "Краткий": X written without 6 000 000 m

constexpr std::string_view kQuestionHead = "Ошибка в выборе исходной системы координат.";
constexpr std::string_view kQuestionTail = "Продолжить вычисления?";
constexpr std::string_view kFewDigits = "или в формате их записи (У 'X' мало знаков)";
constexpr std::string_view kTooBig = "или в формате их записи ('X' великоват)";

std::string Question(std::string_view middle) {
  std::string prompt;
  prompt.append(kQuestionHead).append(kLineEnd).append(middle).append(kLineEnd).append(kQuestionTail);
  return prompt;
}

// The advice of the zone question for the millions written in front of Y.
std::optional<std::string_view> ZoneAdvice(std::int64_t yMillions) {
  switch (yMillions) {
    case 1000000: return "Надо 63(P1), 63(Q1), 47(1) или 53(1).";
    case 2000000: return "Надо 63(C2), 63(P2), 47(2) или 53(2).";
    case 3000000: return "Надо 63(C3), 47(3) или 53(3).";
    case 4000000: return "Надо 63(C4).";
    case 5000000: return "Надо 'UTM-27'.";
    case 6000000: return "Надо 'UTM-33'.";
    default: return std::nullopt;
  }
}

// The input is not converted further after a stop; this carries the reason.
struct Stop {
  RunEnd end;
  std::string reason;
  bool alreadyReported = false;
};

class Run {
 public:
  Run(LineSource& lines, ResultSink& out, const RunSettings& settings, Platform& platform,
      PlacementRandom& random)
      : lines_(lines), out_(out), s_(settings), platform_(platform), random_(random) {}

  RunOutcome execute() {
    RunOutcome outcome;
    try {
      prepare();
      loop();
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
    outcome.lines = lineCounter_;
    return outcome;
  }

 private:
  void fail(RunOutcome& outcome, std::string reason) {
    outcome.end = RunEnd::Failed;
    if (invalidValueShown_) {
      // The reader already told the user about this line; say it once.
      outcome.reason = std::string(kInvalidValueMessage);
      outcome.alreadyReported = true;
    } else {
      outcome.reason = std::move(reason);
    }
  }

  void prepare() {
    nameIn_ = s_.inputLayout == 1;
    nameOut_ = s_.outputLayout == 1;
    pair_.sourceIndex = s_.sourceIndex;
    pair_.targetIndex = s_.targetIndex;
    pair_.source = CatalogueSystem(s_.sourceIndex, s_.entryCount, s_.own, s_.numP);
    pair_.target = CatalogueSystem(s_.targetIndex, s_.entryCount, s_.own, s_.numP);
    sourceIsOwn_ = IsOwnEntry(s_.sourceIndex, s_.entryCount);
    // The own system as a source neither strips nor restores a Y prefix.
    if (sourceIsOwn_) pair_.source.zone = 0;
    pair_.wgsInvolved = pair_.source.isWgs84 || pair_.target.isWgs84;
    pair_.decimalInput = s_.format.checked(FormatItem::mnuGGG_0);
    if (!s_.format.checked(FormatItem::MaxEnd) && pair_.target.xOffset == 0) pair_.target.zone = 0;
    deltaL_ = pair_.source.centralMeridian - pair_.target.centralMeridian;
    route_ = ChooseRoute(pair_);

    style_.nameOut = nameOut_;
    style_.withHeight = s_.outputLayout == 0 || s_.outputLayout == 1;
    style_.extraLines = ExtraLinesFromCounter(s_.txtCount);
    style_.numP = s_.numP;

    waypoints_ = pair_.target.kind == SystemKind::Geographic && s_.format.checked(FormatItem::fOzi);
    if (waypoints_) {
      out_.append(OziHeader(!pair_.target.isWgs84));
      middle_ = WaypointMiddle(s_.ozi.backgroundColour);
    }
  }

  // A further line of an Ashtech record; "  " once the list has ended.
  void nextLine(std::string& line) {
    lines_.next(line);
    ++lineCounter_;
  }

  void loop() {
    std::string line;
    while (lines_.next(line)) {
      if (lineCounter_ > 0) out_.append(kLineEnd);
      ++lineCounter_;
      currentLine_ = lineCounter_;
      if (lineCounter_ % kProgressEvery == 0) platform_.progress(lineCounter_, -1);
      ReplaceTabsBySpaces(line);
      if (IsBlankLine(line)) continue;
      convertLine(line);
    }
  }

  void rewriteReport(std::string& line) {
    const FormatSettings& f = s_.format;
    if (f.checked(FormatItem::mnugms2) || f.checked(FormatItem::mnuTrimble)) {
      if (!RadStr3(line, nameIn_, s_.numP, s_.notP, f.checked(FormatItem::mnuTrimble))) {
        reportInvalidValue();
      }
    }
    if (f.checked(FormatItem::mnuAshtech)) {
      std::string record(AshtechLinePart(line));
      std::string next;
      nextLine(next);
      record += AshtechLinePart(next);
      nextLine(next);
      record += next;
      nextLine(next);  // the fourth line of a record carries nothing we read
      if (!ReadAsh(record, s_.numP)) reportInvalidValue();
      line = std::move(record);
      nameIn_ = true;
    }
  }

  void reportInvalidValue() {
    platform_.warn(kInvalidValueMessage, kWarningTitle);
    invalidValueShown_ = true;
  }

  Answer ask(std::string_view middle, std::optional<Answer>& answer) {
    const std::string prompt = Question(middle);
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

  void convertLine(std::string& line) {
    if (s_.geographicInputShown) rewriteReport(line);
    record_.first = 0;
    record_.second = 0;
    record_.third = 0;
    RadStr1(line, record_, nameIn_, s_.numP, s_.notP, s_.inputLayout);
    double x = record_.first;
    double y = record_.second;
    const double h = record_.third;
    if (x == 0 && y == 0) return;

    yMillions_ = 0;
    if (pair_.source.kind != SystemKind::Geographic) {
      if (!sourceIsOwn_) checkWrittenForm(x, y);
      x = x + pair_.source.xOffset;
      y = y - static_cast<double>(yMillions_);
    }
    const RouteOutput r = CarryPoint(route_, pair_, deltaL_, {x, y, h});
    writeResult(r);
    ++pointCounter_;
  }

  void writeResult(const RouteOutput& r) {
    const std::string_view name = record_.name;
    if (waypoints_) {
      const double random = s_.ozi.placementIndex == 7 ? random_.next() : 0.0;
      const int j = PlacementCode(s_.ozi.placementIndex, pointCounter_, random);
      out_.append(WaypointLine(pointCounter_ + 1, name, r.x, r.y, j, s_.ozi.fontSizeText, middle_));
    } else if (pair_.target.kind == SystemKind::Geographic) {
      out_.append(GeographicResult(name, r.x, r.y, r.h, s_.format, style_));
    } else {
      out_.append(PlaneResult(name, r.x, r.y, r.h, pair_.target,
                              s_.format.checked(FormatItem::MinEnd), style_));
    }
  }

  LineSource& lines_;
  ResultSink& out_;
  const RunSettings& s_;
  Platform& platform_;
  PlacementRandom& random_;

  RoutePair pair_;
  Route route_ = Route::Identity;
  ResultStyle style_;
  bool nameIn_ = false;
  bool nameOut_ = false;
  bool sourceIsOwn_ = false;
  bool waypoints_ = false;
  bool invalidValueShown_ = false;
  std::string middle_;
  double deltaL_ = 0;
  std::int64_t lineCounter_ = 0;
  std::int64_t currentLine_ = 0;  // first input line of the point being converted
  std::int64_t pointCounter_ = 0;
  std::int64_t yMillions_ = 0;
  std::optional<Answer> xDigitsAnswer_;
  std::optional<Answer> zoneAnswer_;
  PointRecord record_;
};

}  // namespace

std::string FailureMessage(const RunOutcome& outcome) {
  if (outcome.lineNumber <= 0) return "Вычисления не начаты: " + outcome.reason;
  return "Вычисления прерваны в строке " + std::to_string(outcome.lineNumber) + ": " + outcome.reason;
}

RunOutcome ConversionRun(LineSource& lines, ResultSink& out, const RunSettings& settings,
                         Platform& platform, PlacementRandom& random) {
  return Run(lines, out, settings, platform, random).execute();
}

}  // namespace korvagrid
