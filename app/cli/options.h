#pragma once
// The command line's names for layouts, notations and styles, its exit
// statuses and the messages about a run.
#include <optional>
#include <string>
#include <string_view>

#include "conversion/run.h"
#include "conversion/settings.h"

namespace korvagrid::cli {

// A record layout: 0|1|2 or xyh|name|xy; nothing when unknown.
std::optional<RecordLayout> FindLayout(std::string_view name);

InputAngles InputAnglesNamed(std::string_view name);    // decimal|packed|dms|ashtech|trimble
OutputAngles OutputAnglesNamed(std::string_view name);  // decimal|packed|dms|ozi
PlaneStyle PlaneStyleNamed(std::string_view name);      // standard|full|short

// What the input should hold, for the message about a list from which no
// point could be read: the reader and an example line, with its option.
std::string ExpectedInput(std::string_view inAngles, std::string_view inLayout,
                          const ConversionSettings& s);

// The message of a run stopped by an invalid value: the line, the part and
// why, and which reader read it with the options that read other notations.
std::string InvalidValueMessage(std::string_view inAngles, const RunOutcome& outcome);

// The message of a run that did not complete (empty for a completed one).
std::string StopMessage(std::string_view inAngles, const RunOutcome& outcome);

// Whether `line` begins with a word (a Latin or Cyrillic letter), as a line
// that starts with a point's name does; a line end first is no word.
bool BeginsWithWord(std::string_view line);

// Exit statuses of korvagrid-cli.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStoppedByNo = 3;

// The exit status of a run's outcome.
int ExitStatus(const RunOutcome& outcome);

}  // namespace korvagrid::cli
