#pragma once
// The user's own coordinate system on the command line: --own-name,
// --own-type, --own-meridian, --own-false-east and --own-false-north, put into
// the own-system dialog's fields and checked the way the dialog checks them
// (its keystroke filters, the normalisation on leaving a field and OK).
#include <CLI/CLI.hpp>
#include <string>

#include "cli_platform.h"
#include "ui/form1.h"

namespace korvagrid::cli {

struct OwnSystemOptions {
  std::string name;
  std::string type;        // "UTM" or "UTM-42"
  std::string meridian;    // DD, DD:MM or DD:MM:SS.ssss
  std::string falseEast;   // metres
  std::string falseNorth;  // metres
  bool any() const {
    return !name.empty() || !type.empty() || !meridian.empty() || !falseEast.empty() ||
           !falseNorth.empty();
  }
};

void AddOwnSystemOptions(CLI::App* command, OwnSystemOptions& options);

// Edits the window's own system as the dialog would, before any list selects
// it. Returns an empty text, or why the values are refused (a usage error).
// Warnings the dialog shows while accepting a value ("Значение больше 59")
// stay in the platform's warnings.
std::string ApplyOwnSystemOptions(Form1& form, CliPlatform& platform,
                                  const OwnSystemOptions& options);

}  // namespace korvagrid::cli
