// korvagrid-cli run as a process: output bytes, files, encodings and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/cli_runner.h"

namespace {

namespace fs = std::filesystem;
using korvagrid::testing::kExamplesPath;

const fs::path kExamples = kExamplesPath;

using Cli = korvagrid::testing::CliRunner;

TEST_F(Cli, OverviewExampleZone6ToWgs84InDms) {
  const Result r = Run("convert --from '42(zone6)' --to wgs-84 '" + (kExamples / "zone6.txt").string() + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  // Six input lines ended by CR LF: six result lines ended by CR LF.
  EXPECT_EQ(r.out.substr(0, r.out.find("\r\n")), "55°54'42.17865\t34°35'50.12552\t165.814 ");
  EXPECT_TRUE(r.out.ends_with(" \r\n"));
  EXPECT_FALSE(r.out.ends_with("\r\n\r\n"));
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 6);
}

TEST_F(Cli, SystemsAreNamedByTextIndexOrOwn) {
  const std::string point = "6200000 6600000 150";
  const Result byText = Run("convert --from ' 42(ZONE6) ' --to 'blh(kras)'", point);
  const Result byIndex = Run("convert --from 8 --to 10", point);
  EXPECT_EQ(byText.status, 0) << byText.err;
  EXPECT_EQ(byText.out, byIndex.out);
  EXPECT_EQ(byText.out, "55°54'42.24737\t34°35'56.96770\t150.000 \r\n");
  EXPECT_EQ(Run("convert --from own --to '47(1)'", "6210000 345678 1").status, 0);
}

TEST_F(Cli, ExitStatuses) {
  struct Case {
    const char* why;
    std::string arguments;
    std::string input;
    int status;
    const char* onStderr;
  };
  const std::vector<Case> cases = {
      {"the run reaches the end", "convert --from 1 --to 1", "6210000 345678 1", 0, ""},
      {"a line that is not a number stops the run", "convert --from 1 --to 1",
       "6210000 345678 1\n1.2.3 4 5\n", 1, "строке 2"},
      {"a question answered No", "convert --from 1 --to 1", "310000 345678 1", 3, "мало знаков"},
      {"--yes answers the question", "convert --from 1 --to 1 --yes", "310000 345678 1", 0, ""},
      {"an unknown system", "convert --from nowhere --to 1", "", 2, "unknown system"},
      {"short plane input is not offered for M64", "convert --from M64 --to 1 --in-plane short", "", 2,
       "not available"},
      {"a missing input file", "convert --from 1 --to 1 /nonexistent/list.txt", "", 2, "cannot read"},
      {"an unknown option value", "convert --from 1 --to 1 --out-angles radians", "", 2, ""},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.arguments, c.input);
    EXPECT_EQ(r.status, c.status) << c.why << "\n" << r.err;
    EXPECT_NE(r.err.find(c.onStderr), std::string::npos) << c.why << "\n" << r.err;
  }
}

