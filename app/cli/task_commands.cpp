#include "task_commands.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include "cli_interaction.h"
#include "conversion/catalogue.h"
#include "documents/text_file.h"
#include "exchange_io.h"
#include "options.h"
#include "output.h"
#include "settings_options.h"
#include "tasks/inverse_problem.h"
#include "tasks/map_sheets.h"

namespace korvagrid::cli {
namespace {

struct OgzOptions {
  std::string inLayout = "0";
  std::string outLayout = "0";
  bool decimalComma = false;
  std::string output;
  std::string encoding = "utf-8";
  std::string eol = "auto";
  std::string input = "-";
};

struct SheetsOptions {
  int scale = 200;
  SettingsOptions settings;
  bool yes = false;
  std::string output;
  std::string encoding = "utf-8";
  std::string eol = "auto";
  std::string input = "-";
  std::string inFormat;  // empty: from the input's extension
};

TextEncoding OutputEncoding(const std::string& name) {
  return name == "cp1251" ? TextEncoding::Cp1251 : TextEncoding::Utf8;
}

// The input list as "Open..." puts it into the input box: every line ended
// by CR LF, TABs as two spaces, cp1251 or UTF-8 detected. Standard input for
// "-". `lineEnd` tells how the input's first line ended. Writes the reason to
// standard error and returns false when it cannot.
bool ReadInput(const std::string& input, const char* command, std::string& text, LineEnd& lineEnd) {
  ReadTextResult read;
  std::string bytes;
  if (input == "-") {
    bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>{});
    read = DecodeTextDocument(bytes);
  } else {
    read = ReadTextDocument(input);
    if (read.status == ReadStatus::Complete) {
      std::ifstream file(input, std::ios::binary);
      bytes.resize(64 * 1024);
      file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      bytes.resize(static_cast<std::size_t>(file.gcount()));
    }
  }
  const std::size_t end = bytes.find_first_of("\r\n");
  lineEnd = end == std::string::npos                           ? LineEnd::None
            : bytes[end] == '\n'                               ? LineEnd::Lf
            : end + 1 < bytes.size() && bytes[end + 1] == '\n' ? LineEnd::CrLf
                                                               : LineEnd::Cr;
  switch (read.status) {
    case ReadStatus::Complete:
      text = std::move(read.text);
      return true;
    case ReadStatus::TooLarge:
      std::cerr << "korvagrid-cli " << command << ": \"" << input << "\": " << read.problem << '\n';
      return false;
    case ReadStatus::CannotOpen:
    case ReadStatus::ReadFailed:
      std::cerr << "korvagrid-cli " << command << ": cannot read \"" << input
                << "\": " << read.problem << '\n';
      return false;
  }
  return false;
}

// A task's text for an input read as "Open..." reads it: that text always
// ends with a line end, after which the task sees one more, blank line, so
// the task's text ends with one empty line that stands for no input line.
// The command line writes one line for each input line.
std::string_view WithoutFinalEmptyLine(std::string_view text) {
  if (text == "\r\n") return {};
  if (text.ends_with("\r\n\r\n")) text.remove_suffix(2);
  return text;
}

// Writes a task's text with the line ends the options ask for.
bool WriteTaskText(const char* command, const std::string& path, const std::string& encoding,
                   const std::string& eol, LineEnd inputLineEnd, std::string_view text) {
  try {
    Output out(path, OutputEncoding(encoding));
    out.setLineFeedEnds(OutputLineFeedEnds(eol, inputLineEnd));
    out.append(WithoutFinalEmptyLine(text));
    out.finish();
  } catch (const std::exception& error) {
    std::cerr << "korvagrid-cli " << command << ": " << error.what() << '\n';
    return false;
  }
  return true;
}

int RunOgz(const OgzOptions& o) {
  const std::optional<RecordLayout> inLayout = FindLayout(o.inLayout);
  const std::optional<RecordLayout> outLayout = FindLayout(o.outLayout);
  if (!inLayout || !outLayout) {
    std::cerr << "korvagrid-cli ogz: --in-layout and --out-layout take 0, 1, 2, xyh, name or xy\n";
    return kExitUsage;
  }
  std::string text;
  LineEnd lineEnd = LineEnd::None;
  if (!ReadInput(o.input, "ogz", text, lineEnd)) return kExitUsage;
  const Separators separators = Separators::WithDecimal(o.decimalComma ? ',' : '.');
  const InverseProblemResult result = SolveInverseProblem(text, *inLayout == RecordLayout::NameXYH,
                                                          *outLayout == RecordLayout::NameXYH,
                                                          separators.decimal, separators.other);
  if (!WriteTaskText("ogz", o.output, o.encoding, o.eol, lineEnd, result.text)) return kExitFailed;
  if (!result.completed) {
    std::cerr << "korvagrid-cli ogz: line " << result.lineNumber << ": " << result.reason << '\n';
    return kExitFailed;
  }
  return kExitCompleted;
}

int RunSheets(const SheetsOptions& o, const CLI::App& command) {
  const std::optional<ConversionSettings> built = SettingsOrReport(o.settings, "sheets");
  if (!built) return kExitUsage;
  ConversionSettings input = *built;
  std::string text;
  LineEnd lineEnd = LineEnd::None;
  std::string inAngles = o.settings.inAngles;  // how the messages name the reader
  const ExchangeFormat inFormat = FileFormat(o.inFormat, o.input);
  if (inFormat == ExchangeFormat::Wpt) {
    std::cerr << "korvagrid-cli sheets: --in-format wpt: waypoint files are not read\n";
    return kExitUsage;
  }
  if (IsPointFileFormat(inFormat)) {
    if (const std::string refusal = PointFileRefusal(command, Side::Input, inFormat, o.input); !refusal.empty()) {
      std::cerr << "korvagrid-cli sheets: " << refusal << '\n';
      return kExitUsage;
    }
    if (const std::optional<int> status = ReadPointInput("sheets", o.input, inFormat, input, text)) return *status;
    if (input.inputAngles == InputAngles::Decimal) inAngles = "decimal";
    lineEnd = LineEnd::CrLf;
  } else if (!ReadInput(o.input, "sheets", text, lineEnd)) {
    return kExitUsage;
  }

  // The list converted to Krasovsky latitude and longitude, as the window's
  // sheet task converts its input box, and the sheet of each point.
  const ConversionSettings settings = SheetRunSettings(input);
  CliInteraction interaction(o.yes);
  PlacementRandom random;
  TextLineSource lines(PrepareRunText(text));
  std::string results;
  StringSink sink(results);
  SheetPointCollector points;
  const RunOutcome outcome = ConversionRun(lines, sink, settings, interaction, random, &points);
  const std::string sheets =
      BuildSheetList(results, points.points, static_cast<std::int16_t>(o.scale),
                     settings.outputLayout == RecordLayout::NameXYH);
  if (!WriteTaskText("sheets", o.output, o.encoding, o.eol, lineEnd, sheets)) return kExitFailed;
  return ReportRunEnd("sheets", inAngles, o.settings.inLayout, settings, outcome, text);
}

}  // namespace

