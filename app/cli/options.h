#pragma once
// Reading the command line's names for systems, layouts and formats.
#include <string>
#include <string_view>
#include <vector>

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

// Exit statuses of korvagrid-cli.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStoppedByNo = 3;

}  // namespace korvagrid::cli
