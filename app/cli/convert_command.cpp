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

#include "cli_platform.h"
#include "common/error.h"
#include "conversion/catalogue.h"
#include "conversion/run.h"
#include "documents/text_encoding.h"
#include "documents/text_file.h"
#include "formats/number_format.h"
#include "formats/read_str.h"
#include "options.h"
#include "output.h"
#include "own_system_options.h"
#include "ui/fmozi.h"
#include "ui/form1.h"

namespace korvagrid::cli {
namespace {

struct ConvertOptions {
  std::string from;
  std::string to;
  std::string inLayout = "0";
  std::string outLayout = "0";
  std::string inAngles = "dms";
  std::string outAngles = "dms";
  std::string inPlane = "standard";
  std::string outPlane = "standard";
  int extraLines = 0;
  bool decimalComma = false;
  bool yes = false;
  std::string output;
  std::string encoding = "utf-8";
  std::string eol = "auto";
  std::string input = "-";
  int oziPlacement = 0;
  std::string oziFontSize = "  8";
  std::int32_t oziColour = 65535;
  std::uint64_t seed = 0;
  bool seedGiven = false;
  CLI::Option* inLayoutOption = nullptr;
  OwnSystemOptions own;
};

constexpr unsigned kMaxThreads = 8;
constexpr std::size_t kBatchLines = 8192;

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

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

 private:
  LineSource& inner_;
  bool first_ = true;
};

int SelectSystem(const std::string& name, const Form1& form, const char* what) {
  const int index = FindSystem(name, form.Combo1.items);
  if (index < 0)
    throw UsageError(std::string(what) + ": unknown system \"" + name +
                     "\" (see `korvagrid-cli systems`)");
  return index;
}

void ChooseFormat(Form1& form, FormatItem item, const std::string& value, const char* option) {
  if (!form.format.enabled(item)) {
    throw UsageError(std::string(option) + " " + value + " is not available for the chosen system");
  }
  form.formatItemClick(item);
}

// Puts the options into the window model the way a user would set the window.
void SetUpWindow(Form1& form, CliPlatform& platform, const ConvertOptions& o) {
  form.Form_Load(o.decimalComma ? ',' : '.');
  if (o.seedGiven) form.placementRandom = PlacementRandom(o.seed);
  if (std::string refused = ApplyOwnSystemOptions(form, platform, o.own); !refused.empty()) {
    throw UsageError(refused);
  }

  const int source = SelectSystem(o.from, form, "--from");
  const int target = SelectSystem(o.to, form, "--to");
  if (std::string refused = RefuseReportsFromPlaneSource(o.inAngles, source); !refused.empty()) {
    throw UsageError(refused);
  }
  // The input angle items for receiver reports switch the source list; the
  // systems chosen on the command line are set afterwards and win.
  form.formatItemClick(InputAnglesItem(o.inAngles));
  form.selectCombo1(source);
  form.selectCombo2(target);

  ChooseFormat(form, InputPlaneItem(o.inPlane), o.inPlane, "--in-plane");
  ChooseFormat(form, OutputPlaneItem(o.outPlane), o.outPlane, "--out-plane");

  FmOziModel& ozi = form.fmOzi();
  ozi.setPlacementIndex(o.oziPlacement);
  ozi.setFontSizeText(o.oziFontSize);
  platform.colour = o.oziColour;
  ozi.cmdColorClick(platform);
  form.formatItemClick(OutputAnglesItem(o.outAngles));

  const int inLayout = FindLayout(o.inLayout);
  const int outLayout = FindLayout(o.outLayout);
  if (inLayout < 0) throw UsageError("--in-layout: expected 0, 1, 2, xyh, name or xy");
  if (outLayout < 0) throw UsageError("--out-layout: expected 0, 1, 2, xyh, name or xy");
  // A Trimble report selects the named layout itself unless one is given.
  if (o.inLayoutOption->count() > 0 || InputAnglesItem(o.inAngles) != FormatItem::mnuTrimble) {
    form.selectCombo3(inLayout);
  }
  form.selectCombo4(outLayout);
  form.txtCount = std::to_string(o.extraLines);
}

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
  CliPlatform platform(o.yes);
  Form1 form(platform);
  try {
    SetUpWindow(form, platform, o);
  } catch (const UsageError& error) {
    std::cerr << "korvagrid-cli convert: " << error.what() << '\n';
    return kExitUsage;
  }
  // What the dialogs said while taking the options ("Значение больше 59").
  for (const std::string& warning : platform.warnings()) {
    std::cerr << "korvagrid-cli convert: warning: " << warning << '\n';
  }
  const TextEncoding encoding = o.encoding == "cp1251" ? TextEncoding::Cp1251 : TextEncoding::Utf8;

  std::ifstream file;
  std::istream* in = OpenInput(o.input, file);
  if (in == nullptr) return kExitUsage;

