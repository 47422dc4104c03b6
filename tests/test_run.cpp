// The conversion run: questions, identities, result lines, extra lines,
// failures and stops, driven through the run with a scripted platform.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "conversion/batched_run.h"
#include "conversion/run.h"
#include "support/run_helpers.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

using testing::Convert;
using testing::FakePlatform;
using testing::SettingsFor;
using testing::SplitLines;

constexpr int kC2 = 0, kC3 = 1, kM64 = 3, kZone5 = 7, kZone6 = 8, kZone7 = 9, kBlh = 10,
              kWgs = 11, k47_1 = 12, k47_2 = 13, k53_1 = 15, kOwn = 18;

const std::string kFewDigits =
    "Ошибка в выборе исходной системы координат.\r\nили в формате их записи (У 'X' мало "
    "знаков)\r\nПродолжить вычисления?";
const std::string kTooBig =
    "Ошибка в выборе исходной системы координат.\r\nили в формате их записи ('X' "
    "великоват)\r\nПродолжить вычисления?";

std::string ZoneQuestion(std::string_view advice) {
  return "Ошибка в выборе исходной системы координат.\r\n" + std::string(advice) +
         "\r\nПродолжить вычисления?";
}

TEST(Run, EmptyInputGivesEmptyResult) {
  for (const char* input : {"", "   ", "\r\n"}) {
    const auto c = Convert(input, SettingsFor(kZone6, kZone6));
    // One CR LF in the input makes two (empty) lines, hence one line end.
    EXPECT_EQ(c.text, std::string(input) == "\r\n" ? "\r\n" : "") << input;
    EXPECT_EQ(c.outcome.end, RunEnd::Completed);
  }
}

TEST(Run, BlankAndZeroLinesKeepTheirPlaces) {
  // Identity 42(zone6) -> 42(zone6): the prefix is stripped, no prefix is written back.
  const auto c = Convert("6200000 6600000 150\r\n\r\n0 0 7\r\nno numbers\r\n6200000 6600000 150",
                         SettingsFor(kZone6, kZone6));
  EXPECT_EQ(c.text,
            "6200000.000\t600000.000 \t150.000 \r\n\r\n\r\n\r\n6200000.000\t600000.000 \t150.000 ");
  EXPECT_EQ(c.outcome.points, 2);
  EXPECT_EQ(c.outcome.lines, 5);
}

struct QuestionCase {
  const char* why;
  int source;
  const char* input;
  std::vector<Answer> answers;
  std::vector<std::string> asked;
  RunEnd end;
  std::int64_t points;
};

TEST(Run, QuestionsOnTheWrittenForm) {
  const std::vector<QuestionCase> cases = {
      {"63 (C3) X with too few digits, Yes silences the question for the run", kC3,
       "310000.0 345678.9 1\r\n310001.0 345678.9 1\r\n", {Answer::Yes}, {kFewDigits}, RunEnd::Completed, 2},
      {"63 (C3) X with too few digits, No ends the run at that point", kC3,
       "6210000 345678.9 1\r\n310000.0 345678.9 1\r\n6210000 345678.9 1", {Answer::No}, {kFewDigits},
       RunEnd::StoppedByNo, 1},
      {"M64 with a full X", kM64, "6210000.0 95000 1", {Answer::Yes}, {kTooBig}, RunEnd::Completed, 1},
      {"47 family with a full X", k47_1, "6210000.0 1250000 1", {Answer::No}, {kTooBig},
       RunEnd::StoppedByNo, 0},
      {"53 family with a full X", k53_1, "6210000.0 1250000 1", {Answer::Yes}, {kTooBig},
       RunEnd::Completed, 1},
      {"X of exactly 1 000 000 asks nothing", kC3, "1000000 345678.9 1", {}, {}, RunEnd::Completed, 1},
      {"63 (C3) with a zone-2 prefix", kC3, "6210000 2345678.9 1", {Answer::Yes},
       {ZoneQuestion("Надо 63(C2), 63(P2), 47(2) или 53(2).")}, RunEnd::Completed, 1},
      {"63 (C3) with its own prefix asks nothing", kC3, "6210000 3345678.9 1", {}, {}, RunEnd::Completed, 1},
      {"a prefix of 7 000 000 has no advice and passes", kC3, "6210000 7345678.9 1", {}, {},
       RunEnd::Completed, 1},
      {"42(zone6) with a zone-5 prefix", kZone6, "6210000 5345678.9 1", {Answer::No},
       {ZoneQuestion("Надо 'UTM-27'.")}, RunEnd::StoppedByNo, 0},
      {"both questions, each silenced on its own", kC3,
       "310000 2345678.9 1\r\n310000 2345678.9 1", {Answer::Yes, Answer::Yes},
       {kFewDigits, ZoneQuestion("Надо 63(C2), 63(P2), 47(2) или 53(2).")}, RunEnd::Completed, 2},
  };
  for (const QuestionCase& q : cases) {
    FakePlatform platform;
    platform.answers.assign(q.answers.begin(), q.answers.end());
    const auto c = Convert(q.input, SettingsFor(q.source, kC3), platform);
    ASSERT_EQ(platform.questions.size(), q.asked.size()) << q.why;
    for (std::size_t i = 0; i < q.asked.size(); ++i) {
      EXPECT_EQ(platform.questions[i].text, q.asked[i]) << q.why;
      EXPECT_EQ(platform.questions[i].title, "Внимание!") << q.why;
    }
    EXPECT_EQ(c.outcome.end, q.end) << q.why;
    EXPECT_EQ(c.outcome.points, q.points) << q.why;
  }
}

