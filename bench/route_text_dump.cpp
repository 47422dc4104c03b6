// route_text_dump: the result text of every route of the conversion run for a
// fixed set of random points, to compare the text before and after a change
// of the numerical code (bench/route_text_check.py classifies the differences).
//
//   route_text_dump DIR [POINTS]      (default 100000 points per case)
//
// For each case (a source and target system of the catalogue, one input
// notation, every output notation of the target) it generates POINTS points
// from a fixed seed over latitudes 42°-62° and the area of the source system,
// converts them with the conversion run exactly as the window does and writes
//   DIR/<case>.<output>.txt   the run's result text, one line per point
//   DIR/<case>.raw            the unrounded route results behind each line:
//                             x y h (%.17g), plane metres or packed degrees
// The unrounded values are those the run itself hands on beside its text
// (its PointSink), so they are the numbers behind that text.
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/catalogue.h"
#include "conversion/result_line.h"
#include "conversion/routes.h"
#include "conversion/run.h"
#include "ui/format_menu.h"
#include "formats/radstr1.h"
#include "formats/read_str.h"
#include "formats/reports.h"
#include "ui/form1.h"
#include "interaction/platform.h"

namespace korvagrid {
namespace {

class SilentPlatform final : public Platform {
 public:
  Answer askYesNo(std::string_view, std::string_view) override {
    ++questions;
    return Answer::Yes;
  }
  Answer askYesNoCancel(std::string_view, std::string_view) override { return Answer::Cancel; }
  void warn(std::string_view, std::string_view) override { ++warnings; }
  void beep() override {}
  std::optional<ChosenFile> chooseOpenFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<ChosenFile> chooseSaveFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::int32_t> chooseColour(std::int32_t) override { return std::nullopt; }
  DialogEnd showOwnSystemDialog(MySistModel&) override { return DialogEnd::Ok; }
  DialogEnd showWaypointDialog(FmOziModel&) override { return DialogEnd::Ok; }
  void showHelp(FrmHelpModel&) override {}
  int questions = 0;
  int warnings = 0;
};

// Catalogue indices.
constexpr int k63C3 = 1, k63C4 = 2, kM64 = 3, k63P1 = 4, k63P2 = 5;
constexpr int kZone5 = 7, kZone6 = 8, kZone7 = 9, kBlh = 10, kWgs = 11;
constexpr int k47n2 = 13, k53n2 = 16, k53n3 = 17;

struct Case {
  const char* name;
  int source;
  int target;
  FormatItem inputAngles;          // geographic sources only
  double lonFrom, lonTo;           // degrees, geographic sources only
  std::vector<FormatItem> outputs; // output angle items or output plane items
};

const std::vector<FormatItem> kAllAngles{FormatItem::mnuGGG, FormatItem::mnugms1_, FormatItem::mnugms2_,
                                         FormatItem::fOzi};
const std::vector<FormatItem> kPlaneStyles{FormatItem::StandEnd, FormatItem::MaxEnd};
const std::vector<FormatItem> kStandard{FormatItem::StandEnd};

// Every route of conversion/routes.h, the plane-to-plane and zone routes with
// more than one pair of systems.
std::vector<Case> Cases() {
  using enum FormatItem;
  return {
      {"identity_wgs_wgs", kWgs, kWgs, mnugms2, 24, 45, kAllAngles},
      {"identity_zone6_zone6", kZone6, kZone6, mnugms2, 0, 0, kPlaneStyles},
      {"plane_63c3_63p1", k63C3, k63P1, mnugms2, 0, 0, kStandard},
      {"plane_zone6_zone7", kZone6, kZone7, mnugms2, 0, 0, kPlaneStyles},
      {"plane_47n2_53n2", k47n2, k53n2, mnugms2, 0, 0, kStandard},
      {"plane_m64_zone6", kM64, kZone6, mnugms2, 0, 0, kPlaneStyles},
      {"local_63c3_blh", k63C3, kBlh, mnugms2, 0, 0, kAllAngles},
      {"zone_zone6_wgs", kZone6, kWgs, mnugms2, 0, 0, kAllAngles},
      {"zone_zone5_blh", kZone5, kBlh, mnugms2, 0, 0, kAllAngles},
      {"localwgs_63p2_wgs", k63P2, kWgs, mnugms2, 0, 0, kAllAngles},
      {"geozone_wgs_zone7_decimal", kWgs, kZone7, mnuGGG_0, 24, 42, kPlaneStyles},
      {"geozone_blh_zone6_packed", kBlh, kZone6, mnugms1, 24, 42, kStandard},
      {"kraswgs_blh_wgs_packed", kBlh, kWgs, mnugms1, 24, 45, kAllAngles},
      {"kraswgs_blh_wgs_decimal", kBlh, kWgs, mnuGGG_0, 24, 45, {mnugms2_}},
      {"wgskras_wgs_blh_dms", kWgs, kBlh, mnugms2, 24, 45, kAllAngles},
      {"geolocal_wgs_63c4_dms", kWgs, k63C4, mnugms2, 30.9, 36.9, kStandard},
      {"geolocal_blh_53n3_decimal", kBlh, k53n3, mnuGGG_0, 32.5, 38.5, kStandard},
  };
}

std::string_view ItemName(FormatItem item) { return InfoOf(item).name; }

// Uniform integer in [lo, hi].
std::int64_t Uniform(std::mt19937_64& rng, std::int64_t lo, std::int64_t hi) {
  return lo + static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(hi - lo + 1));
}

std::string Millimetres(std::int64_t mm) {
  char text[48];
  const char* sign = mm < 0 ? "-" : "";
  const std::int64_t a = std::llabs(mm);
  std::snprintf(text, sizeof text, "%s%" PRId64 ".%03" PRId64, sign, a / 1000, a % 1000);
  return text;
}

// A plane point of `system`: latitude 42°-62°, up to 3° from its meridian
// (inside its false easting), as "X Y H" in the system's written form.
std::string PlaneLine(std::mt19937_64& rng, const CoordinateSystem& system) {
  constexpr double kPi = 3.14159265358979323846;
  const double b = (42 + 20 * static_cast<double>(Uniform(rng, 0, 1000000)) / 1e6) * kPi / 180;
  const double dl = (-3 + 6 * static_cast<double>(Uniform(rng, 0, 1000000)) / 1e6) * kPi / 180;
  // Meridian arc and prime-vertical radius of the Krasovsky ellipsoid, close
  // enough to place the point.
  const double arc = 6367558.4969 * b - 16036.48 * std::sin(2 * b);
  const double n = 6378245.0 / std::sqrt(1 - 0.0066934216 * std::sin(b) * std::sin(b));
  double easting = n * std::cos(b) * dl;
  const double limit = system.falseEast - 1000;
  if (system.falseEast > 0 && std::fabs(easting) > limit) easting = std::copysign(limit, easting);
  const auto x = static_cast<std::int64_t>(std::llround((arc - system.falseNorth - system.xOffset) * 1000));
  const auto y = static_cast<std::int64_t>(
      std::llround((easting + system.falseEast + system.zone * 1000000.0) * 1000));
  const std::int64_t h = Uniform(rng, -50000, 2500000);
  return Millimetres(x) + " " + Millimetres(y) + " " + Millimetres(h);
}

// An angle of `degrees` .. written in `notation` from whole 1e-5 arc seconds.
std::string AngleText(std::int64_t units, FormatItem notation) {
  const std::int64_t perSecond = 100000;
  const std::int64_t d = units / (3600 * perSecond);
  const std::int64_t m = units / (60 * perSecond) % 60;
  const std::int64_t s = units % (60 * perSecond);
  char text[64];
  switch (notation) {
    case FormatItem::mnuGGG_0:
      std::snprintf(text, sizeof text, "%.10f", static_cast<double>(units) / (3600.0 * perSecond));
      break;
    case FormatItem::mnugms1:  // packed: dd.mmss + five decimals of seconds
      std::snprintf(text, sizeof text, "%" PRId64 ".%02" PRId64 "%07" PRId64, d, m, s);
      break;
    default:  // dms
      std::snprintf(text, sizeof text, "%" PRId64 "\xC2\xB0%02" PRId64 "'%02" PRId64 ".%05" PRId64 "\"", d, m,
                    s / perSecond, s % perSecond);
      break;
  }
  return text;
}

std::string GeographicLine(std::mt19937_64& rng, const Case& c) {
  const std::int64_t perDegree = 3600 * 100000LL;
  const std::int64_t b = Uniform(rng, 42 * perDegree, 62 * perDegree);
  const std::int64_t l = Uniform(rng, static_cast<std::int64_t>(c.lonFrom * perDegree),
                                 static_cast<std::int64_t>(c.lonTo * perDegree));
  const std::int64_t h = Uniform(rng, -50000, 2500000);
  return AngleText(b, c.inputAngles) + " " + AngleText(l, c.inputAngles) + " " + Millimetres(h);
}

// The run's settings for a case, set up as a user sets the window.
ConversionSettings SettingsFor(const Case& c, FormatItem output, SilentPlatform& platform) {
  Form1 form(platform);
  form.load('.');
  if (c.source == kBlh || c.source == kWgs) form.formatItemClick(c.inputAngles);
  form.selectCombo1(c.source);
  form.selectCombo2(c.target);
  form.formatItemClick(output);
  return form.settings();
}

// The unrounded values the run writes, as it hands them on beside its text.
class CollectPoints final : public PointSink {
 public:
  void add(RunPoint point) override { points.push_back({point.first, point.second, point.height}); }
  std::vector<RouteOutput> points;
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (true) {
    const std::size_t end = text.find("\r\n", from);
    lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
    if (end == std::string::npos) break;
    from = end + 2;
  }
  return lines;
}

int DumpCase(const Case& c, int points, const std::filesystem::path& dir, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  const CoordinateSystem source = FixedSystems()[static_cast<std::size_t>(c.source)];
  std::vector<std::string> inputs;
  inputs.reserve(static_cast<std::size_t>(points));
  std::string list;
  for (int i = 0; i < points; ++i) {
    inputs.push_back(source.kind == SystemKind::Geographic ? GeographicLine(rng, c) : PlaneLine(rng, source));
    list += inputs.back();
    list += "\r\n";
  }

  std::vector<RouteOutput> raw;
  bool rawWritten = false;
  for (const FormatItem output : c.outputs) {
    SilentPlatform platform;
    const ConversionSettings settings = SettingsFor(c, output, platform);
    PlacementRandom random;
    std::string text;
    TextLineSource lines(PrepareRunText(list));
    StringSink sink(text);
    CollectPoints collected;
    const RunOutcome outcome = ConversionRun(lines, sink, settings, platform, random, &collected);
    if (outcome.end != RunEnd::Completed || outcome.points != points) {
      std::cerr << c.name << "." << ItemName(output) << ": run ended at line " << outcome.lineNumber << ": "
                << outcome.reason << '\n';
      return 1;
    }
    std::vector<std::string> resultLines = SplitLines(text);
    // The list ends in a line end: the run answers the empty last line with an empty one.
    while (!resultLines.empty() && resultLines.back().empty()) resultLines.pop_back();
    const std::size_t header = resultLines.size() - static_cast<std::size_t>(points);
    if (raw.empty()) raw = std::move(collected.points);

    std::ofstream out(dir / (std::string(c.name) + "." + std::string(ItemName(output)) + ".txt"), std::ios::binary);
    for (std::size_t i = header; i < resultLines.size(); ++i) out << resultLines[i] << '\n';
    if (!rawWritten) {
      std::ofstream rawOut(dir / (std::string(c.name) + ".raw"), std::ios::binary);
      char buffer[128];
      for (const RouteOutput& r : raw) {
        std::snprintf(buffer, sizeof buffer, "%.17g %.17g %.17g\n", r.x, r.y, r.h);
        rawOut << buffer;
      }
      rawWritten = true;
    }
    std::cout << c.name << "." << ItemName(output) << ": " << points << " points, " << platform.questions
              << " questions answered Yes\n";
  }
  return 0;
}

}  // namespace
}  // namespace korvagrid

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: route_text_dump DIR [POINTS]\n";
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  int points = 100000;
  if (argc == 3) points = std::stoi(argv[2]);
  std::filesystem::create_directories(dir);
  std::uint64_t seed = 20240917;
  for (const korvagrid::Case& c : korvagrid::Cases()) {
    if (korvagrid::DumpCase(c, points, dir, seed++) != 0) return 1;
  }
  return 0;
}
