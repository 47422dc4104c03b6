#include "settings_options.h"

#include <cctype>
#include <iostream>

#include "options.h"

namespace korvagrid::cli {
namespace {

// A system named by its list text, its index or "own".
const CoordinateSystem* SystemNamed(const std::string& name, const CoordinateSystem& own) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t first = lower.find_first_not_of(' ');
  const std::size_t last = lower.find_last_not_of(' ');
  if (first != std::string::npos && lower.substr(first, last - first + 1) == "own") return &own;
  return FindFixedSystem(name);
}

}  // namespace

void AddDatumOptions(CLI::App* command, std::string& shift, std::string& heights) {
  std::vector<std::string> keys;
  for (const DatumShiftSet& set : kDatumShiftSets) keys.emplace_back(set.keyText);
  command->add_option("--shift", shift, "SK-42 <-> WGS-84 parameter set (default classic)")
      ->check(CLI::IsMember(keys));
  command
      ->add_option("--heights", heights,
                   "Heights across the datum: shift (ellipsoidal) or keep (normal heights)")
      ->check(CLI::IsMember({"shift", "keep"}));
}

DatumShiftKey DatumShiftNamed(std::string_view keyText) {
  const DatumShiftSet* set = FindDatumShiftSet(keyText);
  return set != nullptr ? set->key : kDefaultDatumShift;
}

HeightsMode HeightsNamed(std::string_view name) {
  return name == "keep" ? HeightsMode::Keep : HeightsMode::Shift;
}

void AddSettingsOptions(CLI::App* command, SettingsOptions& o, SettingsOptionSet set) {
  command->add_option("--from", o.from, "Source system: list text, index 0-17 or \"own\"")
      ->required();
  if (set.target) {
    command->add_option("--to", o.to, "Target system: list text, index 0-17 or \"own\"")
        ->required();
  }
  o.inLayoutOption =
      command->add_option("--in-layout", o.inLayout, "Input layout 0|1|2 (xyh|name|xy)");
  command->add_option("--out-layout", o.outLayout,
                      "Output layout 0|1|2 (xyh|name|xy); 1 writes names");
  command->add_option("--in-angles", o.inAngles, "Input angles")
      ->check(CLI::IsMember({"decimal", "packed", "dms", "ashtech", "trimble"}));
  command->add_option("--in-plane", o.inPlane, "Input plane style")
      ->check(CLI::IsMember({"standard", "full", "short"}));
  command->add_flag("--decimal-comma", o.decimalComma, "Write numbers with a decimal comma");
  if (set.outputFormats) {
    command->add_option("--out-angles", o.outAngles, "Output angles")
        ->check(CLI::IsMember({"decimal", "packed", "dms", "ozi"}));
    command->add_option("--out-plane", o.outPlane, "Output plane style")
        ->check(CLI::IsMember({"standard", "full", "short"}));
    command->add_option("--extra-lines", o.extraLines, "Empty lines after each result line")
        ->check(CLI::Range(0, 99));
    command->add_option("--ozi-placement", o.oziPlacement, "Waypoint label placement 0-7")
        ->check(CLI::Range(0, kWaypointPlacementCount - 1));
    command->add_option("--ozi-font-size", o.oziFontSize, "Waypoint font size text");
    command->add_option("--ozi-colour", o.oziColour, "Waypoint label background colour");
  }
  AddDatumOptions(command, o.shift, o.heights);
  AddOwnSystemOptions(command, o.own);
}

