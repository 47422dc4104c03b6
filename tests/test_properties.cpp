// Properties of whole conversion runs and of saved documents, checked over
// generated inputs (seeded, so a failure repeats):
//  - a run never throws, whatever the text, the settings and the pair of systems;
//  - the result holds one line per input line (per four-line record for
//    Ashtech reports) up to where the run stopped, and nothing for the line
//    it stopped at;
//  - a stopped run names a line of the input and a reason, and the user sees
//    exactly one message about a failure;
//  - every waypoint line has the 18 fields of the format;
//  - a text saved and opened again comes back byte for byte, in cp1251 and in UTF-8.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/batched_run.h"
#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "documents/text_encoding.h"
#include "documents/text_file.h"
#include "ui/format_menu.h"
#include "formats/read_str.h"
#include "support/fake_platform.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

using testing::FakePlatform;
using testing::SettingsFor;
using testing::SplitLines;

// Cases per source/target pair: 19 × 19 pairs × 16 = 5776 runs.
constexpr int kRunsPerPair = 16;
constexpr int kBlhKras = 10, kWgs84 = 11;  // list places of the geographic rows

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(engine_); }
  double uniform(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine_);
  }
  template <class T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
  }
  std::mt19937_64& engine() { return engine_; }

 private:
  std::mt19937_64 engine_;
};

// `value` with `decimals` places, written with `separator`.
std::string NumberText(double value, int decimals, char separator) {
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, error == std::errc{} ? end : buffer);
  std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

// Point lists as surveyors write them, mixed with what gets into lists by
// mistake: broken numbers, stray letters, huge values, invalid bytes.
class ListGenerator {
 public:
  explicit ListGenerator(Random& random) : r_(random) {}

  // The lines of one list (no line ends, no CR or LF inside). Most lists
  // are written for the settings of the run, so that runs go deep; some
  // hold lines of every other kind and noise.
  std::vector<std::string> lines(const ConversionSettings& s) {
    const bool geographic = IsGeographic(s.source);
    const bool noisy = r_.chance(0.35);
    names_ = s.inputLayout == RecordLayout::NameXYH;
    std::vector<std::string> out;
    const int count = r_.below(15);
    while (static_cast<int>(out.size()) < count) {
      const int kind = noisy ? r_.below(6) : 6;
      if (kind == 0 || r_.chance(0.1)) {
        out.push_back(r_.pick<std::string>({"", "   ", "\t", " \t "}));
      } else if (kind == 1 || (kind == 6 && !geographic)) {
        out.push_back(planePoint());
      } else if (kind == 2 || (kind == 6 && s.inputAngles == InputAngles::AshtechReport)) {
        for (std::string& l : ashtechRecord()) out.push_back(std::move(l));
      } else if (kind == 3 || (kind == 6 && (s.inputAngles == InputAngles::Dms ||
                                             s.inputAngles == InputAngles::TrimbleReport))) {
        out.push_back(dmsPoint());
      } else if (kind == 4 || kind == 6) {
        out.push_back(geographicPoint());
      } else {
        out.push_back(tokenLine());
      }
    }
    return out;
  }

