// korvagrid-cli map run as a process: the SVG names the sheets the sheet task
// names for the same points and the points themselves, failed and doubtful
// lines are reported while the map is still drawn, the picture has the size
// asked for in each format, and usage errors.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"

namespace {

namespace fs = std::filesystem;
using CliMap = korvagrid::testing::CliRunner;

// Named Krasovsky points in packed degrees within 45' by 1°, near enough
// for the names of their 1:100 000 sheets to be shown on the fitted map:
// each on a sheet of its own at 1:100 000, the first two on the same
// 1:200 000 sheet.
const std::string kNamedList =
    "Берёза 55.45 37.37 0\r\nP2 55.5 37.1 0\r\n\r\nP3 56.05 38.1 0\r\nP4 55.25 37.55 0\r\n";
const std::string kFrom = "--from 'BLH(Kras)' --in-angles packed --in-layout name";

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

TEST_F(CliMap, SvgNamesTheSheetsOfTheSheetTaskAndThePoints) {
  for (const char* scale : {"200", "100"}) {
    SCOPED_TRACE(scale);
    const std::string svg = (dir_ / "map.svg").string();
    const Result map = Run("map " + kFrom + " --scale " + scale + " -o '" + svg + "'", kNamedList);
    ASSERT_EQ(map.status, 0) << map.err;
    const std::string text = Read(svg);
    const Result sheets = Run("sheets " + kFrom + " --scale " + std::string(scale), kNamedList);
    ASSERT_EQ(sheets.status, 0) << sheets.err;
    const std::vector<std::string> names = LinesOf(sheets.out);
    ASSERT_EQ(names.size(), 4u);
    for (const std::string& sheet : names) {
      EXPECT_NE(text.find(">" + sheet + "</text>"), std::string::npos) << sheet;
    }
    for (const char* point : {"Берёза", "P2", "P3", "P4"}) {
      EXPECT_NE(text.find(std::string(">") + point + "</text>"), std::string::npos) << point;
    }
  }
}

TEST_F(CliMap, FailedAndDoubtfulLinesAreReportedAndTheRestDrawn) {
  // "42(zone6)": a point at 33° E, an overflowing Y, a point at 37°30' E
  // (beyond zone 6 and its overlap), and a Y with zone 5's prefix.
  const std::string list =
      "6097337.192 6500000.000\n6100000 3000000000\n6106605.550 6787877.046\n6100000 5600000\n";
  const std::string png = (dir_ / "map.png").string();
  const Result r = Run("map --from '42(zone6)' -o '" + png + "'", list);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("map: line 2: переполнение"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("map: warning: line 3: долгота 37°30' вне зоны 6"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("map: warning: line 4: Ошибка в выборе исходной системы"), std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("line 1:"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(png));
}

TEST_F(CliMap, EachFormatIsWrittenAtTheSizeAskedFor) {
  const std::string base = "map " + kFrom + " --width 640 --height 400 -o ";
  const Result png = Run(base + "'" + (dir_ / "a.PNG").string() + "'", kNamedList);
  ASSERT_EQ(png.status, 0) << png.err;
  // The PNG header's width and height, big-endian at bytes 16 and 20.
  const std::string bytes = Read(dir_ / "a.PNG");
  ASSERT_GT(bytes.size(), 24u);
  const auto word = [&bytes](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
  };
  EXPECT_EQ(word(16), 640u);
  EXPECT_EQ(word(20), 400u);
  const Result pdf = Run(base + "'" + (dir_ / "a.pdf").string() + "'", kNamedList);
  ASSERT_EQ(pdf.status, 0) << pdf.err;
  EXPECT_EQ(Read(dir_ / "a.pdf").substr(0, 5), "%PDF-");
  EXPECT_NE(Read(dir_ / "a.pdf").find("/MediaBox [0 0 640.000000 400.000000]"), std::string::npos);
}

TEST_F(CliMap, UsageErrorsAndListsWithoutPoints) {
  struct Case {
    const char* why;
    std::string arguments;
    std::string input;
    int status;
    const char* message;
  };
  const std::string svg = "'" + (dir_ / "m.svg").string() + "'";
  const std::vector<Case> cases = {
      {"no output file", "map " + kFrom, kNamedList, 2, "--output is required"},
      {"an extension that is no map format",
       "map " + kFrom + " -o '" + (dir_ / "m.bmp").string() + "'", kNamedList, 2,
       "written as .png, .svg or .pdf"},
      {"a scale the sheet task has not", "map " + kFrom + " --scale 50 -o " + svg, kNamedList, 2,
       "--scale"},
      {"a picture too small", "map " + kFrom + " --width 8 -o " + svg, kNamedList, 2, "--width"},
      {"no source system", "map -o " + svg, kNamedList, 2, "--from is required"},
      {"an input that cannot be read",
       "map " + kFrom + " -o " + svg + " '" + (dir_ / "missing.txt").string() + "'", "", 2,
       "cannot read"},
      {"no line holds a point: nothing to fit", "map " + kFrom + " -o " + svg, "a\r\nb\r\n", 1,
       "no point could be read"},
      {"named lines read without names", "map --from WGS-84 -o " + svg,
       "P1 55°45'12.5\" 37°36'56\" 150\r\n", 1, "--in-layout name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const Result r = Run(c.arguments, c.input);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "m.svg"));
  }
}

}  // namespace