  try {
    Output out(o.output, encoding);
    StreamLineSource stream(*in);
    DecodingLineSource lines(stream);
    // Waypoint files keep CR LF whatever the input's line ends; other output
    // takes those of the input's first line, known before the first result.
    const bool waypoints =
        form.format.checked(FormatItem::fOzi) && IsGeographicEntry(form.Combo2.index);
    lines.onFirstLine = [&] {
      out.setLineFeedEnds(!waypoints && OutputLineFeedEnds(o.eol, stream.firstLineEnd()));
    };
    // Points are carried and written on every core; lines are still read,
    // checked and written in order.
    const int threads =
        static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, kMaxThreads));
    const RunOutcome outcome = ConversionRunInBatches(lines, out, form.runSettings(), platform,
                                                      form.placementRandom, threads, kBatchLines);
    // One result line for each input line, each ended. A stopped run's text
    // already ends with the line end before the line it stopped at.
    if (outcome.end == RunEnd::Completed && outcome.lines > 0) out.append("\r\n");
    out.finish();
    if (outcome.end == RunEnd::Completed && outcome.points == 0 && outcome.nonBlankLines > 0) {
      std::cerr << "korvagrid-cli convert: no point could be read from the input; expected "
                << ExpectedInput(o.inAngles, o.inLayout, IsGeographicEntry(form.Combo1.index),
                                 form.Combo3.index == 1)
                << '\n';
      return kExitFailed;
    }
    if (outcome.end != RunEnd::Completed) {
      std::cerr << "korvagrid-cli convert: " << StopMessage(o.inAngles, outcome) << '\n';
    }
    return ExitStatus(outcome);
  } catch (const std::exception& error) {
    std::cerr << "korvagrid-cli convert: " << error.what() << '\n';
    return kExitFailed;
  }
  return kExitFailed;
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
  const auto& entries = FixedEntries();
  std::cout << "index\tname\tkind\tcentral meridian\tfalse easting, m\tfalse northing, m\tX "
               "written short by, m\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const CoordinateSystem& s = entries[i].system;
    const char* kind = s.kind == SystemKind::Geographic        ? "geographic"
                       : s.kind == SystemKind::GaussKrugerZone ? "gauss-kruger"
                                                               : "local-plane";
    std::cout << i << '\t' << entries[i].text << '\t' << kind << '\t';
    if (s.kind == SystemKind::Geographic) {
      std::cout << "-\t-\t-\t-\n";
      continue;
    }
    std::cout << MeridianText(s.centralMeridian) << '\t' << Format(s.falseEast, "0.0##", '.')
              << '\t' << Format(s.falseNorth, "0.0##", '.') << '\t' << s.xOffset << '\n';
  }
  std::cout << entries.size()
            << "\town\tlocal-plane or "
               "gauss-kruger\t--own-meridian\t--own-false-east\t--own-false-north\t0\n";
  return kExitCompleted;
}

}  // namespace

void AddConvertCommands(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert =
      app.add_subcommand("convert", "Convert a point list between coordinate systems");
  convert->add_option("--from", options->from, "Source system: list text, index 0-17 or \"own\"")
      ->required();
  convert->add_option("--to", options->to, "Target system: list text, index 0-17 or \"own\"")
      ->required();
  options->inLayoutOption =
      convert->add_option("--in-layout", options->inLayout, "Input layout 0|1|2 (xyh|name|xy)");
  convert->add_option("--out-layout", options->outLayout, "Output layout 0|1|2 (xyh|name|xy)");
  convert->add_option("--in-angles", options->inAngles, "Input angles")
      ->check(CLI::IsMember({"decimal", "packed", "dms", "ashtech", "trimble"}));
  convert->add_option("--out-angles", options->outAngles, "Output angles")
      ->check(CLI::IsMember({"decimal", "packed", "dms", "ozi"}));
  convert->add_option("--in-plane", options->inPlane, "Input plane style")
      ->check(CLI::IsMember({"standard", "full", "short"}));
  convert->add_option("--out-plane", options->outPlane, "Output plane style")
      ->check(CLI::IsMember({"standard", "full", "short"}));
  convert->add_option("--extra-lines", options->extraLines, "Empty lines after each result line")
      ->check(CLI::Range(0, 99));
  convert->add_flag("--decimal-comma", options->decimalComma, "Write numbers with a decimal comma");
  convert->add_flag("--yes", options->yes, "Answer Yes to the run's questions");
  convert->add_option("-o,--output", options->output, "Output file (default: standard output)");
  convert->add_option("--encoding", options->encoding, "Output encoding")
      ->check(CLI::IsMember({"utf-8", "cp1251"}));
  convert
      ->add_option("--eol", options->eol,
                   "Line ends of the output: lf, crlf, or auto (those of the input's first line)")
      ->check(CLI::IsMember({"auto", "lf", "crlf"}));
  convert->add_option("--ozi-placement", options->oziPlacement, "Waypoint label placement 0-7")
      ->check(CLI::Range(0, 7));
  convert->add_option("--ozi-font-size", options->oziFontSize, "Waypoint font size text");
  convert->add_option("--ozi-colour", options->oziColour, "Waypoint label background colour");
  convert->add_option("--seed", options->seed, "Seed of the random placement")
      ->each([options](const std::string&) { options->seedGiven = true; });
  AddOwnSystemOptions(convert, options->own);
  convert->add_option("INPUT", options->input, "Input file (default or \"-\": standard input)");
  convert->callback([options, &exitCode] { exitCode = RunConvert(*options); });

  CLI::App* systems = app.add_subcommand("systems", "List the coordinate systems");
  systems->callback([&exitCode] { exitCode = RunSystems(); });
}

}  // namespace korvagrid::cli
