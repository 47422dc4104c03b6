#pragma once
// The user's own coordinate system on the command line: --own-name,
// --own-type, --own-meridian, --own-false-east and --own-false-north, checked
// with the own system's field rules as the dialog checks them: the keys each
// field takes, the normalisation on leaving a field (with its warnings) and
// the reading of the fields.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "conversion/own_system.h"

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

// The own system the options describe (the initial one where they say
// nothing), or why they are refused (a usage error). Warnings the dialog
// would show while taking a value ("Значение больше 59") go to `warnings`.
struct OwnSystemFromOptions {
  OwnSystem system;
  std::string refusal;
};
OwnSystemFromOptions ReadOwnSystemOptions(const OwnSystemOptions& options, char decimalSeparator,
                                          std::vector<std::string>& warnings);

}  // namespace korvagrid::cli