TEST_F(Cli, StoppedRunStillWritesWhatWasConverted) {
  const Result r = Run("convert --from 1 --to 1", "6210000 345678 1\r\n1.2.3 4 5\r\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "6210000.000\t345678.000 \t1.000 \r\n");
}

TEST_F(Cli, OutputFileAndCp1251) {
  const fs::path out = dir_ / "result.txt";
  Write(out, "previous");
  const Result r = Run("convert --from 1 --to 1 --in-layout name --out-layout name --encoding cp1251 -o '" +
                           out.string() + "'",
                       "Пункт1 6210000 345678 1");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  // "Пункт1" in the Cyrillic code page.
  EXPECT_EQ(Read(out), "\xCF\xF3\xED\xEA\xF2" "1\t6210000.000\t345678.000 \t1.000 \r\n");
  // Nothing is left beside the file.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 4);  // stdin, stdout, stderr, result.txt
}

TEST_F(Cli, Cp1251InputIsRecognised) {
  const Result r = Run("convert --from 1 --to 1 --in-layout 1 --out-layout 1", "\xCF\xF3\xED\xEA\xF2" "1 6210000 345678 1");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Пункт1\t6210000.000\t345678.000 \t1.000 \r\n");
}

TEST_F(Cli, DecimalCommaOutput) {
  const Result r = Run("convert --from 1 --to 1 --decimal-comma", "6210000.5 345678,25 1");
  EXPECT_EQ(r.out, "6210000,500\t345678,250 \t1,000 \r\n");
}

TEST_F(Cli, ReceiverReportsAndDmsLists) {
  struct Case {
    const char* why;
    std::string arguments;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"an Ashtech report: one result line per four-line record",
       "convert --from WGS-84 --to WGS-84 --in-angles ashtech --out-layout name '" +
           (kExamples / "ashtech_report.txt").string() + "'",
       "0001\t55°45'12.34567\t37°36'56.78901\t150.123 \r\n"
       "0002\t55°44'58.12003\t37°37'10.45512\t148.870 \r\n"},
      {"a Trimble report: the number after each seconds value is dropped",
       "convert --from WGS-84 --to WGS-84 --in-angles trimble --out-layout name '" +
           (kExamples / "trimble_report.txt").string() + "'",
       "T1\t55°45'12.34560\t37°36'56.78900\t150.200 \r\n"
       "T2\t55°44'58.12000\t37°37'10.45500\t148.900 \r\n"},
      {"a WGS-84 dms list to SK-42 latitude and longitude",
       "convert --from WGS-84 --to 'BLH(Kras)' --in-layout name --out-layout name '" +
           (kExamples / "wgs84_dms.txt").string() + "'",
       ""},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.arguments);
    EXPECT_EQ(r.status, 0) << c.why << "\n" << r.err;
    if (!c.expected.empty()) {
      EXPECT_EQ(r.out, c.expected) << c.why;
    }
    EXPECT_FALSE(r.out.empty()) << c.why;
  }
}

TEST_F(Cli, WaypointPlacementsFollowTheSeed) {
  const std::string list = "55.45 37.37 1\n55.46 37.38 1\n55.47 37.39 1\n55.48 37.40 1\n";
  const std::string arguments =
      "convert --from 'BLH(Kras)' --to WGS-84 --in-angles packed --out-angles ozi --ozi-placement 7 "
      "--ozi-font-size ' 12' --ozi-colour 255 --seed ";
  const Result a = Run(arguments + "5", list);
  const Result b = Run(arguments + "5", list);
  EXPECT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out, b.out) << "the same seed gives the same placements";
  EXPECT_NE(a.out.find(",     255,"), std::string::npos) << a.out;
  EXPECT_NE(a.out.find(",   -777,  12, 0,17"), std::string::npos) << a.out;
}

TEST_F(Cli, OwnSystemFromOptions) {
  // An own system on the meridian of 63 (C3) is an identity with it.
  const Result same = Run("convert --from own --to 1 --own-name Local-1 --own-meridian 30:57:00", "6210000 345678 1");
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "6210000.000\t345678.000 \t1.000 \r\n");
  // The default own system (32°27') is not.
  const Result other = Run("convert --from own --to 1", "6210000 345678 1");
  EXPECT_NE(other.out, same.out);
  // Values the dialog would refuse are usage errors.
  EXPECT_EQ(Run("convert --from own --to 1 --own-false-east -", "6210000 345678 1").status, 2);
  EXPECT_EQ(Run("convert --from own --to 1 --own-type UTM-43", "6210000 345678 1").status, 2);
}

TEST_F(Cli, ExtraLines) {
  const Result r = Run("convert --from 1 --to 1 --extra-lines 2", "6210000 345678 1");
  EXPECT_EQ(r.out, "6210000.000\t345678.000 \t1.000 \r\n\r\n\r\n");
}

}  // namespace

