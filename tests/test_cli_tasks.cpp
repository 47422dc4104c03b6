// korvagrid-cli ogz and sheets run as processes: output bytes, the own system
// given as options, and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/cli_runner.h"

namespace {

namespace fs = std::filesystem;
using korvagrid::testing::kExamplesPath;

const fs::path kExamples = kExamplesPath;

using CliTasks = korvagrid::testing::CliRunner;

TEST_F(CliTasks, OgzWorkedExampleWithNames) {
  const Result r = Run("ogz --in-layout 1 --out-layout name", "A 100 100\nB 100 200\n");
  EXPECT_EQ(r.status, 0) << r.err;
  // The group closed by the end of the list: its two legs, with the input's LF ends.
  EXPECT_EQ(r.out, "A-B\t90°00'00.0\t100.000\nB-A\t270°00'00.0\t100.000\n");
}

TEST_F(CliTasks, OgzDecimalCommaReadsEitherSeparator) {
  // The input is read as "Open..." reads it: its last line gets a line end
  // too, so the group is closed.
  const Result r = Run("ogz --decimal-comma", "100.5 100\r\n100,5 200,25");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "90°00'00,0\t100,250\r\n270°00'00,0\t100,250\r\n");
}

TEST_F(CliTasks, OgzReadsCp1251FilesAndWritesEitherEncoding) {
  Write(dir_ / "in.txt", "\xD2\xEE\xF7\xEA\xE0 0 0\r\nT2 0 10");  // "Точка"
  const std::string file = "'" + (dir_ / "in.txt").string() + "'";
  const Result utf8 = Run("ogz --in-layout 1 --out-layout 1 " + file);
  EXPECT_EQ(utf8.out,
            "Точка-T2\t90°00'00.0\t010.000\r\nT2-Точка\t270°00'00.0\t010.000\r\n");
  const Result cp1251 = Run("ogz --in-layout 1 --out-layout 1 --encoding cp1251 " + file);
  EXPECT_EQ(cp1251.out,
            "\xD2\xEE\xF7\xEA\xE0-T2\t90\xB0"
            "00'00.0\t010.000\r\n"
            "T2-\xD2\xEE\xF7\xEA\xE0\t270\xB0"
            "00'00.0\t010.000\r\n");
}

TEST_F(CliTasks, OgzStopsAtAnUnreadableLineAndKeepsTheLegs) {
  const Result r = Run("ogz", "100 100\n100 200\n1.2.3 5\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "90°00'00.0\t100.000\n");
  EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1.2.3"), std::string::npos) << r.err;
}

TEST_F(CliTasks, UnreadableInputIsAUsageError) {
  const Result missing = Run("ogz '" + (dir_ / "missing.txt").string() + "'");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("missing.txt"), std::string::npos);
  const Result folder = Run("sheets --scale 200 --from 0 '" + dir_.string() + "'");
  EXPECT_EQ(folder.status, 2);
  EXPECT_NE(folder.err.find("это папка"), std::string::npos) << folder.err;
}

TEST_F(CliTasks, SheetsOfKrasovskyPointsAsTheTrapezoidBoxHoldsThem) {
  const std::string input = "P1 55.45 37.37 0\r\n\r\nP2 56.0 37.37\r\nP3 38.0 37.37\r\n";
  const Result r200 =
      Run("sheets --scale 200 --from 'BLH(Kras)' --in-angles packed --in-layout 1 --out-layout 1",
          input);
  EXPECT_EQ(r200.status, 0) << r200.err;
  EXPECT_EQ(r200.out, "P1; N-37-II\r\n\r\nP2; O-37-XXXII\r\nP3; XIV\r\n");
  const Result r100 = Run("sheets --scale 100 --from 10 --in-angles packed --in-layout 1", input);
  EXPECT_EQ(r100.status, 0) << r100.err;
  EXPECT_EQ(r100.out, "N-37-4\r\n\r\nO-37-136\r\n64\r\n");
}

TEST_F(CliTasks, SheetsOfNamedLinesReadWithoutNamesSaySo) {
  const Result r = Run("sheets --scale 100 --from WGS-84", "P1 55°45'12.5\" 37°36'56\" 150\r\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--in-layout name"), std::string::npos) << r.err;
}

TEST_F(CliTasks, SheetsOfAPlaneListGoThroughTheConversion) {
  // About 53°50' N, 35°15' E in "42(zone6)": far from every sheet edge.
  const Result r = Run("sheets --scale 200 --from '42(zone6)'", "5969818.6 6648125.2 0");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "N-36-XXIV\r\n");
}

TEST_F(CliTasks, OwnSystemGivenAsOptionsEqualsTheCatalogueZone) {
  const std::string point = "5969818.6 6648125.2 0";
  const Result zone = Run("sheets --scale 100 --from 8", point);
  const Result own =
      Run("sheets --scale 100 --from own --own-name Z6 --own-type UTM-42 --own-meridian 33:00:00.0 "
          "--own-false-east 500000 --own-false-north 0",
          point);
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_EQ(own.out, zone.out);
  EXPECT_EQ(own.out, "N-36-83\r\n");
}

TEST_F(CliTasks, OwnSystemValuesAreCheckedAsTheDialogChecksThem) {
  struct Case {
    const char* why;
    std::string options;
    std::string message;
  };
  for (const Case& c : {
           Case{"lone minus", "--own-false-east -", "«False East.» не число: «-»"},
           Case{"two separators", "--own-false-north 1.2.3", "«False North.» не число: «1.2.3»"},
           Case{"letter in the degrees", "--own-meridian 3x:00", "degrees"},
           Case{"eleven characters", "--own-name ABCDEFGHIJK", "at most 10 characters"},
       }) {
    const Result r = Run("sheets --scale 200 --from own " + c.options, "1 2");
    EXPECT_EQ(r.status, 2) << c.why;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.why << ": " << r.err;
  }
  // Minutes above 59 are accepted with the dialog's warning.
  const Result r = Run("sheets --scale 200 --from own --own-meridian 33:75", "");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Значение больше 59"), std::string::npos);
}

TEST_F(CliTasks, SheetsStopWhenTheRunsQuestionIsAnsweredNo) {
  // "63 (C3)" with a Y prefixed for zone 6 asks the zone question.
  const std::string point = "6200000 6600000 0";
  const Result no = Run("sheets --scale 200 --from '63 (C3)'", point);
  EXPECT_EQ(no.status, 3);
  EXPECT_EQ(no.out, "");  // the run wrote nothing
  EXPECT_NE(no.err.find("Надо 'UTM-33'."), std::string::npos) << no.err;
  const Result yes = Run("sheets --scale 200 --from '63 (C3)' --yes", point);
  EXPECT_EQ(yes.status, 0) << yes.err;
}

}  // namespace