TEST(Run, NoKeepsTheLineEndBeforeTheStoppedLine) {
  FakePlatform platform;
  platform.answers = {Answer::No};
  const auto c = Convert("6210000 345678.9 1\r\n310000.0 345678.9 1", SettingsFor(kC3, kC3), platform);
  EXPECT_EQ(c.text, "6210000.000\t345678.900 \t1.000 \r\n");
  EXPECT_EQ(c.outcome.lineNumber, 2);
  EXPECT_EQ(c.outcome.reason, kFewDigits);
}

TEST(Run, PrefixIsStrippedForEveryZoneBelowSeven) {
  // Y = 7 345 678.9 passes without a question and goes on as 345 678.9.
  const auto c = Convert("6210000 7345678.9 1", SettingsFor(kC3, kC3));
  EXPECT_EQ(c.text, "6210000.000\t345678.900 \t1.000 ");
}

struct ResultCase {
  const char* why;
  int source;
  int target;
  PlaneStyle outputPlane;
  RecordLayout outputLayout;
  const char* input;
  const char* expected;
};

TEST(Run, PlaneResultLines) {
  constexpr PlaneStyle StandEnd = PlaneStyle::Standard, MaxEnd = PlaneStyle::Full, MinEnd = PlaneStyle::Short;
  constexpr RecordLayout XYH = RecordLayout::XYH, NameXYH = RecordLayout::NameXYH, XY = RecordLayout::XY;
  const std::vector<ResultCase> cases = {
      {"47(1) -> 63 (C2) is an identity: X gets its 6 200 000, Y loses its prefix", k47_1, kC2, StandEnd, XYH,
       "12345.678 1345678.9 10", "6212345.678\t345678.900 \t10.000 "},
      {"63 (C3) with MaxEnd writes the zone prefix", kC3, kC3, MaxEnd, XYH, "6210000 345678.9 1",
       "6210000.000\t3345678.900 \t1.000 "},
      {"63 (C3) without MaxEnd writes no prefix", kC3, kC3, StandEnd, XYH, "6210000 3345678.9 1",
       "6210000.000\t345678.900 \t1.000 "},
      {"47(2) always short X and prefixed Y", kC3, k47_2, StandEnd, XYH, "6212345.678 345678.9 1",
       "12345.678\t2345678.900 \t1.000 "},
      {"63 (C2) with MinEnd writes X - 6 000 000", kC2, kC2, MinEnd, XYH, "6212345.678 345678.9 1",
       "212345.678\t345678.900 \t1.000 "},
      {"layout X; Y writes no height", kC3, kC3, StandEnd, XY, "6210000 345678.9 1",
       "6210000.000\t345678.900 "},
      {"named output of an unnamed input still writes the TAB", kC3, kC3, StandEnd, NameXYH,
       "6210000 345678.9 1", "\t6210000.000\t345678.900 \t1.000 "},
  };
  for (const ResultCase& r : cases) {
    ConversionSettings s = SettingsFor(r.source, r.target);
    s.outputPlane = r.outputPlane;
    s.outputLayout = r.outputLayout;
    EXPECT_EQ(Convert(r.input, s).text, r.expected) << r.why;
  }
}

