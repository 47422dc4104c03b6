#include "convert_command.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "cli_interaction.h"
#include "common/error.h"
#include "conversion/batched_run.h"
#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "documents/text_encoding.h"
#include "documents/text_file.h"
#include "formats/number_format.h"
#include "formats/read_str.h"
#include "options.h"
#include "output.h"
#include "settings_options.h"

namespace korvagrid::cli {
namespace {

struct ConvertOptions {
  SettingsOptions settings;
  bool yes = false;
  std::string output;
  std::string encoding = "utf-8";
  std::string eol = "auto";
  std::string input = "-";
  std::uint64_t seed = 0;
  bool seedGiven = false;
};

constexpr unsigned kMaxThreads = 8;
constexpr std::size_t kBatchLines = 4096;  // two batches are held: the one converted, the one read ahead

bool IsAscii(std::string_view text) {
  unsigned char any = 0;
  for (const char c : text) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

// Lines of the input, each taken as UTF-8 when it is valid UTF-8 and as the
// Cyrillic single-byte code page otherwise.
class DecodingLineSource final : public LineSource {
 public:
  explicit DecodingLineSource(LineSource& inner) : inner_(inner) {}
  std::function<void()> onFirstLine;  // called once the first line was read
  bool next(std::string& line) override {
    const bool got = inner_.next(line);
    if (first_ && onFirstLine) onFirstLine();
    if (!IsAscii(line) && !IsValidUtf8(line)) {
      line = Cp1251ToUtf8(line);
    } else if (first_ && line.starts_with(kUtf8Bom)) {
      // The byte-order mark of UTF-8 input is no part of its first line;
      // the line stays trimmed as the reader gave it.
      const std::size_t text = line.find_first_not_of(' ', kUtf8Bom.size());
      line.erase(0, text == std::string::npos ? line.size() - 2 : text);
    }
    first_ = false;
    return got;
  }
  // The first line comes finished (its byte-order mark needs to know it is
  // the first); the others are decoded by finishLine.
  bool takeRawLine(std::string& line) override {
    if (first_) return next(line);
    return inner_.takeRawLine(line);
  }
  void finishLine(std::string& line) const override {
    inner_.finishLine(line);
    if (!IsAscii(line) && !IsValidUtf8(line)) line = Cp1251ToUtf8(line);
  }

 private:
  LineSource& inner_;
  bool first_ = true;
};

std::istream* OpenInput(const std::string& input, std::ifstream& file) {
  if (input == "-") return &std::cin;
  // A folder opens as a stream that reads nothing: refuse it rather than
  // convert it as an empty list.
  std::error_code ignored;
  int error = std::filesystem::is_directory(input, ignored) ? EISDIR : 0;
  if (error == 0) {
    errno = 0;
    file.open(input, std::ios::binary);
    if (!file) error = errno != 0 ? errno : ENOENT;
  }
  if (error != 0) {
    std::cerr << "korvagrid-cli convert: cannot read \"" << input
              << "\": " << DescribeFileError(error) << '\n';
    return nullptr;
  }
  return &file;
}

int RunConvert(const ConvertOptions& o) {
  std::vector<std::string> warnings;
  const SettingsFromOptions built = BuildSettings(o.settings, warnings);
  if (!built.refusal.empty()) {
    std::cerr << "korvagrid-cli convert: " << built.refusal << '\n';
    return kExitUsage;
  }
  // What the own system's fields said while taking the options ("Значение больше 59").
  for (const std::string& warning : warnings) {
    std::cerr << "korvagrid-cli convert: warning: " << warning << '\n';
  }
  const ConversionSettings& settings = built.settings;
  const TextEncoding encoding = o.encoding == "cp1251" ? TextEncoding::Cp1251 : TextEncoding::Utf8;

  std::ifstream file;
  std::istream* in = OpenInput(o.input, file);
  if (in == nullptr) return kExitUsage;

  try {
    CliInteraction interaction(o.yes);
    PlacementRandom random;
    if (o.seedGiven) random.seed(o.seed);
    Output out(o.output, encoding);
    StreamLineSource stream(*in);
    DecodingLineSource lines(stream);
    // Waypoint files keep CR LF whatever the input's line ends; other output
    // takes those of the input's first line, known before the first result.
    const bool waypoints = WritesWaypoints(settings);
    lines.onFirstLine = [&] {
      out.setLineFeedEnds(!waypoints && OutputLineFeedEnds(o.eol, stream.firstLineEnd()));
    };
    // Points are carried and written on every core; lines are still read,
    // checked and written in order.
    const int threads =
        static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, kMaxThreads));
    const RunOutcome outcome =
        ConversionRunInBatches(lines, out, settings, interaction, random, threads, kBatchLines);
    // One result line for each input line, each ended. A stopped run's text
    // already ends with the line end before the line it stopped at.
    if (outcome.end == RunEnd::Completed && outcome.lines > 0) out.append("\r\n");
    out.finish();
    if (outcome.end == RunEnd::Completed && outcome.points == 0 && outcome.nonBlankLines > 0) {
      std::cerr << "korvagrid-cli convert: no point could be read from the input; expected "
                << ExpectedInput(o.settings.inAngles, o.settings.inLayout, settings) << '\n';
      return kExitFailed;
    }
    if (outcome.end != RunEnd::Completed) {
      std::cerr << "korvagrid-cli convert: " << StopMessage(o.settings.inAngles, outcome) << '\n';
    }
    return ExitStatus(outcome);
  } catch (const std::exception& error) {
    std::cerr << "korvagrid-cli convert: " << error.what() << '\n';
    return kExitFailed;
  }
}

// A central meridian in arc seconds as DD°MM′SS″ (with a fraction of a
// second where it has one).
std::string MeridianText(double arcSeconds) {
  const auto whole = static_cast<long long>(std::llround(arcSeconds * 10000));
  const long long degrees = whole / (3600 * 10000);
  const long long minutes = whole / (60 * 10000) % 60;
  const long long tenThousandths = whole % (60 * 10000);
  char text[48];
  if (tenThousandths % 10000 == 0) {
    std::snprintf(text, sizeof text, "%lld°%02lld′%02lld″", degrees, minutes,
                  tenThousandths / 10000);
  } else {
    std::snprintf(text, sizeof text, "%lld°%02lld′%07.4f″", degrees, minutes,
                  tenThousandths / 10000.0);
  }
  return text;
}

int RunSystems() {
  std::cout << "index\tname\tkind\tcentral meridian\tfalse easting, m\tfalse northing, m\tX "
               "written short by, m\n";
  const auto rows = FixedSystems();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CoordinateSystem& s = rows[i];
    const char* kind = s.kind == SystemKind::Geographic        ? "geographic"
                       : s.kind == SystemKind::GaussKrugerZone ? "gauss-kruger"
                                                               : "local-plane";
    std::cout << i << '\t' << s.name << '\t' << kind << '\t';
    if (IsGeographic(s)) {
      std::cout << "-\t-\t-\t-\n";
      continue;
    }
    std::cout << MeridianText(s.centralMeridian) << '\t' << Format(s.falseEast, "0.0##", '.')
              << '\t' << Format(s.falseNorth, "0.0##", '.') << '\t' << s.xOffset << '\n';
  }
  std::cout << rows.size()
            << "\town\tlocal-plane or "
               "gauss-kruger\t--own-meridian\t--own-false-east\t--own-false-north\t0\n";
  return kExitCompleted;
}

}  // namespace

void AddConvertCommands(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert =
      app.add_subcommand("convert", "Convert a point list between coordinate systems");
  AddSettingsOptions(convert, options->settings, {});
  convert->add_flag("--yes", options->yes, "Answer Yes to the run's questions");
  convert->add_option("-o,--output", options->output, "Output file (default: standard output)");
  convert->add_option("--encoding", options->encoding, "Output encoding")
      ->check(CLI::IsMember({"utf-8", "cp1251"}));
  convert
      ->add_option("--eol", options->eol,
                   "Line ends of the output: lf, crlf, or auto (those of the input's first line)")
      ->check(CLI::IsMember({"auto", "lf", "crlf"}));
  convert->add_option("--seed", options->seed, "Seed of the random placement")
      ->each([options](const std::string&) { options->seedGiven = true; });
  convert->add_option("INPUT", options->input, "Input file (default or \"-\": standard input)");
  convert->callback([options, &exitCode] { exitCode = RunConvert(*options); });

  CLI::App* systems = app.add_subcommand("systems", "List the coordinate systems");
  systems->callback([&exitCode] { exitCode = RunSystems(); });
}

}  // namespace korvagrid::cli