void AddTaskCommands(CLI::App& app, int& exitCode) {
  auto ogz = std::make_shared<OgzOptions>();
  CLI::App* ogzCommand = app.add_subcommand(
      "ogz", "Inverse geodetic problem: directional angle and distance of each leg");
  ogzCommand->add_option("--in-layout", ogz->inLayout, "Input layout 0|1|2 (xyh|name|xy)");
  ogzCommand->add_option("--out-layout", ogz->outLayout,
                         "Output layout 0|1|2; 1 writes the leg's names");
  ogzCommand->add_flag("--decimal-comma", ogz->decimalComma, "Write numbers with a decimal comma");
  ogzCommand->add_option("-o,--output", ogz->output, "Output file (default: standard output)");
  ogzCommand->add_option("--encoding", ogz->encoding, "Output encoding")
      ->check(CLI::IsMember({"utf-8", "cp1251"}));
  ogzCommand->add_option("--eol", ogz->eol, "Line ends: lf, crlf, or auto (those of the input)")
      ->check(CLI::IsMember({"auto", "lf", "crlf"}));
  ogzCommand->add_option("INPUT", ogz->input, "Input file (default or \"-\": standard input)");
  ogzCommand->callback([ogz, &exitCode] { exitCode = RunOgz(*ogz); });

  auto sheets = std::make_shared<SheetsOptions>();
  CLI::App* sheetsCommand =
      app.add_subcommand("sheets", "Map sheet (trapezoid) of each point at 1:200 000 or 1:100 000");
  sheetsCommand->add_option("--scale", sheets->scale, "200 for 1:200 000, 100 for 1:100 000")
      ->required()
      ->check(CLI::IsMember({200, 100}));
  AddSettingsOptions(sheetsCommand, sheets->settings, {.target = false, .outputFormats = false});
  sheetsCommand->add_flag("--yes", sheets->yes, "Answer Yes to the run's questions");
  sheetsCommand->add_option("-o,--output", sheets->output,
                            "Output file (default: standard output)");
  sheetsCommand->add_option("--encoding", sheets->encoding, "Output encoding")
      ->check(CLI::IsMember({"utf-8", "cp1251"}));
  sheetsCommand
      ->add_option("--eol", sheets->eol, "Line ends: lf, crlf, or auto (those of the input)")
      ->check(CLI::IsMember({"auto", "lf", "crlf"}));
  sheetsCommand
      ->add_option("--in-format", sheets->inFormat,
                   "Format of the input (default: from its extension, else text)")
      ->check(CLI::IsMember(FormatNames(), CLI::ignore_case));
  sheetsCommand->add_option("INPUT", sheets->input,
                            "Input file (default or \"-\": standard input)");
  sheetsCommand->callback(
      [sheets, sheetsCommand, &exitCode] { exitCode = RunSheets(*sheets, *sheetsCommand); });
}

}  // namespace korvagrid::cli