TEST(Run, NamesGoFromInputToOutput) {
  ConversionSettings s = SettingsFor(kC3, kC3);
  s.inputLayout = RecordLayout::NameXYH;
  s.outputLayout = RecordLayout::NameXYH;
  EXPECT_EQ(Convert("  P7  6012345.5 ; 345678.75;152.3", s).text,
            "P7\t6012345.500\t345678.750 \t152.300 ");
}

// Result lines are put together before they are appended; names and extra
// lines of any length still come out whole.
TEST(Run, LongNamesAndManyExtraLinesComeOutWhole) {
  const std::string result = "6012345.500\t345678.750 \t152.300 ";
  for (const std::size_t length : {64, 65, 300}) {
    ConversionSettings s = SettingsFor(kC3, kC3);
    s.inputLayout = RecordLayout::NameXYH;
    s.outputLayout = RecordLayout::NameXYH;
    const std::string name(length, 'P');
    EXPECT_EQ(Convert(name + " 6012345.5 345678.75 152.3", s).text, name + "\t" + result) << length;
  }
  for (const std::int32_t extraLines : {8, 9}) {
    ConversionSettings s = SettingsFor(kC3, kC3);
    s.extraLines = extraLines;
    std::string expected = result;
    for (std::int32_t i = 0; i < extraLines; ++i) expected += "\r\n";
    EXPECT_EQ(Convert("6012345.5 345678.75 152.3", s).text, expected) << extraLines;
  }
}

TEST(Run, DecimalCommaInAndOut) {
  ConversionSettings s = SettingsFor(kC3, kC3, ',');
  EXPECT_EQ(Convert("6210000,5 345678.25 1,5", s).text, "6210000,500\t345678,250 \t1,500 ");
}

TEST(Run, ExtraLinesFollowEachResult) {
  struct Case {
    const char* counter;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"2", "6210000.000\t345678.900 \t1.000 \r\n\r\n\r\n6210000.000\t345678.900 \t1.000 \r\n\r\n"},
      {"0", "6210000.000\t345678.900 \t1.000 \r\n6210000.000\t345678.900 \t1.000 "},
      {"-3", "6210000.000\t345678.900 \t1.000 \r\n6210000.000\t345678.900 \t1.000 "},
      // Not a number: its leading digits count (none: no extra lines), never a failure.
      {"x", "6210000.000\t345678.900 \t1.000 \r\n6210000.000\t345678.900 \t1.000 "},
      {"1x", "6210000.000\t345678.900 \t1.000 \r\n\r\n6210000.000\t345678.900 \t1.000 \r\n"},
      {"", "6210000.000\t345678.900 \t1.000 \r\n6210000.000\t345678.900 \t1.000 "},
  };
  // The window's counter text becomes the run's number of extra lines.
  for (const Case& e : cases) {
    FakePlatform platform;
    Form1 form(platform);
    form.load('.');
    form.selectCombo1(kC3);
    form.selectCombo2(kC3);
    form.txtCount = e.counter;
    form.Txt1 = "6210000 345678.9 1\r\n6210000 345678.9 1";
    form.convert();
    EXPECT_EQ(form.Txt2, e.expected) << "counter \"" << e.counter << "\"";
    EXPECT_EQ(form.lastRun.end, RunEnd::Completed);
  }
}

TEST(Run, DecimalDegreesInputBetweenEqualGeographicSystems) {
  // gg.ggggggggg input: 55.5 goes on as 55°30', packed 55.3.
  ConversionSettings s = SettingsFor(kBlh, kBlh);
  s.inputAngles = InputAngles::Decimal;
  s.outputAngles = OutputAngles::Packed;
  EXPECT_EQ(Convert("55.5 37.25 100", s).text, "55.300000000\t37.150000000\t100.000 ");
}

