#include "options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace korvagrid::cli {
namespace {

std::string Normalised(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  std::string out(text.substr(first, last - first + 1));
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

}  // namespace

int FindSystem(std::string_view name, const std::vector<std::string>& entries) {
  const std::string wanted = Normalised(name);
  if (wanted.empty()) return -1;
  if (wanted == "own") return static_cast<int>(entries.size()) - 1;
  int index = -1;
  const auto [end, error] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), index);
  if (error == std::errc{} && end == wanted.data() + wanted.size()) {
    return index >= 0 && index < static_cast<int>(entries.size()) - 1 ? index : -1;
  }
  for (std::size_t i = 0; i + 1 < entries.size(); ++i) {
    if (Normalised(entries[i]) == wanted) return static_cast<int>(i);
  }
  return -1;
}

int FindLayout(std::string_view name) {
  const std::string n = Normalised(name);
  if (n == "0" || n == "xyh") return 0;
  if (n == "1" || n == "name") return 1;
  if (n == "2" || n == "xy") return 2;
  return -1;
}

FormatItem InputAnglesItem(std::string_view name) {
  if (name == "decimal") return FormatItem::mnuGGG_0;
  if (name == "packed") return FormatItem::mnugms1;
  if (name == "ashtech") return FormatItem::mnuAshtech;
  if (name == "trimble") return FormatItem::mnuTrimble;
  return FormatItem::mnugms2;
}

FormatItem OutputAnglesItem(std::string_view name) {
  if (name == "decimal") return FormatItem::mnuGGG;
  if (name == "packed") return FormatItem::mnugms1_;
  if (name == "ozi") return FormatItem::fOzi;
  return FormatItem::mnugms2_;
}

FormatItem InputPlaneItem(std::string_view name) {
  if (name == "full") return FormatItem::max1;
  if (name == "short") return FormatItem::min1;
  return FormatItem::Stand;
}

FormatItem OutputPlaneItem(std::string_view name) {
  if (name == "full") return FormatItem::MaxEnd;
  if (name == "short") return FormatItem::MinEnd;
  return FormatItem::StandEnd;
}

}  // namespace korvagrid::cli
