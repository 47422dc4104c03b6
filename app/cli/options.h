#pragma once
// Reading the command line's names for systems, layouts and formats.
#include <string>
#include <string_view>
#include <vector>

#include "conversion/run.h"
#include "formats/format_settings.h"

namespace korvagrid::cli {

// A catalogue entry named by its list text (case and surrounding spaces
// ignored), by its index, or "own" for the last entry. -1 when none matches.
int FindSystem(std::string_view name, const std::vector<std::string>& entries);

// A record layout: 0|1|2 or xyh|name|xy. -1 when unknown.
int FindLayout(std::string_view name);

// The Format menu item an option value chooses.
FormatItem InputAnglesItem(std::string_view name);   // decimal|packed|dms|ashtech|trimble
FormatItem OutputAnglesItem(std::string_view name);  // decimal|packed|dms|ozi
FormatItem InputPlaneItem(std::string_view name);    // standard|full|short
FormatItem OutputPlaneItem(std::string_view name);   // standard|full|short

// Receiver reports hold latitude and longitude: with a plane source the
// window does not offer them. The refusal, or an empty text.
std::string RefuseReportsFromPlaneSource(std::string_view inAngles, int sourceIndex);

// What the input should hold, for the message about a list from which no
// point could be read: the reader and an example line, with its option.
std::string ExpectedInput(std::string_view inAngles, std::string_view inLayout,
                          bool geographicSource, bool named);

// The message of a run stopped by an invalid value: the line, the part and
// why, and which reader read it with the options that read other notations.
std::string InvalidValueMessage(std::string_view inAngles, const RunOutcome& outcome);

// The message of a run that did not complete (empty for a completed one).
std::string StopMessage(std::string_view inAngles, const RunOutcome& outcome);

// Exit statuses of korvagrid-cli.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStoppedByNo = 3;

// The exit status of a run's outcome.
int ExitStatus(const RunOutcome& outcome);

}  // namespace korvagrid::cli