struct FailureCase {
  const char* why;
  const char* input;
  std::int64_t line;
  const char* partial;
};

TEST(Run, FailuresStopAtTheirLineAndKeepWhatWasWritten) {
  const std::vector<FailureCase> cases = {
      {"a field of number characters that is not a number", "6210000 345678.9 1\r\n1.2.3 5 6", 2,
       "6210000.000\t345678.900 \t1.000 \r\n"},
      {"a lone minus", "\r\n\r\n6210000 - 1", 3, "\r\n\r\n"},
      {"Y whose millions leave 32 bits", "6210000 3000000000000 1", 1, ""},
  };
  for (const FailureCase& f : cases) {
    FakePlatform platform;
    const auto c = Convert(f.input, SettingsFor(kC3, kC3), platform);
    EXPECT_EQ(c.outcome.end, RunEnd::Failed) << f.why;
    EXPECT_EQ(c.outcome.lineNumber, f.line) << f.why;
    EXPECT_FALSE(c.outcome.reason.empty()) << f.why;
    EXPECT_FALSE(c.outcome.alreadyReported) << f.why;
    EXPECT_EQ(c.text, f.partial) << f.why;
    EXPECT_TRUE(platform.warnings.empty()) << "the run itself shows nothing; " << f.why;
  }
}

TEST(Run, FailureMessageNamesTheLine) {
  RunOutcome o;
  o.end = RunEnd::Failed;
  o.lineNumber = 57;
  o.reason = "не число: «1.2.3»";
  EXPECT_EQ(FailureMessage(o), "Вычисления прерваны в строке 57: не число: «1.2.3»");
}

TEST(Run, OwnSystemFieldThatIsNotANumberFailsBeforeTheFirstLine) {
  FakePlatform platform;
  Form1 form(platform);
  form.load('.');
  form.selectCombo1(kC3);
  form.selectCombo2(kOwn);
  form.ownSystem.dXmy = "-";
  form.Txt1 = "6210000 345678.9 1";
  form.convert();
  EXPECT_EQ(form.lastRun.end, RunEnd::Failed);
  EXPECT_EQ(form.lastRun.lineNumber, 0);
  EXPECT_EQ(form.Txt2, "");
}

TEST(Run, InvalidDmsValueIsReportedOnce) {
  FakePlatform platform;
  const auto c = Convert("55 45 00 37 37 00 1\r\n55 61 00 37 37 00 1\r\n55 45 00 37 37 00 1",
                         SettingsFor(kBlh, kBlh), platform);
  ASSERT_EQ(platform.warnings.size(), 1u);
  EXPECT_EQ(platform.warnings[0].text, "Встречено недопустимое значение");
  EXPECT_EQ(platform.warnings[0].title, "Ай-ай-ай");
  EXPECT_EQ(c.outcome.end, RunEnd::Failed);
  EXPECT_TRUE(c.outcome.alreadyReported);
  EXPECT_EQ(c.outcome.lineNumber, 2);
  EXPECT_EQ(SplitLines(c.text).size(), 2u);
}

TEST(Run, ListsLongerThanSixteenBitCountersConvert) {
  std::string input;
  constexpr int kLines = 40000;
  for (int i = 0; i < kLines; ++i) input += "6210000 345678.9 1\r\n";
  const auto c = Convert(input, SettingsFor(kC3, kC3));
  EXPECT_EQ(c.outcome.end, RunEnd::Completed);
  EXPECT_EQ(c.outcome.points, kLines);
  EXPECT_EQ(SplitLines(c.text).size(), static_cast<std::size_t>(kLines) + 1);
}