  static std::string Join(const std::vector<std::string>& lines, bool finalLineEnd) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    if (!finalLineEnd && !text.empty()) text.resize(text.size() - 2);
    return text;
  }

 private:
  char separatorChar() { return r_.chance(0.7) ? '.' : ','; }
  std::string gap() { return r_.pick<std::string>({" ", " ", "  ", ";", "; ", "\t", "\t "}); }
  // A name where the layout has one, now and then also where it has none
  // (names holding "." or "," then read as a broken number).
  std::string maybeName() {
    return r_.chance(names_ ? 0.95 : 0.1)
               ? r_.pick<std::string>({"P1", "Пункт7", "a,b", "т.12", "x"}) + gap()
               : "";
  }

  std::string planePoint() {
    const char sep = separatorChar();
    const double x = r_.chance(0.7) ? r_.uniform(5.9e6, 6.7e6) : r_.uniform(0, 999999);
    const double y = r_.below(10) * 1e6 + r_.uniform(2e5, 8e5);
    std::string line =
        maybeName() + NumberText(x, r_.below(4), sep) + gap() + NumberText(y, r_.below(4), sep);
    if (r_.chance(0.7)) line += gap() + NumberText(r_.uniform(-50, 500), r_.below(4), sep);
    return line;
  }

  std::string geographicPoint() {
    const char sep = separatorChar();
    std::string line = maybeName() + NumberText(r_.uniform(40, 75), 4 + r_.below(5), sep) + gap() +
                       NumberText(r_.uniform(20, 180), 4 + r_.below(5), sep);
    if (r_.chance(0.7)) line += gap() + NumberText(r_.uniform(-50, 500), 3, sep);
    return line;
  }

  // Degrees, minutes and seconds, now and then out of range.
  std::string dms() {
    const char sep = separatorChar();
    const bool valid = r_.chance(0.9);
    return std::to_string(r_.below(valid ? 181 : 200)) + "°" +
           std::to_string(r_.below(valid ? 60 : 66)) + "'" +
           NumberText(r_.uniform(0, valid ? 59.99 : 66), r_.below(6), sep) + "\"";
  }

  std::string dmsPoint() {
    std::string line = maybeName() + r_.pick<std::string>({"", "N", "N "}) + dms() + gap() +
                       r_.pick<std::string>({"", "E", "E "}) + dms();
    if (r_.chance(0.5)) line += gap() + NumberText(r_.uniform(-50, 500), 3, '.');
    if (r_.chance(0.3))
      line += " 0.012 " + dms() + " 0.02";  // Trimble: a number after each seconds value
    return line;
  }

  std::vector<std::string> ashtechRecord() {
    return {"Site " + std::to_string(1000 + r_.below(9000)) + " Lat. N " +
                std::to_string(r_.below(100)) + "° " + std::to_string(r_.below(62)) + "' " +
                NumberText(r_.uniform(0, 61), 5, '.') + "\"",
            "Lon. E " + std::to_string(r_.below(190)) + "° " + std::to_string(r_.below(62)) + "' " +
                NumberText(r_.uniform(0, 61), 5, '.') + "\"",
            "Elv. " + NumberText(r_.uniform(-50, 500), 3, '.') + " m", "-----"};
  }

  std::string token() {
    switch (r_.below(9)) {
      case 0:
        return NumberText(r_.uniform(-1e7, 1e7), r_.below(5), separatorChar());
      case 1:
        return r_.pick<std::string>(
            {"1.2.3", "-", "1-2", "1/2", ",", "--5", "5-", "..", "1,2,3", "+5"});
      case 2:
        return r_.pick<std::string>({"0", "0.0", "-0", "1e308", "99999999999999999999999",
                                     std::string(400, '9'), "0.000000001", "-6210000",
                                     "2147483647000000", "32768", "181", "60", "59.99999"});
      case 3:
        return r_.pick<std::string>(
            {"Lat.", "Lon.", "Elv.", "Site", "m", "\"", "'", "°", "Пункт", "N", "E", "!"});
      case 4: {
        std::string bytes;  // anything but a line end
        for (int i = r_.below(4) + 1; i > 0; --i) {
          char c = static_cast<char>(r_.below(256));
          if (c == '\r' || c == '\n') c = '?';
          bytes.push_back(c);
        }
        return bytes;
      }
      case 5:
        return "0 0";
      case 6:
        return dms();
      default:
        return NumberText(r_.uniform(0, 7e6), r_.below(4), '.');
    }
  }

  std::string tokenLine() {
    std::string line;
    for (int i = r_.below(8) + 1; i > 0; --i) line += token() + (r_.chance(0.85) ? gap() : "");
    return line;
  }

  Random& r_;
  bool names_ = false;
};

