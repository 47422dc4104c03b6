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
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "cli_extras.h"
#include "cli_interaction.h"
#include "common/error.h"
#include "conversion/batched_run.h"
#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "definitions/proj_definition.h"
#include "documents/text_encoding.h"
#include "documents/text_file.h"
#include "exchange_io.h"
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
  std::string inFormat;   // empty: from the input's extension
  std::string outFormat;  // empty: from the output's extension
};

// The result text of a run whose points go to a point file.
class DiscardedText final : public ResultSink {
 public:
  void append(std::string_view) override {}
};

constexpr unsigned kMaxThreads = 8;
constexpr std::size_t kBatchLines = 4096;  // two batches are held: the one converted, the one read ahead

// Lines of the input, each taken as UTF-8 when it is valid UTF-8 and as the
// Cyrillic single-byte code page otherwise. The validation passes over
// ASCII a word at a time, so a plain line needs no check of its own first.
class DecodingLineSource final : public LineSource {
 public:
  explicit DecodingLineSource(LineSource& inner) : inner_(inner) {}
  std::function<void(std::string_view)> onFirstLine;  // called with the first line, decoded
  bool next(std::string& line) override {
    const bool got = inner_.next(line);
    if (!IsValidUtf8(line)) {
      line = Cp1251ToUtf8(line);
    } else if (first_ && line.starts_with(kUtf8Bom)) {
      // The byte-order mark of UTF-8 input is no part of its first line;
      // the line stays trimmed as the reader gave it.
      const std::size_t text = line.find_first_not_of(' ', kUtf8Bom.size());
      line.erase(0, text == std::string::npos ? line.size() - 2 : text);
    }
    if (first_ && onFirstLine) onFirstLine(line);
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
    if (!IsValidUtf8(line)) line = Cp1251ToUtf8(line);
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

// Why the input and output formats cannot go with the options; empty when
// they can. --out-format wpt chooses waypoint lines in `settings`.
std::string FormatRefusal(const CLI::App& command, ExchangeFormat inFormat,
                          ExchangeFormat outFormat, const ConvertOptions& o,
                          ConversionSettings& settings) {
  if (inFormat == ExchangeFormat::Wpt) return "--in-format wpt: waypoint files are not read";
  if (IsPointFileFormat(inFormat)) {
    const std::string refusal = PointFileRefusal(command, Side::Input, inFormat, o.input);
    if (!refusal.empty()) return refusal;
  }
  if (outFormat == ExchangeFormat::Wpt) {
    if (settings.outputAngles != OutputAngles::Waypoints && Given(command, "--out-angles")) {
      return "--out-format wpt writes waypoints: --out-angles " + o.settings.outAngles +
             " does not go with it";
    }
    settings.outputAngles = OutputAngles::Waypoints;
    if (!WritesWaypoints(settings)) {
      return "--out-format wpt writes the waypoints of a geographic --to (WGS-84 or BLH(Kras))";
    }
  }
  if (IsPointFileFormat(outFormat)) {
    const std::string refusal = PointFileRefusal(command, Side::Output, outFormat, o.output);
    if (!refusal.empty()) return refusal;
    try {
      if (const std::optional<std::string> refused =
              Extras().writeRefusal(outFormat, settings.target)) {
        return *refused;
      }
    } catch (const KorvagridError& error) {
      return error.what();
    }
  }
  return {};
}

int RunConvert(const ConvertOptions& o, const CLI::App& command) {
  const std::optional<ConversionSettings> built = SettingsOrReport(o.settings, "convert");
  if (!built) return kExitUsage;
  ConversionSettings settings = *built;
  const TextEncoding encoding = o.encoding == "cp1251" ? TextEncoding::Cp1251 : TextEncoding::Utf8;
  const ExchangeFormat inFormat = FileFormat(o.inFormat, o.input);
  const ExchangeFormat outFormat = FileFormat(o.outFormat, o.output);
  if (const std::string refusal = FormatRefusal(command, inFormat, outFormat, o, settings);
      !refusal.empty()) {
    std::cerr << "korvagrid-cli convert: " << refusal << '\n';
    return kExitUsage;
  }

  std::ifstream file;
  std::istringstream pointLines;
  std::istream* in = nullptr;
  std::string inAngles = o.settings.inAngles;  // how the messages name the reader
  if (IsPointFileFormat(inFormat)) {
    // The file's points become the input lines, read with the named layout.
    std::string list;
    if (const std::optional<int> status =
            ReadPointInput("convert", o.input, inFormat, settings, list)) {
      return *status;
    }
    if (settings.inputAngles == InputAngles::Decimal) inAngles = "decimal";
    pointLines.str(std::move(list));
    in = &pointLines;
  } else {
    in = OpenInput(o.input, file);
    if (in == nullptr) return kExitUsage;
  }

  try {
    CliInteraction interaction(o.yes);
    PlacementRandom random;
    if (o.seedGiven) random.seed(o.seed);
    // The result text, or the points in a point file instead.
    std::optional<Output> text;
    std::unique_ptr<PointFileOutput> points;
    DiscardedText discarded;
    if (IsPointFileFormat(outFormat)) {
      points = Extras().openPointFile(o.output, outFormat, settings.target,
                                      DatumShiftSetOf(settings.datumShift));
    } else {
      text.emplace(o.output, encoding);
    }
    ResultSink& out = text ? static_cast<ResultSink&>(*text) : discarded;
    StreamLineSource stream(*in);
    DecodingLineSource lines(stream);
    // Waypoint files keep CR LF whatever the input's line ends; other output
    // takes those of the input's first line, known before the first result.
    const bool waypoints = WritesWaypoints(settings);
    std::string firstLine;
    lines.onFirstLine = [&](std::string_view line) {
      if (text)
        text->setLineFeedEnds(!waypoints && OutputLineFeedEnds(o.eol, stream.firstLineEnd()));
      firstLine = line;
    };
    // Points are carried and written on every core; lines are still read,
    // checked and written in order.
    const int threads =
        static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, kMaxThreads));
    const RunOutcome outcome = ConversionRunInBatches(lines, out, settings, interaction, random,
                                                      threads, kBatchLines, points.get());
    if (text) {
      // One result line for each input line, each ended. A stopped run's text
      // already ends with the line end before the line it stopped at.
      if (outcome.end == RunEnd::Completed && outcome.lines > 0) text->append("\r\n");
      text->finish();
    } else if (!points->failed()) {
      // What was converted before a stop is written, as it is to a text.
      points->finish();
      for (const std::string& note : points->notes()) {
        std::cerr << "korvagrid-cli convert: warning: " << note << '\n';
      }
    }
    const int status =
        ReportRunEnd("convert", inAngles, o.settings.inLayout, settings, outcome, firstLine);
    if (points && points->failed()) {
      std::cerr << "korvagrid-cli convert: \"" << o.output << "\" was not written\n";
    }
    return status;
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

struct SystemsOptions {
  bool proj = false;
  bool wkt = false;
  std::string shift{DatumShiftSetOf(kDefaultDatumShift).keyText};
  std::string heights = "shift";
  OwnSystemOptions own;
};

const char* KindName(SystemKind kind) {
  return kind == SystemKind::Geographic        ? "geographic"
         : kind == SystemKind::GaussKrugerZone ? "gauss-kruger"
                                               : "local-plane";
}

// A row as a definition for other tools, with Y written as the standard
// output writes it (bare, or prefixed for the systems written short), or
// with its zone prefix (`full`).
DefinedSystem DefinedFrom(const CoordinateSystem& row, bool full) {
  DefinedSystem d;
  d.kind = row.kind;
  d.centralMeridian = row.centralMeridian;
  d.falseNorth = row.falseNorth;
  d.falseEast = row.falseEast;
  d.xOffset = row.xOffset;
  d.yPrefix = full || row.xOffset != 0 ? row.zone : 0;
  d.isWgs84 = row.isWgs84;
  return d;
}

// The written forms of a row that other tools may need: the standard one,
// and Y with its zone prefix where the row offers that.
std::vector<std::pair<const char*, DefinedSystem>> WrittenForms(const CoordinateSystem& row) {
  std::vector<std::pair<const char*, DefinedSystem>> forms;
  if (IsGeographic(row)) {
    forms.emplace_back("latitude longitude", DefinedFrom(row, false));
    return forms;
  }
  forms.emplace_back(row.xOffset != 0 ? "standard (Y with its zone prefix)" : "standard",
                     DefinedFrom(row, false));
  if (row.xOffset == 0 && row.zone != 0 && row.offersFullAndShortX) {
    forms.emplace_back("full (Y with its zone prefix)", DefinedFrom(row, true));
  }
  return forms;
}

int RunSystems(const SystemsOptions& o) {
  std::vector<std::string> warnings;
  const OwnSystemFromOptions own = ReadOwnSystemOptions(o.own, '.', warnings);
  if (!own.refusal.empty()) {
    std::cerr << "korvagrid-cli systems: " << own.refusal << '\n';
    return kExitUsage;
  }
  for (const std::string& warning : warnings)
    std::cerr << "korvagrid-cli systems: warning: " << warning << '\n';
  std::vector<CoordinateSystem> rows(FixedSystems().begin(), FixedSystems().end());
  rows.push_back(OwnSystemEntry(own.system));
  const DatumShiftSet& set = DatumShiftSetOf(DatumShiftNamed(o.shift));
  const HeightsMode heights = HeightsNamed(o.heights);
  const auto indexText = [&](std::size_t i) {
    return i + 1 == rows.size() ? std::string("own") : std::to_string(i);
  };

  if (o.proj) {
    std::cout << "index\tname\tform\tepsg\tproj\tto WGS-84\tfrom WGS-84\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      for (const auto& [form, system] : WrittenForms(rows[i])) {
        const ProjDefinition d = DefineForProj(system, set, heights);
        std::cout << indexText(i) << '\t' << rows[i].name << '\t' << form << '\t'
                  << (d.epsg ? "EPSG:" + std::to_string(*d.epsg) : std::string("-")) << '\t'
                  << d.crs << '\t' << d.toWgs84 << '\t' << d.fromWgs84 << '\n';
      }
    }
    return kExitCompleted;
  }
  if (o.wkt) {
    try {
      for (std::size_t i = 0; i < rows.size(); ++i) {
        for (const auto& [form, system] : WrittenForms(rows[i])) {
          std::cout << "# " << indexText(i) << ' ' << rows[i].name << ", " << form << "\n"
                    << Extras().wkt(system, set, rows[i].name) << "\n\n";
        }
      }
    } catch (const std::exception& error) {
      std::cerr << "korvagrid-cli systems: " << error.what() << '\n';
      return kExitFailed;
    }
    return kExitCompleted;
  }