TEST(Run, AshtechRecordsOfFourLinesGiveOneResultLineEach) {
  ConversionSettings s = SettingsFor(kWgs, kWgs);
  s.inputAngles = InputAngles::AshtechReport;
  s.outputAngles = OutputAngles::Packed;
  const std::string record =
      "Site 0001 Lat. N 55° 45' 12.34567\"\r\nLon. E 37° 36' 56.78901\"\r\nElv. 150.123 m\r\nPDOP 1.5\r\n";
  const auto c = Convert(record + "\r\n" + record, s);
  const auto lines = SplitLines(c.text);
  // Record, blank line, record, and the empty piece after the last line end.
  ASSERT_EQ(lines.size(), 4u) << c.text;
  EXPECT_EQ(lines[0], "55.451234567\t37.365678901\t150.123 ");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], lines[0]);
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(c.outcome.points, 2);
}

TEST(Run, WaypointsNumberConvertedPointsOnly) {
  ConversionSettings s = SettingsFor(kBlh, kWgs);
  s.inputAngles = InputAngles::Packed;
  s.outputAngles = OutputAngles::Waypoints;
  const auto c = Convert("55.45 37.37 1\r\n\r\n0 0 0\r\n55.46 37.38 1", s);
  const auto lines = SplitLines(c.text);
  ASSERT_EQ(lines.size(), 8u) << c.text;
  EXPECT_EQ(lines[0], "OziExplorer Waypoint File Version 1.1");
  EXPECT_EQ(lines[1], "WGS 84");
  EXPECT_EQ(lines[4].substr(0, 9), "1,1     ,");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "");
  EXPECT_EQ(lines[7].substr(0, 9), "2,2     ,");
}

TEST(Run, WaypointsForKrasovskyDeclareTheirDatum) {
  ConversionSettings s = SettingsFor(kZone6, kBlh);
  s.outputAngles = OutputAngles::Waypoints;
  const auto lines = SplitLines(Convert("6200000 6600000 150", s).text);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "Pulkovo 1942");
}