// Settings of a run with the pair (source, target): every check mark of the
// Format menu, layout, counter text and waypoint option may come up, also
// those the window would not offer together.
ConversionSettings RandomSettings(Random& r, int source, int target) {
  const char decimal = r.chance(0.5) ? '.' : ',';
  ConversionSettings s = SettingsFor(source, target, decimal);
  s.inputLayout = r.pick<RecordLayout>({RecordLayout::XYH, RecordLayout::NameXYH, RecordLayout::XY});
  s.outputLayout = r.pick<RecordLayout>({RecordLayout::XYH, RecordLayout::NameXYH, RecordLayout::XY});
  s.extraLines = r.pick<std::int32_t>({0, 0, 0, 1, 2, 0, 0, 0, 99, 3});
  s.inputAngles = r.pick<InputAngles>({InputAngles::Decimal, InputAngles::Packed, InputAngles::Dms,
                                       InputAngles::AshtechReport, InputAngles::TrimbleReport});
  s.inputPlane = r.pick<PlaneStyle>({PlaneStyle::Standard, PlaneStyle::Full, PlaneStyle::Short});
  s.outputAngles = r.pick<OutputAngles>(
      {OutputAngles::Decimal, OutputAngles::Packed, OutputAngles::Dms, OutputAngles::Waypoints});
  s.outputPlane = r.pick<PlaneStyle>({PlaneStyle::Standard, PlaneStyle::Full, PlaneStyle::Short});
  s.waypoints.placementIndex = static_cast<std::int16_t>(r.below(9) - 1);
  s.waypoints.fontSizeText = r.pick<std::string>({"  8", "10", "1,5", ""});
  s.waypoints.backgroundColour = r.below(1 << 24);
  // The own system of either kind, its zone from other degrees than its meridian's.
  OwnSystem own;
  own.kind = r.chance(0.5) ? SystemKind::GaussKrugerZone : SystemKind::LocalPlane;
  own.zone = static_cast<std::int16_t>(std::nearbyint((20 + 3 * r.below(50) + 3) / 6.0));
  if (s.source.userDefined) s.source = OwnSystemEntry(own);
  if (s.target.userDefined) s.target = OwnSystemEntry(own);
  return s;
}

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The input lines as the run takes them: the text's own lines and the one
// after its last line end (empty when the text ends with a line end).
std::vector<std::string> RunLines(const std::vector<std::string>& lines, bool finalLineEnd) {
  std::vector<std::string> out = lines;
  if (finalLineEnd || out.empty()) out.emplace_back();
  return out;
}

// Index of the first input line of each result line. An Ashtech record takes
// four lines for one result line, a blank line one.
std::vector<std::size_t> ResultSlots(const std::vector<std::string>& runLines, bool ashtech) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < runLines.size();) {
    starts.push_back(i);
    i += ashtech && !IsBlankLine(runLines[i]) ? 4 : 1;
  }
  return starts;
}

std::string Describe(const ConversionSettings& s, const std::string& text) {
  const auto n = [](auto e) { return std::to_string(static_cast<int>(e)); };
  return "source " + s.source.name + ", target " + s.target.name + ", layouts " + n(s.inputLayout) + "/" +
         n(s.outputLayout) + ", extra lines " + std::to_string(s.extraLines) + ", separator " +
         s.separators.decimal + ", angles " + n(s.inputAngles) + "/" + n(s.outputAngles) + ", plane " +
         n(s.inputPlane) + "/" + n(s.outputPlane) + "\ntext:\n" + text;
}

struct Tally {
  int stopped = 0;
  int completed = 0;
  int waypointLines = 0;
};

// The points a run hands to its point sink, in order.
struct PointLog final : PointSink {
  std::vector<RunPoint> points;
  void add(RunPoint point) override { points.push_back(std::move(point)); }
};

bool SamePoints(const std::vector<RunPoint>& a, const std::vector<RunPoint>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const RunPoint& p, const RunPoint& q) {
    return p.line == q.line && p.name == q.name && p.first == q.first && p.second == q.second &&
           p.height == q.height;
  });
}