SettingsFromOptions BuildSettings(const SettingsOptions& o, std::vector<std::string>& warnings) {
  ConversionSettings s;
  s.separators = Separators::WithDecimal(o.decimalComma ? ',' : '.');
  OwnSystemFromOptions own = ReadOwnSystemOptions(o.own, s.separators.decimal, warnings);
  if (!own.refusal.empty()) return {{}, own.refusal};
  const CoordinateSystem ownRow = OwnSystemEntry(own.system);

  const CoordinateSystem* source = SystemNamed(o.from, ownRow);
  if (source == nullptr)
    return {{}, "--from: unknown system \"" + o.from + "\" (see `korvagrid-cli systems`)"};
  s.source = *source;
  if (!o.to.empty()) {
    const CoordinateSystem* target = SystemNamed(o.to, ownRow);
    if (target == nullptr)
      return {{}, "--to: unknown system \"" + o.to + "\" (see `korvagrid-cli systems`)"};
    s.target = *target;
  }

  s.inputAngles = InputAnglesNamed(o.inAngles);
  s.outputAngles = OutputAnglesNamed(o.outAngles);
  s.inputPlane = PlaneStyleNamed(o.inPlane);
  s.outputPlane = PlaneStyleNamed(o.outPlane);
  for (const SettingsConflict conflict : ConflictsOf(s)) {
    switch (conflict) {
      case SettingsConflict::ReportFromPlaneSource:
        return {{},
                "--in-angles " + o.inAngles +
                    " reads receiver reports of latitude and longitude: choose a geographic --from "
                    "(WGS-84 or BLH(Kras))"};
      case SettingsConflict::InputPlaneStyleNotOffered:
        return {{}, "--in-plane " + o.inPlane + " is not available for the chosen system"};
      case SettingsConflict::OutputPlaneStyleNotOffered:
        return {{}, "--out-plane " + o.outPlane + " is not available for the chosen system"};
    }
  }

  const std::optional<RecordLayout> inLayout = FindLayout(o.inLayout);
  const std::optional<RecordLayout> outLayout = FindLayout(o.outLayout);
  if (!inLayout) return {{}, "--in-layout: expected 0, 1, 2, xyh, name or xy"};
  if (!outLayout) return {{}, "--out-layout: expected 0, 1, 2, xyh, name or xy"};
  // A Trimble report chooses the named layout unless a layout is given.
  s.inputLayout = o.inLayoutOption != nullptr && o.inLayoutOption->count() > 0
                      ? *inLayout
                      : LayoutForInputAngles(s.inputAngles, *inLayout);
  s.outputLayout = *outLayout;
  s.extraLines = o.extraLines;
  s.waypoints.placementIndex = static_cast<std::int16_t>(o.oziPlacement);
  s.waypoints.fontSizeText = o.oziFontSize;
  s.waypoints.backgroundColour = o.oziColour;
  s.waypoints.repair();
  s.datumShift = DatumShiftNamed(o.shift);
  s.heights = HeightsNamed(o.heights);
  return {s, {}};
}

std::optional<ConversionSettings> SettingsOrReport(const SettingsOptions& options,
                                                   std::string_view command) {
  std::vector<std::string> warnings;
  SettingsFromOptions built = BuildSettings(options, warnings);
  if (!built.refusal.empty()) {
    std::cerr << "korvagrid-cli " << command << ": " << built.refusal << '\n';
    return std::nullopt;
  }
  // What the own system's fields said while taking the options ("Значение больше 59").
  for (const std::string& warning : warnings) {
    std::cerr << "korvagrid-cli " << command << ": warning: " << warning << '\n';
  }
  return std::move(built.settings);
}

std::string_view NamedLinesHint(const ConversionSettings& settings, std::string_view input) {
  // Lines that begin with a name, read as numbers, fail in ways that do not
  // say so.
  const bool hint = settings.inputLayout != RecordLayout::NameXYH &&
                    settings.inputAngles != InputAngles::AshtechReport &&
                    settings.inputAngles != InputAngles::TrimbleReport && BeginsWithWord(input);
  return hint ? "the first line begins with a word: lines that begin with a point's name need "
                "--in-layout name"
              : "";
}

int ReportRunEnd(std::string_view command, std::string_view inAngles, std::string_view inLayout,
                 const ConversionSettings& settings, const RunOutcome& outcome,
                 std::string_view input) {
  const std::string_view hint = NamedLinesHint(settings, input);
  const std::string nameHint = hint.empty() ? "" : "\n  " + std::string(hint);
  if (outcome.end == RunEnd::Completed && outcome.points == 0 && outcome.nonBlankLines > 0) {
    std::cerr << "korvagrid-cli " << command << ": no point could be read from the input; expected "
              << ExpectedInput(inAngles, inLayout, settings) << nameHint << '\n';
    return kExitFailed;
  }
  if (outcome.end != RunEnd::Completed) {
    std::cerr << "korvagrid-cli " << command << ": " << StopMessage(inAngles, outcome) << nameHint
              << '\n';
  }
  return ExitStatus(outcome);
}

}  // namespace korvagrid::cli
