#pragma once
// The options that choose a conversion's settings, shared by the subcommands
// that convert (convert, sheets), and the settings they give. The rules of
// which choices go together are the settings' own (conversion/settings.h):
// a combination the window would not offer is a usage error.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/run.h"
#include "conversion/settings.h"
#include "own_system_options.h"

namespace korvagrid::cli {

struct SettingsOptions {
  std::string from;
  std::string to;  // not registered where the target is fixed
  std::string inLayout = "0";
  std::string outLayout = "0";
  std::string inAngles = "dms";
  std::string outAngles = "dms";
  std::string inPlane = "standard";
  std::string outPlane = "standard";
  int extraLines = 0;
  bool decimalComma = false;
  int oziPlacement = 0;
  std::string oziFontSize{kDefaultWaypointFontSize};
  std::int32_t oziColour = 65535;
  std::string shift{DatumShiftSetOf(kDefaultDatumShift).keyText};
  std::string heights = "shift";
  CLI::Option* inLayoutOption = nullptr;
  OwnSystemOptions own;
};

// The datum-shift set and heights mode options (--shift, --heights), also
// used by `systems`.
void AddDatumOptions(CLI::App* command, std::string& shift, std::string& heights);
DatumShiftKey DatumShiftNamed(std::string_view keyText);
HeightsMode HeightsNamed(std::string_view name);

// Which options a subcommand offers beyond the source, the input and the
// output layout.
struct SettingsOptionSet {
  bool target = true;         // --to
  bool outputFormats = true;  // --out-angles, --out-plane, --extra-lines, --ozi-...
};

void AddSettingsOptions(CLI::App* command, SettingsOptions& options, SettingsOptionSet set);

// The settings the options give, or why they are refused (a usage error).
// Warnings of the own system's fields go to `warnings`.
struct SettingsFromOptions {
  ConversionSettings settings;
  std::string refusal;
};
SettingsFromOptions BuildSettings(const SettingsOptions& options,
                                  std::vector<std::string>& warnings);

// BuildSettings for subcommand `command`, with the refusal or the warnings on
// standard error; nothing when the options are refused (a usage error).
std::optional<ConversionSettings> SettingsOrReport(const SettingsOptions& options,
                                                   std::string_view command);

// The exit status of a run of subcommand `command` over a list, with its
// message on standard error: a stop names its line and reason; a non-empty
// list from which no point could be read is a failure naming the input the
// options expect.
// `inAngles` and `inLayout` name the reader as the options name it; the
// message adds NamedLinesHint of `input` (the list, or its first line).
int ReportRunEnd(std::string_view command, std::string_view inAngles, std::string_view inLayout,
                 const ConversionSettings& settings, const RunOutcome& outcome, std::string_view input);

// For a list read with a layout without names whose first line begins with a
// word: that lines beginning with a point's name need --in-layout name (the
// reader takes such lines' digits as numbers and fails in ways that do not
// say so). Empty otherwise. `input` is the list or its first line: only its
// first character that is not a space or TAB counts.
std::string_view NamedLinesHint(const ConversionSettings& settings, std::string_view input);

}  // namespace korvagrid::cli