// Runs `text` with `s` and checks every property of a run on it.
void CheckRun(const ConversionSettings& s, const std::vector<std::string>& lines, bool finalLineEnd,
              Random& r, Tally& tally) {
  const std::string text = ListGenerator::Join(lines, finalLineEnd);
  std::deque<Answer> answers;
  for (int i = 0; i < 4; ++i) answers.push_back(r.chance(0.8) ? Answer::Yes : Answer::No);
  FakePlatform platform;
  platform.answers = answers;

  std::string out;
  RunOutcome outcome;
  PointLog points;
  // The run catches everything itself: nothing may escape it.
  ASSERT_NO_THROW({
    TextLineSource source(PrepareRunText(text));
    StringSink sink(out);
    PlacementRandom random;
    outcome = ConversionRun(source, sink, s, platform, random, &points);
  }) << Describe(s, text);
  EXPECT_EQ(static_cast<std::int64_t>(points.points.size()), outcome.points) << Describe(s, text);

  // The batched run of the command line (points written on several threads)
  // gives the same text and outcome. Only a run that fails at a point it
  // cannot carry may have asked the questions of later lines of its batch.
  if (r.chance(0.5)) {
    FakePlatform batchPlatform;
    batchPlatform.answers = answers;
    std::string batchOut;
    RunOutcome batchOutcome;
    PointLog batchPoints;
    const int threads = 2 + r.below(2);
    const std::size_t batchLines = r.pick<std::size_t>({1, 2, 3, 5, 8192});
    ASSERT_NO_THROW({
      TextLineSource source(PrepareRunText(text));
      StringSink sink(batchOut);
      PlacementRandom random;
      batchOutcome = ConversionRunInBatches(source, sink, s, batchPlatform, random, threads,
                                            batchLines, &batchPoints);
    }) << Describe(s, text);
    const std::string batching =
        "\nthreads " + std::to_string(threads) + ", batches of " + std::to_string(batchLines);
    EXPECT_EQ(batchOut, out) << Describe(s, text) << batching;
    // The points reach the sink in the order of the text, with the same values.
    EXPECT_TRUE(SamePoints(batchPoints.points, points.points)) << Describe(s, text) << batching;
    EXPECT_EQ(batchOutcome.end, outcome.end) << Describe(s, text) << batching;
    EXPECT_EQ(batchOutcome.lineNumber, outcome.lineNumber) << Describe(s, text) << batching;
    EXPECT_EQ(batchOutcome.reason, outcome.reason) << Describe(s, text) << batching;
    EXPECT_EQ(batchOutcome.alreadyReported, outcome.alreadyReported)
        << Describe(s, text) << batching;
    EXPECT_EQ(batchOutcome.points, outcome.points) << Describe(s, text) << batching;
    const auto same = [](const FakePlatform::Message& a, const FakePlatform::Message& b) {
      return a.text == b.text && a.title == b.title;
    };
    if (outcome.end == RunEnd::Failed) {
      ASSERT_GE(batchPlatform.questions.size(), platform.questions.size())
          << Describe(s, text) << batching;
      EXPECT_TRUE(std::equal(platform.questions.begin(), platform.questions.end(),
                             batchPlatform.questions.begin(), same))
          << Describe(s, text) << batching;
    } else {
      EXPECT_TRUE(std::equal(platform.questions.begin(), platform.questions.end(),
                             batchPlatform.questions.begin(), batchPlatform.questions.end(), same))
          << Describe(s, text) << batching;
      EXPECT_EQ(batchPlatform.warnings.size(), platform.warnings.size())
          << Describe(s, text) << batching;
    }
  }

  const std::vector<std::string> runLines = RunLines(lines, finalLineEnd);
  const bool ashtech = IsGeographic(s.source) && s.inputAngles == InputAngles::AshtechReport;
  const bool waypoints = WritesWaypoints(s);
  const std::vector<std::size_t> slots = ResultSlots(runLines, ashtech);
  const std::int64_t extra = waypoints ? 0 : s.extraLines;

  // How many result lines the run reached: all of them, or up to the one
  // whose record starts at the line it stopped at.
  std::size_t reached = slots.size();
  if (outcome.end != RunEnd::Completed) {
    ++tally.stopped;
    // A stop names a line of the input and why.
    ASSERT_GE(outcome.lineNumber, 1) << Describe(s, text);
    ASSERT_LE(outcome.lineNumber, static_cast<std::int64_t>(runLines.size())) << Describe(s, text);
    EXPECT_FALSE(outcome.reason.empty()) << Describe(s, text);
    const auto at =
        std::find(slots.begin(), slots.end(), static_cast<std::size_t>(outcome.lineNumber - 1));
    ASSERT_NE(at, slots.end()) << "a stop inside a record, line " << outcome.lineNumber << "\n"
                               << Describe(s, text);
    reached = static_cast<std::size_t>(at - slots.begin()) + 1;
  } else {
    ++tally.completed;
  }
  // The user hears of a failure exactly once: from the reader that met the
  // invalid value, or from the window's message about the stop.
  const std::size_t expectedWarnings =
      outcome.end == RunEnd::Failed && outcome.alreadyReported ? 1 : 0;
  EXPECT_EQ(platform.warnings.size(), expectedWarnings) << Describe(s, text);

  std::vector<std::string> result = SplitLines(out);
  if (waypoints) {
    ASSERT_GE(result.size(), 5u) << Describe(s, text);
    EXPECT_EQ(result[0], "OziExplorer Waypoint File Version 1.1");
    result.erase(result.begin(), result.begin() + 4);
  }
  ASSERT_EQ(result.size(), reached + static_cast<std::size_t>(outcome.points * extra))
      << Describe(s, text) << "\nresult:\n"
      << out;
  if (outcome.end != RunEnd::Completed) {
    EXPECT_EQ(result.back(), "") << "the line a run stopped at gets no result\n"
                                 << Describe(s, text);
  }
  if (extra != 0) return;
  // Result line k stands opposite the record that starts at input line slots[k].
  std::int64_t written = 0;
  for (std::size_t k = 0; k < reached; ++k) {
    if (IsBlankLine(runLines[slots[k]])) {
      EXPECT_EQ(result[k], "") << "line " << slots[k] + 1 << "\n" << Describe(s, text);
    }
    if (result[k].empty()) continue;
    ++written;
    if (waypoints) {
      // Every waypoint line has the 18 fields of the format, numbered from 1.
      ++tally.waypointLines;
      EXPECT_EQ(std::count(result[k].begin(), result[k].end(), ','), 17) << result[k] << "\n"
                                                                         << Describe(s, text);
      EXPECT_EQ(result[k].substr(0, result[k].find(',')), std::to_string(written)) << result[k];
    }
  }
  EXPECT_EQ(written, outcome.points) << Describe(s, text) << "\nresult:\n" << out;
}

