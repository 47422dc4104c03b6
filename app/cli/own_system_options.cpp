#include "own_system_options.h"

#include "formats/read_str.h"

namespace korvagrid::cli {
namespace {

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
std::string WithSeparator(std::string text, char separator) {
  for (char& c : text) {
    if (c == '.' || c == ',') c = separator;
  }
  return text;
}

// Types `value` into an emptied field key by key, as the user does after
// entering a field (which selects its whole text), then leaves the field.
// False when the field refuses a key.
bool TypeInto(OwnSystemTexts& texts, OwnSystemField field, std::string_view value, char separator,
              std::vector<std::string>& warnings) {
  std::string& text = texts[field];
  text.clear();
  for (const Key& key : Keys(value)) {
    if (!FieldTakesKey(field, text, key.code, separator)) return false;
    text.append(key.bytes);
  }
  if (const std::optional<std::string_view> warning = NormaliseField(field, text, separator)) {
    warnings.emplace_back(*warning);
  }
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

OwnSystemFromOptions ReadOwnSystemOptions(const OwnSystemOptions& options, char separator,
                                          std::vector<std::string>& warnings) {
  if (!options.any()) return {OwnSystem{}, {}};
  OwnSystemTexts texts = InitialOwnSystemTexts(separator);
  if (!options.name.empty()) {
    if (!TypeInto(texts, OwnSystemField::Name, options.name, separator, warnings)) {
      return {{}, "--own-name: at most " + std::to_string(kOwnNameMaxCharacters) + " characters"};
    }
    if (IsBlankLine(texts.name)) return {{}, "--own-name: the name is blank"};
  }
  if (!options.type.empty()) {
    texts.kind = options.type == "UTM-42" ? SystemKind::GaussKrugerZone : SystemKind::LocalPlane;
  }
  if (!options.meridian.empty()) {
    std::vector<std::string> parts{""};
    for (const char c : options.meridian) {
      if (c == ':') {
        parts.emplace_back();
      } else {
        parts.back().push_back(c);
      }
    }
    if (parts.size() > 3) return {{}, "--own-meridian: expected DD:MM:SS.ssss"};
    parts.resize(3);
    constexpr OwnSystemField kFields[3] = {OwnSystemField::Degrees, OwnSystemField::Minutes,
                                           OwnSystemField::Seconds};
    constexpr const char* kNames[3] = {"degrees", "minutes", "seconds"};
    for (std::size_t i = 0; i < 3; ++i) {
      if (!TypeInto(texts, kFields[i], WithSeparator(parts[i], separator), separator, warnings)) {
        return {
            {},
            std::string("--own-meridian: ") + kNames[i] + " \"" + parts[i] + "\" are not a number"};
      }
    }
  }
  if (!options.falseEast.empty() &&
      !TypeInto(texts, OwnSystemField::FalseEast, WithSeparator(options.falseEast, separator),
                separator, warnings)) {
    return {{}, "--own-false-east: \"" + options.falseEast + "\" is not a number"};
  }
  if (!options.falseNorth.empty() &&
      !TypeInto(texts, OwnSystemField::FalseNorth, WithSeparator(options.falseNorth, separator),
                separator, warnings)) {
    return {{}, "--own-false-north: \"" + options.falseNorth + "\" is not a number"};
  }
  OwnSystemReading reading = ReadOwnSystem(texts, separator);
  if (!reading.system) return {{}, reading.refusal};
  return {std::move(*reading.system), {}};
}

}  // namespace korvagrid::cli
