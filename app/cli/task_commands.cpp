#include "task_commands.h"

#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include "cli_platform.h"
#include "conversion/catalogue.h"
#include "documents/text_file.h"
#include "options.h"
#include "output.h"
#include "own_system_options.h"
#include "tasks/inverse_problem.h"
#include "tasks/map_sheets.h"
#include "ui/form1.h"

namespace korvagrid::cli {
namespace {

struct OgzOptions {
  std::string inLayout = "0";
  std::string outLayout = "0";
  bool decimalComma = false;
  std::string output;
  std::string encoding = "utf-8";
  std::string input = "-";
};

struct SheetsOptions {
  int scale = 200;
  std::string from;
  std::string inLayout = "0";
  std::string outLayout = "0";
  std::string inAngles = "dms";
  std::string inPlane = "standard";
  bool decimalComma = false;
  bool yes = false;
  std::string output;
  std::string encoding = "utf-8";
  std::string input = "-";
  OwnSystemOptions own;
  CLI::Option* inLayoutOption = nullptr;
};

// The input list as "Open..." puts it into the input box: every line ended
// by CR LF, TABs as two spaces, cp1251 or UTF-8 detected. Standard input for
// "-". Writes the reason to standard error and returns false when it cannot.
bool ReadInput(const std::string& input, const char* command, std::string& text) {
  ReadTextResult read;
  if (input == "-") {
    std::string bytes(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>{});
    read = DecodeTextDocument(bytes);
  } else {
    read = ReadTextDocument(input);
  }
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

TextEncoding OutputEncoding(const std::string& name) {
  return name == "cp1251" ? TextEncoding::Cp1251 : TextEncoding::Utf8;
}

int RunOgz(const OgzOptions& o) {
  const int inLayout = FindLayout(o.inLayout);
  const int outLayout = FindLayout(o.outLayout);
  if (inLayout < 0 || outLayout < 0) {
    std::cerr << "korvagrid-cli ogz: --in-layout and --out-layout take 0, 1, 2, xyh, name or xy\n";
    return kExitUsage;
  }
  std::string text;
  if (!ReadInput(o.input, "ogz", text)) return kExitUsage;
  const char numP = o.decimalComma ? ',' : '.';
  const char notP = o.decimalComma ? '.' : ',';
  const InverseProblemResult result =
      SolveInverseProblem(text, inLayout == 1, outLayout == 1, numP, notP);
  try {
    Output out(o.output, OutputEncoding(o.encoding));
    out.append(result.text);
    out.append("\r\n");  // as saving the result text adds one line end
    out.finish();
  } catch (const std::exception& error) {
    std::cerr << "korvagrid-cli ogz: " << error.what() << '\n';
    return kExitFailed;
  }
  if (!result.completed) {
    std::cerr << "korvagrid-cli ogz: line " << result.lineNumber << ": " << result.reason << '\n';
    return kExitFailed;
  }
  return kExitCompleted;
}

// Sets the window up as a user would for the map-sheet task.
std::string SetUpSheetsWindow(Form1& form, CliPlatform& platform, const SheetsOptions& o) {
  form.Form_Load(o.decimalComma ? ',' : '.');
  if (std::string refused = ApplyOwnSystemOptions(form, platform, o.own); !refused.empty()) {
    return refused;
  }
  const int source = FindSystem(o.from, form.Combo1.items);
  if (source < 0) return "--from: unknown system \"" + o.from + "\" (see `korvagrid-cli systems`)";
  const FormatItem inAngles = InputAnglesItem(o.inAngles);
  form.formatItemClick(inAngles);
  form.selectCombo1(source);
  const FormatItem inPlane = InputPlaneItem(o.inPlane);
  if (!form.format.enabled(inPlane)) {
    return "--in-plane " + o.inPlane + " is not available for the chosen system";
  }
  form.formatItemClick(inPlane);
  const int inLayout = FindLayout(o.inLayout);
  const int outLayout = FindLayout(o.outLayout);
  if (inLayout < 0 || outLayout < 0)
    return "--in-layout and --out-layout take 0, 1, 2, xyh, name or xy";
  if (o.inLayoutOption->count() > 0 || inAngles != FormatItem::mnuTrimble)
    form.selectCombo3(inLayout);
  form.selectCombo4(outLayout);
  return {};
}

int RunSheets(const SheetsOptions& o) {
  CliPlatform platform(o.yes);
  Form1 form(platform);
  if (const std::string refused = SetUpSheetsWindow(form, platform, o); !refused.empty()) {
    std::cerr << "korvagrid-cli sheets: " << refused << '\n';
    return kExitUsage;
  }
  for (const std::string& warning : platform.warnings()) {
    std::cerr << "korvagrid-cli sheets: warning: " << warning << '\n';
  }
  if (!ReadInput(o.input, "sheets", form.Txt1)) return kExitUsage;

  if (o.scale == kScale200) {
    form.tr200_Click();
  } else {
    form.tr50_Click();
  }

  try {
    Output out(o.output, OutputEncoding(o.encoding));
    out.append(form.Txt_Trap);
    out.finish();
  } catch (const std::exception& error) {
    std::cerr << "korvagrid-cli sheets: " << error.what() << '\n';
    return kExitFailed;
  }
  switch (form.lastRun.end) {
    case RunEnd::Completed:
      break;
    case RunEnd::StoppedByNo:
      std::cerr << "korvagrid-cli sheets: line " << form.lastRun.lineNumber
                << ": stopped by the answer No to the question:\n"
                << form.lastRun.reason << '\n';
      return kExitStoppedByNo;
    case RunEnd::Failed:
      std::cerr << "korvagrid-cli sheets: " << FailureMessage(form.lastRun) << '\n';
      return kExitFailed;
  }
  // The list itself stops at a result line it cannot read (or past 32 767 lines).
  const SheetListResult list = BuildSheetList(form.Txt2, static_cast<std::int16_t>(o.scale),
                                              form.Combo4.index == 1, form.NumP, form.NotP);
  if (!list.completed) {
    std::cerr << "korvagrid-cli sheets: result line " << list.lineNumber << ": " << list.reason
              << '\n';
    return kExitFailed;
  }
  return kExitCompleted;
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
  ogzCommand->add_option("INPUT", ogz->input, "Input file (default or \"-\": standard input)");
  ogzCommand->callback([ogz, &exitCode] { exitCode = RunOgz(*ogz); });

  auto sheets = std::make_shared<SheetsOptions>();
  CLI::App* sheetsCommand =
      app.add_subcommand("sheets", "Map sheet (trapezoid) of each point at 1:200 000 or 1:100 000");
  sheetsCommand->add_option("--scale", sheets->scale, "200 for 1:200 000, 100 for 1:100 000")
      ->required()
      ->check(CLI::IsMember({200, 100}));
  sheetsCommand
      ->add_option("--from", sheets->from, "Source system: list text, index 0-17 or \"own\"")
      ->required();
  sheets->inLayoutOption = sheetsCommand->add_option("--in-layout", sheets->inLayout,
                                                     "Input layout 0|1|2 (xyh|name|xy)");
  sheetsCommand->add_option("--out-layout", sheets->outLayout,
                            "Output layout; 1 writes point names");
  sheetsCommand->add_option("--in-angles", sheets->inAngles, "Input angles")
      ->check(CLI::IsMember({"decimal", "packed", "dms", "ashtech", "trimble"}));
  sheetsCommand->add_option("--in-plane", sheets->inPlane, "Input plane style")
      ->check(CLI::IsMember({"standard", "full", "short"}));
  sheetsCommand->add_flag("--decimal-comma", sheets->decimalComma, "Use the decimal comma");
  sheetsCommand->add_flag("--yes", sheets->yes, "Answer Yes to the run's questions");
  sheetsCommand->add_option("-o,--output", sheets->output,
                            "Output file (default: standard output)");
  sheetsCommand->add_option("--encoding", sheets->encoding, "Output encoding")
      ->check(CLI::IsMember({"utf-8", "cp1251"}));
  AddOwnSystemOptions(sheetsCommand, sheets->own);
  sheetsCommand->add_option("INPUT", sheets->input,
                            "Input file (default or \"-\": standard input)");
  sheetsCommand->callback([sheets, &exitCode] { exitCode = RunSheets(*sheets); });
}

}  // namespace korvagrid::cli
