#include "map_command.h"

#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include "common/error.h"
#include "documents/text_file.h"
#include "cli_extras.h"
#include "map/map_file_format.h"
#include "options.h"
#include "settings_options.h"
#include "tasks/map_points.h"

namespace korvagrid::cli {
namespace {

constexpr const char* kCommand = "korvagrid-cli map: ";

struct MapOptions {
  int scale = 200;
  SettingsOptions settings;
  int width = 1600;
  int height = 1000;
  std::string output;
  std::string input = "-";
};

// The input list as "Open..." puts it into the input box (cp1251 or UTF-8
// detected, CR LF line ends), from standard input for "-". Writes the reason
// to standard error and returns false when it cannot.
bool ReadList(const std::string& input, std::string& text) {
  ReadTextResult read;
  if (input == "-") {
    const std::string bytes(std::istreambuf_iterator<char>(std::cin),
                            std::istreambuf_iterator<char>{});
    read = DecodeTextDocument(bytes);
  } else {
    read = ReadTextDocument(input);
  }
  if (read.status == ReadStatus::Complete) {
    text = std::move(read.text);
    return true;
  }
  std::cerr << kCommand << (read.status == ReadStatus::TooLarge ? "\"" : "cannot read \"") << input
            << "\": " << read.problem << '\n';
  return false;
}

// A reason on one line of standard error.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return text;
}

int RunMap(const MapOptions& o) {
  if (!map::MapFileFormatOf(o.output)) {
    std::cerr << kCommand << "-o \"" << o.output
              << "\": the map is written as .png, .svg or .pdf\n";
    return kExitUsage;
  }
  const std::optional<ConversionSettings> settings = SettingsOrReport(o.settings, "map");
  if (!settings) return kExitUsage;
  std::string text;
  if (!ReadList(o.input, text)) return kExitUsage;

  // The list converted as the sheet task converts it; every point that is
  // not Ok is reported, and the map is drawn with all that could be placed.
  TextLineSource lines(PrepareRunText(text));
  const MapPointList list = MapPointsOfList(lines, *settings);
  bool anyFailed = false;
  bool anyLocated = false;
  for (const MapPoint& p : list.points) {
    anyLocated = anyLocated || p.located();
    if (p.status == MapPointStatus::Ok) continue;
    anyFailed = anyFailed || p.status == MapPointStatus::Failed;
    std::cerr << kCommand << (p.status == MapPointStatus::Failed ? "" : "warning: ") << "line "
              << p.line << ": " << OneLine(p.reason) << '\n';
  }
  const bool noPoint = !anyLocated && list.nonBlankLines > 0;
  if (anyFailed || noPoint) {
    if (const std::string_view hint = NamedLinesHint(*settings, text); !hint.empty()) {
      std::cerr << kCommand << hint << '\n';
    }
  }
  if (noPoint) {
    std::cerr << kCommand << "no point could be read from the input; expected "
              << ExpectedInput(o.settings.inAngles, o.settings.inLayout, *settings) << '\n';
    return kExitFailed;
  }
  try {
    Extras().renderMap(list.points, static_cast<std::int16_t>(o.scale), o.width, o.height, o.output);
  } catch (const KorvagridError& error) {
    std::cerr << kCommand << error.what() << '\n';
    return kExitFailed;
  }
  return anyFailed ? kExitFailed : kExitCompleted;
}

}  // namespace

void AddMapCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<MapOptions>();
  CLI::App* command = app.add_subcommand(
      "map", "Map of the points on the sheet grid, fitted to them, as PNG, SVG or PDF");
  command
      ->add_option("--scale", options->scale,
                   "Finest sheet frames: 200 for 1:200 000, 100 for 1:100 000")
      ->check(CLI::IsMember({200, 100}))
      ->capture_default_str();
  AddSettingsOptions(command, options->settings, {.target = false, .outputFormats = false});
  command->add_option("--width", options->width, "Picture width in pixels")
      ->check(CLI::Range(map::kMinMapPixels, map::kMaxMapPixels))
      ->capture_default_str();
  command->add_option("--height", options->height, "Picture height in pixels")
      ->check(CLI::Range(map::kMinMapPixels, map::kMaxMapPixels))
      ->capture_default_str();
  command->add_option("-o,--output", options->output, "Map file: .png, .svg or .pdf")->required();
  command->add_option("INPUT", options->input, "Input file (default or \"-\": standard input)");
  command->callback([options, &exitCode] { exitCode = RunMap(*options); });
}

}  // namespace korvagrid::cli