// The command line runs long lists in batches whose points are written on
// several threads: for every kind of list and stop, text, outcome, questions
// and messages must be those of the plain run, whatever the batch size.
TEST(Run, BatchedRunsGiveWhatThePlainRunGives) {
  struct Case {
    const char* why;
    int source;
    int target;
    std::string input;
    std::vector<Answer> answers;
    InputAngles inputAngles = InputAngles::Dms;
    OutputAngles outputAngles = OutputAngles::Dms;
    SystemKind ownKind = SystemKind::LocalPlane;  // the own system
  };
  const std::string ashtech =
      "Site 0001 Lat. N 55° 45' 12.34567\"\r\nLon. E 37° 36' 56.78901\"\r\nElv. 150.123 m\r\nPDOP 1.5\r\n";
  // Enough lines for several parts of a batch, shared among the threads; the
  // point that cannot be carried stands in a late part.
  std::string longList;
  for (int i = 0; i < 1800; ++i) {
    longList += i == 1500 ? "6200000 99999999999 1\r\n" : "62" + std::to_string(10000 + i) + " 6600000 150\r\n";
  }
  const std::vector<Case> cases = {
      {"a long list stopped by a point in a late part", kOwn, kBlh, longList, {}, InputAngles::Dms,
       OutputAngles::Dms, SystemKind::GaussKrugerZone},
      {"a plain list with blank and empty lines", kZone6, kWgs,
       "6200000 6600000 150\r\n\r\n0 0 0\r\n6212345.678 6512345.678 162.31\r\n6198765 6487654 148.7\r\n", {}},
      {"a line that is not a number stops the run", kC3, kC3,
       "6210000 345678.9 1\r\n6210001 345678.9 1\r\n1.2.3 5 6\r\n6210002 345678.9 1", {}},
      {"a No answer stops the run", kC3, kC3,
       "6210000 345678.9 1\r\n6210001 345678.9 1\r\n310000.0 345678.9 1\r\n6210002 345678.9 1",
       {Answer::No}},
      {"a Yes answer goes on", kC3, kZone6, "310000.0 345678.9 1\r\n310001 345678.9 1\r\n310002 345678.9 1",
       {Answer::Yes}},
      {"an invalid dms value is shown once and stops the run", kBlh, kWgs,
       "55 45 00 37 37 00 1\r\n55 46 00 37 37 00 1\r\n55 61 00 37 37 00 1\r\n55 45 00 37 37 00 1", {}},
      {"Ashtech records of four lines", kWgs, kBlh, ashtech + "\r\n" + ashtech + ashtech, {},
       InputAngles::AshtechReport},
      {"a point the chain cannot carry (zone number beyond 16 bits) stops the run", kOwn,
       kBlh, "6200000 6600000 150\r\n6200000 6600000 151\r\n6200000 99999999999 1\r\n6200000 6600000 152", {},
       InputAngles::Dms, OutputAngles::Dms, SystemKind::GaussKrugerZone},
      {"random waypoint placements are drawn in line order", kBlh, kWgs,
       "55.45 37.37 1\r\n55.46 37.38 1\r\n\r\n55.47 37.39 1\r\n55.48 37.40 1\r\n55.49 37.41 1", {},
       InputAngles::Packed, OutputAngles::Waypoints},
  };
  for (const Case& c : cases) {
    ConversionSettings s = SettingsFor(c.source, c.target);
    s.inputAngles = c.inputAngles;
    s.outputAngles = c.outputAngles;
    s.waypoints.placementIndex = 7;
    if (s.source.userDefined) s.source = OwnSystemEntry(OwnSystem{.kind = c.ownKind});
    const auto run = [&](int threads, std::size_t batch, FakePlatform& platform) {
      platform.answers.assign(c.answers.begin(), c.answers.end());
      std::string text;
      TextLineSource lines(PrepareRunText(c.input));
      StringSink sink(text);
      PlacementRandom random(11);
      const RunOutcome outcome = threads == 0 ? ConversionRun(lines, sink, s, platform, random)
                                              : ConversionRunInBatches(lines, sink, s, platform, random,
                                                                       threads, batch);
      return std::pair{text, outcome};
    };
    FakePlatform plainPlatform;
    const auto [plainText, plain] = run(0, 0, plainPlatform);
    ASSERT_FALSE(plainText.empty()) << c.why;
    for (const int threads : {1, 2, 3}) {
      for (const std::size_t batch : {1U, 2U, 3U, 7U, 1000U}) {
        FakePlatform platform;
        const auto [text, outcome] = run(threads, batch, platform);
        const std::string where = std::string(c.why) + ", " + std::to_string(threads) + " threads, batches of " +
                                  std::to_string(batch);
        EXPECT_EQ(text, plainText) << where;
        EXPECT_EQ(outcome.end, plain.end) << where;
        EXPECT_EQ(outcome.lineNumber, plain.lineNumber) << where;
        EXPECT_EQ(outcome.reason, plain.reason) << where;
        EXPECT_EQ(outcome.alreadyReported, plain.alreadyReported) << where;
        EXPECT_EQ(outcome.points, plain.points) << where;
        EXPECT_EQ(platform.questions.size(), plainPlatform.questions.size()) << where;
        EXPECT_EQ(platform.warnings.size(), plainPlatform.warnings.size()) << where;
      }
    }
  }
}

// The batched run takes a stream's lines as they stand and finishes them
// (TABs, trimming) side by side; the plain run over the same stream takes
// them finished.
TEST(Run, BatchedRunFinishesTheStreamsLinesAsThePlainRun) {
  const std::string input =
      "\t6200000\t6600000 150\r\n  6212345.678 6512345.678 162.31  \r\r\n\n"
      "6198765 6487654 148.7\r1.2.3 5 6\n6200000 6600000 151";
  const ConversionSettings s = SettingsFor(kZone6, kWgs);
  const auto run = [&](int threads) {
    std::istringstream in(input);
    StreamLineSource lines(in);
    std::string text;
    StringSink sink(text);
    FakePlatform platform;
    PlacementRandom random(11);
    const RunOutcome outcome = threads == 0
                                   ? ConversionRun(lines, sink, s, platform, random)
                                   : ConversionRunInBatches(lines, sink, s, platform, random, threads, 2);
    return std::tuple{text, outcome.end, outcome.lineNumber, outcome.reason, outcome.points};
  };
  const auto plain = run(0);
  EXPECT_EQ(std::get<1>(plain), RunEnd::Failed);  // the line "1.2.3 5 6"
  EXPECT_EQ(run(1), plain);
  EXPECT_EQ(run(2), plain);
}

}  // namespace
}  // namespace korvagrid
