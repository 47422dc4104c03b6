#include "own_system_options.h"

#include <vector>

#include "ui/mysist.h"

namespace korvagrid::cli {
namespace {

using Field = MySistModel::Field;

// One typed character: its code point and its UTF-8 bytes (an invalid byte
// stands for itself).
struct Key {
  char32_t code;
  std::string_view bytes;
};

std::vector<Key> Keys(std::string_view text) {
  std::vector<Key> keys;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (i + length > text.size()) length = 1;
    char32_t code = length == 1 ? b : b & (0x3Fu >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    }
    keys.push_back({code, text.substr(i, length)});
    i += length;
  }
  return keys;
}

// Either decimal separator on the command line becomes the system's.
std::string WithSeparator(std::string text, char numP) {
  for (char& c : text) {
    if (c == '.' || c == ',') c = numP;
  }
  return text;
}

// Types `value` into an emptied field key by key, as the user does after
// entering a field (which selects its whole text), then leaves the field.
// False when the dialog refuses a key.
bool TypeInto(MySistModel& dialog, Field field, std::string_view value, Platform& platform) {
  dialog.text(field).clear();
  for (const Key& key : Keys(value)) {
    if (!dialog.keyPress(field, key.code, platform)) return false;
    dialog.text(field).append(key.bytes);
  }
  dialog.leaveField(field, platform);
  return true;
}

}  // namespace

void AddOwnSystemOptions(CLI::App* command, OwnSystemOptions& options) {
  command->add_option("--own-name", options.name, "Own system: name (at most 10 characters)");
  command->add_option("--own-type", options.type, "Own system: UTM (local plane) or UTM-42 (zone)")
      ->check(CLI::IsMember({"UTM", "UTM-42"}));
  command->add_option("--own-meridian", options.meridian,
                      "Own system: central meridian DD:MM:SS.ssss");
  command->add_option("--own-false-east", options.falseEast, "Own system: false easting, m");
  command->add_option("--own-false-north", options.falseNorth, "Own system: false northing, m");
}

std::string ApplyOwnSystemOptions(Form1& form, CliPlatform& platform,
                                  const OwnSystemOptions& options) {
  if (!options.any()) return {};
  MySistModel& dialog = form.mySist();
  const char numP = form.NumP;
  if (!options.name.empty() && !TypeInto(dialog, Field::NameMy, options.name, platform)) {
    return "--own-name: at most 10 characters";
  }
  if (!options.name.empty() && !dialog.okEnabled()) return "--own-name: the name is blank";
  if (!options.type.empty()) dialog.own().cUTM = options.type == "UTM-42" ? 1 : 0;
  if (!options.meridian.empty()) {
    std::vector<std::string> parts{""};
    for (const char c : options.meridian) {
      if (c == ':') {
        parts.emplace_back();
      } else {
        parts.back().push_back(c);
      }
    }
    if (parts.size() > 3) return "--own-meridian: expected DD:MM:SS.ssss";
    parts.resize(3);
    const Field fields[3] = {Field::T1, Field::M1, Field::S1};
    const char* names[3] = {"degrees", "minutes", "seconds"};
    for (std::size_t i = 0; i < 3; ++i) {
      if (!TypeInto(dialog, fields[i], WithSeparator(parts[i], numP), platform)) {
        return std::string("--own-meridian: ") + names[i] + " \"" + parts[i] +
               "\" are not a number";
      }
    }
  }
  if (!options.falseEast.empty() &&
      !TypeInto(dialog, Field::dYmy, WithSeparator(options.falseEast, numP), platform)) {
    return "--own-false-east: \"" + options.falseEast + "\" is not a number";
  }
  if (!options.falseNorth.empty() &&
      !TypeInto(dialog, Field::dXmy, WithSeparator(options.falseNorth, numP), platform)) {
    return "--own-false-north: \"" + options.falseNorth + "\" is not a number";
  }
  const std::size_t warningsBefore = platform.warnings().size();
  if (!dialog.okClick(platform)) {
    return platform.warnings().size() > warningsBefore ? platform.warnings().back()
                                                       : std::string("the own system is refused");
  }
  return {};
}

}  // namespace korvagrid::cli
