// Waypoint files written by korvagrid-cli, read back by an independent
// OziExplorer reader (GPSBabel): names and coordinates must survive.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/peer_programs.h"

namespace {

namespace fs = std::filesystem;
using korvagrid::testing::CaptureOutput;
using korvagrid::testing::ProgramInstalled;

const fs::path kCli = fs::path(KORVAGRID_BINARY_DIR) / "app" / "cli" / "korvagrid-cli";

struct Waypoint {
  std::string name;
  double latitude = 0;
  double longitude = 0;
};

std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.push_back(field);
      field.clear();
    } else if (c != '\r') {
      field += c;
    }
  }
  fields.push_back(field);
  return fields;
}

// GPSBabel's reading of a waypoint file, as WGS-84 decimal degrees.
std::vector<Waypoint> ReadWithGpsBabel(const fs::path& file) {
  const std::string csv =
      CaptureOutput("gpsbabel -i ozi,codec=windows-1251 -f '" + file.string() + "' -o unicsv -F - 2>&1");
  std::vector<Waypoint> points;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);  // header: No,Latitude,Longitude,Name,...
  while (std::getline(lines, line)) {
    const auto f = SplitCsv(line);
    if (f.size() < 4) continue;
    points.push_back({f[3], std::stod(f[1]), std::stod(f[2])});
  }
  return points;
}

class GpsBabel : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
    if (!ProgramInstalled("gpsbabel")) {
      GTEST_SKIP() << "gpsbabel is not installed: the independent waypoint reader check is SKIPPED";
    }
    dir_ = fs::temp_directory_path() / ("korvagrid-gpsbabel-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    // Named points in degree-minute-second text: Cyrillic, a comma, blank lines.
    std::ofstream(dir_ / "list.txt", std::ios::binary)
        << "Пункт1 55°45'12.3456\" 37°36'56.789\" 150.2\r\n"
           "\r\n"
           "A,B 55°44'58.12\" 37°37'10.455\" 148.9\r\n"
           "\r\n"
           "\r\n"
           "Ёлка 56°10'03.9\" 38°05'44.12\" 151.0\r\n";
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
  }

  // Converts the list from WGS-84 to `target` with `outAngles` output.
  std::string Convert(const std::string& target, const std::string& outAngles, const fs::path& out) {
    const std::string command = "'" + kCli.string() + "' convert --from WGS-84 --to '" + target +
                                "' --in-layout name --out-layout name --out-angles " + outAngles +
                                " --encoding cp1251 -o '" + out.string() + "' '" + (dir_ / "list.txt").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(out, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
};

const std::vector<std::string> kExpectedNames = {"Пункт1", "A;B", "Ёлка"};

TEST_F(GpsBabel, Wgs84WaypointsReadBackWithNamesAndCoordinates) {
  const fs::path wpt = dir_ / "wgs.wpt";
  Convert("WGS-84", "ozi", wpt);
  Convert("WGS-84", "decimal", dir_ / "wgs.txt");
  const auto points = ReadWithGpsBabel(wpt);
  ASSERT_EQ(points.size(), kExpectedNames.size());
  // The same conversion in decimal degrees, written by the result lines.
  std::ifstream decimals(dir_ / "wgs.txt", std::ios::binary);
  std::vector<std::pair<double, double>> expected;
  std::string line;
  while (std::getline(decimals, line)) {
    double b = 0, l = 0;
    char name[64];
    if (std::sscanf(line.c_str(), "%63s %lf %lf", name, &b, &l) == 3) expected.emplace_back(b, l);
  }
  ASSERT_EQ(expected.size(), points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(points[i].name, kExpectedNames[i]);
    // The waypoint file has six decimals, the result list seven.
    EXPECT_NEAR(points[i].latitude, expected[i].first, 1e-6) << points[i].name;
    EXPECT_NEAR(points[i].longitude, expected[i].second, 1e-6) << points[i].name;
  }
}

TEST_F(GpsBabel, KrasovskyWaypointsDeclarePulkovo1942) {
  const fs::path wpt = dir_ / "kras.wpt";
  Convert("BLH(Kras)", "ozi", wpt);
  const auto pulkovo = ReadWithGpsBabel(wpt);
  const fs::path wgs = dir_ / "wgs.wpt";
  Convert("WGS-84", "ozi", wgs);
  const auto own = ReadWithGpsBabel(wgs);
  ASSERT_EQ(pulkovo.size(), kExpectedNames.size());
  ASSERT_EQ(own.size(), kExpectedNames.size());
  for (std::size_t i = 0; i < pulkovo.size(); ++i) {
    EXPECT_EQ(pulkovo[i].name, kExpectedNames[i]);
    // GPSBabel shifts Pulkovo 1942 to WGS-84 with its own parameters; the two
    // datum shifts differ by a few metres, far below the 100 m a wrong datum
    // line would put the points off.
    const double north = (pulkovo[i].latitude - own[i].latitude) * 111200;
    const double east = (pulkovo[i].longitude - own[i].longitude) * 111200 * std::cos(own[i].latitude / 57.29578);
    EXPECT_LT(std::hypot(north, east), 15.0) << pulkovo[i].name;
  }
}

}  // namespace