  std::cout << "index\tname\tkind\tcentral meridian\tfalse easting, m\tfalse northing, m\tX "
               "written short by, m\n";
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
    const CoordinateSystem& s = rows[i];
    std::cout << i << '\t' << s.name << '\t' << KindName(s.kind) << '\t';
    if (IsGeographic(s)) {
      std::cout << "-\t-\t-\t-\n";
      continue;
    }
    std::cout << MeridianText(s.centralMeridian) << '\t' << Format(s.falseEast, "0.0##", '.')
              << '\t' << Format(s.falseNorth, "0.0##", '.') << '\t' << s.xOffset << '\n';
  }
  std::cout << rows.size() - 1
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
  convert
      ->add_option("--in-format", options->inFormat,
                   "Format of the input (default: from its extension, else text)")
      ->check(CLI::IsMember(FormatNames(), CLI::ignore_case));
  convert
      ->add_option("--out-format", options->outFormat,
                   "Format of the output (default: from the -o extension, else text)")
      ->check(CLI::IsMember(FormatNames(), CLI::ignore_case));
  convert->add_option("INPUT", options->input, "Input file (default or \"-\": standard input)");
  convert->callback([options, convert, &exitCode] { exitCode = RunConvert(*options, *convert); });

  auto systemsOptions = std::make_shared<SystemsOptions>();
  CLI::App* systems = app.add_subcommand("systems", "List the coordinate systems");
  systems->add_flag("--proj", systemsOptions->proj,
                    "Print each system (and the own system of --own-...) as PROJ definitions");
  systems->add_flag("--wkt", systemsOptions->wkt,
                    "Print each system as WKT2:2019 (written by libproj)");
  AddDatumOptions(systems, systemsOptions->shift, systemsOptions->heights);
  AddOwnSystemOptions(systems, systemsOptions->own);
  systems->callback([systemsOptions, &exitCode] { exitCode = RunSystems(*systemsOptions); });
}

}  // namespace korvagrid::cli