TEST(RunProperties, EveryPairOverGeneratedListsAndSettings) {
  Random r(0x6b6f7276u);
  ListGenerator lists(r);
  Tally tally;
  const int entries = static_cast<int>(FixedSystems().size()) + 1;  // and the own system
  for (int source = 0; source < entries; ++source) {
    for (int target = 0; target < entries; ++target) {
      for (int n = 0; n < kRunsPerPair; ++n) {
        const ConversionSettings s = RandomSettings(r, source, target);
        CheckRun(s, lists.lines(s), r.chance(0.5), r, tally);
        if (::testing::Test::HasFatalFailure()) return;
      }
    }
  }
  // The generated cases reach every ending.
  EXPECT_GT(tally.stopped, 500);
  EXPECT_GT(tally.completed, 500);
}

// Waypoint output from every source, with names and font size texts that hold commas.
TEST(RunProperties, WaypointLinesHaveEighteenFields) {
  Random r(0x6f7a69u);
  ListGenerator lists(r);
  Tally tally;
  for (int n = 0; n < 3000; ++n) {
    ConversionSettings s = RandomSettings(r, r.below(static_cast<int>(FixedSystems().size()) + 1),
                                          r.chance(0.5) ? kBlhKras : kWgs84);
    s.outputAngles = OutputAngles::Waypoints;
    CheckRun(s, lists.lines(s), r.chance(0.5), r, tally);
    if (::testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GT(tally.waypointLines, 5000);
}

// The same runs through the window: the user sees one message per failed
// run, and none for a run that ended otherwise.
TEST(RunProperties, TheWindowShowsOneMessagePerFailure) {
  Random r(0x77696e64u);
  ListGenerator lists(r);
  int failures = 0;
  for (int n = 0; n < 600; ++n) {
    FakePlatform platform;
    Form1 form(platform);
    form.load(r.chance(0.5) ? '.' : ',');
    if (r.chance(0.3))
      form.formatItemClick(r.pick<FormatItem>(
          {FormatItem::mnuAshtech, FormatItem::mnuTrimble, FormatItem::mnuGGG_0}));
    form.selectCombo1(r.below(static_cast<int>(FixedSystems().size())));
    form.selectCombo2(r.below(static_cast<int>(FixedSystems().size())));
    form.selectCombo3(r.below(3));
    form.selectCombo4(r.below(3));
    if (r.chance(0.3)) form.formatItemClick(FormatItem::fOzi);
    form.Txt1 = ListGenerator::Join(lists.lines(form.settings()), r.chance(0.5));
    for (int i = 0; i < 4; ++i)
      platform.answers.push_back(r.chance(0.8) ? Answer::Yes : Answer::No);
    ASSERT_NO_THROW(form.convert()) << form.Txt1;
    const std::size_t expected = form.lastRun.end == RunEnd::Failed ? 1 : 0;
    ASSERT_EQ(platform.warnings.size(), expected) << form.Txt1;
    if (expected == 1) {
      ++failures;
      EXPECT_EQ(platform.warnings[0].title, "Ай-ай-ай");
      // A message about a stop names its line; the reader's own message names the value.
      const std::string& text = platform.warnings[0].text;
      EXPECT_TRUE(text == "Встречено недопустимое значение" ||
                  text.starts_with("Вычисления прерваны в строке " +
                                   std::to_string(form.lastRun.lineNumber) + ": "))
          << text;
      EXPECT_LT(text.size(), 400u) << "a message stays readable: " << text.substr(0, 400);
    }
  }
  EXPECT_GT(failures, 30);
}

// ---- Saving and opening again ----------------------------------------------

// A character of cp1251 (any of its 256 bytes but CR, LF and TAB) as UTF-8.
std::string Cp1251Character(Random& r) {
  for (;;) {
    const char byte = static_cast<char>(r.below(256));
    if (byte != '\r' && byte != '\n' && byte != '\t')
      return Cp1251ToUtf8(std::string_view(&byte, 1));
  }
}

// Any character but CR, LF and TAB, from all planes, as UTF-8.
std::string UnicodeCharacter(Random& r) {
  char32_t cp = 0;
  switch (r.below(5)) {
    case 0:
      cp = static_cast<char32_t>(r.below(0x80));
      break;
    case 1:
      cp = static_cast<char32_t>(0x80 + r.below(0x780));
      break;
    case 2:
      cp = static_cast<char32_t>(0x400 + r.below(0x100));
      break;  // Cyrillic
    case 3:
      cp = static_cast<char32_t>(0x800 + r.below(0xF800));
      break;
    default:
      cp = static_cast<char32_t>(0x10000 + r.below(0x100000));
      break;
  }
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == '\r' || cp == '\n' || cp == '\t') cp = 0xFEFF;
  std::string out;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return out;
}

// A text as the input box holds it: lines ended by CR LF (the last one
// perhaps not), no TAB. Short texts are many, as they are the likeliest to
// read as another encoding.
template <class Character>
std::string BoxText(Random& r, Character character) {
  std::string text;
  const int lines = r.below(4);
  for (int l = 0; l <= lines; ++l) {
    if (l > 0) text += "\r\n";
    for (int i = r.below(r.chance(0.5) ? 4 : 40); i > 0; --i) text += character(r);
  }
  if (r.chance(0.5)) text += "\r\n";
  return text;
}

// A directory for thousands of small saves: in memory (/dev/shm) where there
// is one, so that each save's sync to disk costs nothing; removed at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0
            ? shm
            : std::filesystem::temp_directory_path();
    path_ = base / ("korvagrid-properties-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string Shown(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    s += kHex[b >> 4];
    s += kHex[b & 0x0F];
    s += ' ';
  }
  return s;
}