namespace {

using Cli = korvagrid::testing::CliRunner;

constexpr const char* kR1 = "6210000.000\t345678.000 \t1.000 ";
constexpr const char* kR2 = "6210000.000\t345678.000 \t2.000 ";

std::string Lines(const std::string& a, const std::string& b, const std::string& end) {
  return a + end + b + end;
}

// One result line for each input line, ended as the input's first line is.
TEST_F(Cli, OutputLinesFollowTheInputLines) {
  struct Case {
    const char* why;
    std::string options;
    std::string input;
    std::string out;
  };
  const std::string p1 = "6210000 345678 1";
  const std::string p2 = "6210000 345678 2";
  const std::vector<Case> cases = {
      {"LF in, LF out", "", p1 + "\n" + p2 + "\n", Lines(kR1, kR2, "\n")},
      {"CR LF in, CR LF out", "", p1 + "\r\n" + p2 + "\r\n", Lines(kR1, kR2, "\r\n")},
      {"the last line without a line end is ended", "", p1 + "\n" + p2, Lines(kR1, kR2, "\n")},
      {"a blank line keeps its place", "", p1 + "\n\n" + p2 + "\n",
       std::string(kR1) + "\n\n" + kR2 + "\n"},
      {"--eol crlf", "--eol crlf", p1 + "\n" + p2 + "\n", Lines(kR1, kR2, "\r\n")},
      {"--eol lf", "--eol lf", p1 + "\r\n" + p2 + "\r\n", Lines(kR1, kR2, "\n")},
      {"extra lines follow each result", "--extra-lines 1", p1 + "\n" + p2 + "\n",
       std::string(kR1) + "\n\n" + kR2 + "\n\n"},
      {"an empty input gives no line", "", "", ""},
      {"a leading TAB is read as Open reads it", "--in-layout name --out-layout name",
       "\tP1\t6210000\t345678\t1\n", "P1\t" + std::string(kR1) + "\n"},
      {"a Unicode minus is a sign", "", "6210000 \xE2\x88\x92" "345678 1\n",
       "6210000.000\t-345678.000 \t1.000 \n"},
  };
  for (const Case& c : cases) {
    const Result r = Run("convert --from 1 --to 1 " + c.options, c.input);
    EXPECT_EQ(r.status, 0) << c.why << "\n" << r.err;
    EXPECT_EQ(r.out, c.out) << c.why;
  }
}

TEST_F(Cli, WaypointFilesKeepCrLfAndRepairAnEmptyFontSize) {
  const Result r = Run(
      "convert --from 'BLH(Kras)' --to WGS-84 --in-angles packed --out-angles ozi --ozi-font-size ''",
      "55.45 37.37 1\n55.46 37.38 1\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 6);  // header and two waypoints
  EXPECT_EQ(r.out.find("\n"), r.out.find("\r\n") + 1);
  EXPECT_TRUE(r.out.ends_with(",   -777,   8, 0,17\r\n")) << r.out;
}

// Failures say what went wrong and what to do.
TEST_F(Cli, MessagesNameTheLineThePartAndTheOptions) {
  struct Case {
    const char* why;
    std::string arguments;
    std::string input;
    int status;
    std::vector<std::string> onStderr;
  };
  const std::string kras = "convert --from WGS-84 --to 'BLH(Kras)' ";
  const std::vector<Case> cases = {
      {"decimal degrees read as degree-minute-second text", kras, "55.7512 37.6167 150\n", 1,
       {"line 1", "широта, градусы", "55.7512", "--in-angles decimal"}},
      {"no receiver record in an Ashtech run", kras + "--in-angles ashtech", "P1 55.45 37.37\n", 1,
       {"no point could be read", "Ashtech report records"}},
      {"no point in a plane list", "convert --from 1 --to 1", "X Y H\n", 1,
       {"no point could be read", "X Y H"}},
      {"Trimble reports need a geographic source", "convert --from 1 --to 1 --in-angles trimble", "",
       2, {"geographic --from"}},
      {"a southern latitude", kras, "55°45'12\" S 37°36'56\" E 150\n", 1, {"строке 1", "южная широта"}},
      {"a western longitude in decimal degrees", kras + "--in-angles decimal", "55.75 N 37.6 W 150\n",
       1, {"западная долгота"}},
      {"the own-system dialog's warning", "convert --from own --to 1 --own-meridian 30:75:00",
       "6210000 345678 1\n", 0, {"warning: Значение больше 59"}},
      {"named dms lines read without names", kras, "P1 55°45'12.5\" 37°36'56\" 150\n", 1,
       {"line 1", "--in-layout name"}},
      {"named plane lines: the question answered No", "convert --from 1 --to 1",
       "Пункт12 6205311.420 345678.118 154.220\n", 3, {"answer No", "unless --yes", "--in-layout name"}},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.arguments, c.input);
    EXPECT_EQ(r.status, c.status) << c.why << "\n" << r.err;
    for (const std::string& piece : c.onStderr) {
      EXPECT_NE(r.err.find(piece), std::string::npos) << c.why << ": " << piece << "\n" << r.err;
    }
  }
  // Lines without names are not told to need them.
  const Result plain = Run(kras, "55.7512 37.6167 150\n");
  EXPECT_EQ(plain.err.find("--in-layout name"), std::string::npos) << plain.err;
}

TEST_F(Cli, VersionAndTheSystemsTable) {
  const Result version = Run("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.starts_with("korvagrid-cli ")) << version.out;
  const Result systems = Run("systems");
  EXPECT_TRUE(systems.out.starts_with("index\tname\tkind\tcentral meridian\t")) << systems.out;
  EXPECT_NE(systems.out.find("\n8\t42(zone6)\tgauss-kruger\t33°00′00″\t500000.0\t0.0\t0\n"),
            std::string::npos)
      << systems.out;
  EXPECT_NE(systems.out.find("\n3\tM64\tlocal-plane\t30°00′00″\t95942.17\t6552810.0\t0\n"),
            std::string::npos)
      << systems.out;
}

}  // namespace

namespace {

using Cli = korvagrid::testing::CliRunner;

// The datum-shift sets and heights modes reach the conversion; the systems'
// definitions name the EPSG systems and the chosen set.
TEST_F(Cli, DatumShiftSetsHeightsAndDefinitions) {
  const std::string point = "6200000 6600000 150\n";
  const std::string convert = "convert --from '42(zone6)' --to WGS-84 --out-angles decimal ";
  const Result classic = Run(convert, point);
  const Result gost = Run(convert + "--shift gost2008", point);
  const Result kept = Run(convert + "--shift gost2008 --heights keep", point);
  ASSERT_EQ(classic.status, 0) << classic.err;
  EXPECT_NE(gost.out, classic.out) << "the set takes part";
  EXPECT_TRUE(kept.out.ends_with("\t150.000 \n")) << kept.out;
  EXPECT_EQ(kept.out.substr(0, 20), gost.out.substr(0, 20)) << "keeping heights moves no point";
  EXPECT_EQ(Run(convert + "--shift wgs72", point).status, 2);

  const Result proj = Run("systems --proj --shift gost2001 --own-meridian 31:30");
  ASSERT_EQ(proj.status, 0) << proj.err;
  const struct {
    const char* line;
    const char* why;
  } rows[] = {
      {"\n8\t42(zone6)\tstandard\tEPSG:2496\t", "zone 6 written without its prefix"},
      {"\n8\t42(zone6)\tfull (Y with its zone prefix)\tEPSG:28406\t", "zone 6 with its prefix"},
      {"\n10\tBLH(Kras)\tlatitude longitude\tEPSG:4284\t", "Krasovsky latitude and longitude"},
      {"\n11\tWGS-84\tlatitude longitude\tEPSG:4326\t", "WGS-84"},
      {"+towgs84=23.92,-141.27,-80.9,0,0.35,0.82,-0.12", "the chosen set, position-vector signs"},
      {"\nown\t63(C 3.5)\tstandard\t-\t+proj=tmerc +lat_0=0 +lon_0=31.5 ", "the own system of the options"},
  };
  for (const auto& row : rows) EXPECT_NE(proj.out.find(row.line), std::string::npos) << row.why;
  const Result wkt = Run("systems --wkt --shift gost2008");
  EXPECT_EQ(wkt.status, 0) << wkt.err;
  EXPECT_NE(wkt.out.find("ID[\"EPSG\",28406]"), std::string::npos);
  EXPECT_NE(wkt.out.find("ID[\"EPSG\",5044]"), std::string::npos);
}

}  // namespace
