#include "exchange_io.h"

#include <iostream>

#include "cli_extras.h"
#include "options.h"

namespace korvagrid::cli {
namespace {

bool IsStandardStream(std::string_view path) { return path.empty() || path == "-"; }

// The format a file name stands for, text unless it is a point format.
ExchangeFormat PathFormat(std::string_view path) {
  if (IsStandardStream(path)) return ExchangeFormat::Text;
  const ExchangeFormat format = FormatFromPath(std::filesystem::path(path));
  return IsPointFileFormat(format) ? format : ExchangeFormat::Text;
}

}  // namespace

std::vector<std::string> FormatNames() {
  std::vector<std::string> names;
  for (const ExchangeFormatInfo& info : ExchangeFormats()) names.emplace_back(info.name);
  return names;
}

ExchangeFormat FileFormat(std::string_view option, std::string_view path) {
  if (const std::optional<ExchangeFormat> named = FormatFromName(option)) return *named;
  return PathFormat(path);
}

bool Given(const CLI::App& command, const char* name) {
  const CLI::Option* option = command.get_option_no_throw(name);
  return option != nullptr && option->count() > 0;
}

std::string FirstGiven(const CLI::App& command, std::span<const char* const> names) {
  for (const char* name : names) {
    if (Given(command, name)) return name;
  }
  return {};
}

std::string PointFileRefusal(const CLI::App& command, Side side, ExchangeFormat format, std::string_view path) {
  const std::string title = FormatTitle(format);
  if (side == Side::Input) {
    if (IsStandardStream(path)) return "a " + title + " file is read by its name, not from standard input";
    const std::string given = FirstGiven(command, kTextInputOptions);
    if (!given.empty()) return given + " applies to text input: the points of a " + title + " file are read as they are";
    return {};
  }
  if (IsStandardStream(path)) return "a " + title + " file is written by its name: give -o FILE";
  const std::string given = FirstGiven(command, kTextOutputOptions);
  if (!given.empty()) return given + " applies to text output, not to a " + title + " file";
  return {};
}

std::optional<int> ReadPointInput(std::string_view command, const std::string& path, ExchangeFormat format,
                                  ConversionSettings& settings, std::string& text) {
  PointList list;
  try {
    list = Extras().readPointList(path, format, settings.source);
  } catch (const std::exception& error) {
    std::cerr << "korvagrid-cli " << command << ": " << error.what() << '\n';
    return kExitUsage;
  }
  for (const std::string& message : list.messages) {
    std::cerr << "korvagrid-cli " << command << ": warning: \"" << path << "\": " << message << '\n';
  }
  if (list.points == 0) {
    std::cerr << "korvagrid-cli " << command << ": no point in \"" << path << "\"\n";
    return kExitFailed;
  }
  settings.inputLayout = RecordLayout::NameXYH;
  settings.inputPlane = PlaneStyle::Standard;
  if (list.geographic) settings.inputAngles = InputAngles::Decimal;
  text = std::move(list.text);
  return std::nullopt;
}

std::string FormatTitle(ExchangeFormat format) { return std::string(InfoOf(format).title); }

}  // namespace korvagrid::cli