struct RoundTripEncoding {
  const char* why;
  TextEncoding wanted;
  bool cp1251Characters;  // the text holds cp1251 characters only
};

class SaveAndOpen : public ::testing::TestWithParam<RoundTripEncoding> {};

TEST_P(SaveAndOpen, GivesTheTextBackByteForByte) {
  const RoundTripEncoding& c = GetParam();
  Random r(0x736176u + static_cast<std::uint64_t>(c.wanted));
  ScratchDir dir;
  const auto file = dir / "list.txt";
  for (int n = 0; n < 700; ++n) {
    const std::string text =
        c.cp1251Characters ? BoxText(r, Cp1251Character) : BoxText(r, UnicodeCharacter);
    const SaveResult saved = SaveTextDocument(file, text, c.wanted);
    ASSERT_TRUE(saved.ok) << saved.problem;
    const ReadTextResult read = ReadTextDocument(file);
    ASSERT_EQ(read.status, ReadStatus::Complete) << read.problem;
    // Saving adds one line end, which opening reads as one more empty line.
    ASSERT_EQ(read.text, text + "\r\n")
        << c.why << "\ntext:  " << Shown(text) << "\nfile:  " << Shown(testing::ReadBytes(file));
    // The file is in the encoding it was written in; saving the opened text in
    // that encoding writes the same bytes again.
    // (UTF-8 of ASCII characters only is the same bytes as cp1251 and reads as such.)
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
    EXPECT_EQ(read.encoding,
              saved.encoding == TextEncoding::Utf8 && ascii ? TextEncoding::Cp1251 : saved.encoding)
        << Shown(text);
    const std::string bytes = testing::ReadBytes(file);
    ASSERT_TRUE(SaveTextDocument(dir / "again.txt", read.text.substr(0, read.text.size() - 2),
                                 read.encoding)
                    .ok);
    EXPECT_EQ(testing::ReadBytes(dir / "again.txt"), bytes) << Shown(text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SaveAndOpen,
    ::testing::Values(
        RoundTripEncoding{"cp1251 document of cp1251 characters", TextEncoding::Cp1251, true},
        RoundTripEncoding{"cp1251 document with characters cp1251 lacks", TextEncoding::Cp1251,
                          false},
        RoundTripEncoding{"UTF-8 document", TextEncoding::Utf8, false},
        RoundTripEncoding{"UTF-8 document with a byte-order mark", TextEncoding::Utf8Bom, false}));

// The same through the File menu: Save as, New, Open.
TEST(SaveAndOpenInTheWindow, GivesTheTextBack) {
  Random r(0x666f726du);
  ScratchDir dir;
  FakePlatform platform;
  Form1 form(platform);
  form.load('.');
  for (int n = 0; n < 300; ++n) {
    const std::string text =
        r.chance(0.5) ? BoxText(r, Cp1251Character) : BoxText(r, UnicodeCharacter);
    const ChosenFile file{(dir / "doc.txt").string(), "doc.txt"};
    form.newDocument();
    form.Txt1 = text;
    platform.saveChoices.push_back(file);
    form.saveAs();
    form.newDocument();
    platform.openChoices.push_back(file);
    form.openWithDialog();
    ASSERT_EQ(form.Txt1, text + "\r\n") << Shown(text);
    // Save with the known name writes the file the opened text came from, plus one line end.
    const std::string before = testing::ReadBytes(dir / "doc.txt");
    form.save();
    ASSERT_EQ(testing::ReadBytes(dir / "doc.txt"), before + "\r\n") << Shown(text);
  }
}

}  // namespace
}  // namespace korvagrid
