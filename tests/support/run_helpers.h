#pragma once
// Running a conversion in tests and reading its result text back.
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/catalogue.h"
#include "conversion/own_system.h"
#include "conversion/run.h"
#include "conversion/settings.h"
#include "formats/read_str.h"
#include "support/fake_platform.h"

namespace korvagrid::testing {

// The catalogue row at `index` of the system lists; the index after the
// fixed rows is the own system with its initial values.
inline CoordinateSystem SystemAt(int index) {
  const auto rows = FixedSystems();
  if (index >= 0 && index < static_cast<int>(rows.size())) return rows[static_cast<std::size_t>(index)];
  return OwnSystemEntry(OwnSystem{});
}

// The settings a freshly loaded window has with the rows `from` and `to` selected.
inline ConversionSettings SettingsFor(int from, int to, char decimalSeparator = '.') {
  ConversionSettings s;
  s.source = SystemAt(from);
  s.target = SystemAt(to);
  s.separators = Separators::WithDecimal(decimalSeparator);
  return s;
}

struct Converted {
  std::string text;
  RunOutcome outcome;
};

inline Converted Convert(std::string_view input, const ConversionSettings& settings, FakePlatform& platform) {
  Converted c;
  TextLineSource lines(PrepareRunText(input));
  StringSink sink(c.text);
  PlacementRandom random;
  c.outcome = ConversionRun(lines, sink, settings, platform, random);
  return c;
}

inline Converted Convert(std::string_view input, const ConversionSettings& settings) {
  FakePlatform platform;
  return Convert(input, settings, platform);
}

inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      return lines;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
}

inline std::vector<std::string> SplitFields(std::string_view line, char separator = '\t') {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = line.find(separator, start);
    if (end == std::string_view::npos) {
      fields.emplace_back(line.substr(start));
      return fields;
    }
    fields.emplace_back(line.substr(start, end - start));
    start = end + 1;
  }
}

inline double Number(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string t(text);
  for (char& c : t) {
    if (c == ',') c = '.';
  }
  double v = NAN;
  std::from_chars(t.data(), t.data() + t.size(), v);
  return v;
}

// "55°54'42.17870" in arc seconds.
inline double DmsTextToArcSeconds(std::string_view text) {
  const std::size_t deg = text.find("°");
  const std::size_t min = text.find('\'');
  const double d = Number(text.substr(0, deg));
  const double m = Number(text.substr(deg + 2, min - deg - 2));
  const double s = Number(text.substr(min + 1));
  const double sign = text.front() == '-' ? -1 : 1;
  return sign * (std::fabs(d) * 3600 + m * 60 + s);
}

}  // namespace korvagrid::testing
