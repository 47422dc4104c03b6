#include "options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "conversion/catalogue.h"

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

std::string RefuseReportsFromPlaneSource(std::string_view inAngles, int sourceIndex) {
  const FormatItem reader = InputAnglesItem(inAngles);
  if ((reader == FormatItem::mnuTrimble || reader == FormatItem::mnuAshtech) &&
      !IsGeographicEntry(sourceIndex)) {
    return "--in-angles " + std::string(inAngles) +
           " reads receiver reports of latitude and longitude: choose a geographic --from "
           "(WGS-84 or BLH(Kras))";
  }
  return {};
}

std::string ExpectedInput(std::string_view inAngles, std::string_view inLayout,
                          bool geographicSource, bool named) {
  if (!geographicSource) {
    return std::string(named ? "lines of plane coordinates: name X Y H"
                             : "lines of plane coordinates: X Y H") +
           " (--in-layout " + std::string(inLayout) + ")";
  }
  std::string what;
  switch (InputAnglesItem(inAngles)) {
    case FormatItem::mnuAshtech:
      return "Ashtech report records of four lines: Site ... Lat. N 55° 45' 12.3\", Lon. E ..., "
             "Elv. ..., one more (--in-angles ashtech)";
    case FormatItem::mnuTrimble:
      return "Trimble report lines: name 55°45'12.3\" 0.012 37°36'56.8\" 0.015 150.2 "
             "(--in-angles trimble)";
    case FormatItem::mnuGGG_0:
      what = "decimal degrees: 55.7534 37.6158 150";
      break;
    case FormatItem::mnugms1:
      what = "packed degrees gg.mmss: 55.4512 37.3657 150";
      break;
    default:
      what = "degree-minute-second text: 55°45'12.3\" 37°36'56.8\" 150";
      break;
  }
  return std::string(named ? "named lines of " : "lines of ") + what + " (--in-angles " +
         std::string(inAngles) + ")";
}

std::string InvalidValueMessage(std::string_view inAngles, const RunOutcome& outcome) {
  std::string message = "line " + std::to_string(outcome.lineNumber) + ": " + outcome.reason;
  if (!outcome.detail.empty()) message += " (" + outcome.detail + ")";
  const FormatItem reader = InputAnglesItem(inAngles);
  if (reader == FormatItem::mnugms2 || reader == FormatItem::mnuTrimble) {
    message +=
        "\n  the line was read as " +
        std::string(reader == FormatItem::mnuTrimble ? "a Trimble report line"
                                                     : "degree-minute-second text") +
        " (--in-angles " + std::string(inAngles) +
        "); decimal degrees need --in-angles decimal, packed degrees gg.mmss --in-angles packed";
  } else if (reader == FormatItem::mnuAshtech) {
    message += "\n  the record was read as an Ashtech report (--in-angles ashtech)";
  }
  return message;
}

int ExitStatus(const RunOutcome& outcome) {
  switch (outcome.end) {
    case RunEnd::Completed:
      return kExitCompleted;
    case RunEnd::StoppedByNo:
      return kExitStoppedByNo;
    case RunEnd::Failed:
      return kExitFailed;
  }
  return kExitFailed;
}

std::string StopMessage(std::string_view inAngles, const RunOutcome& outcome) {
  switch (outcome.end) {
    case RunEnd::Completed:
      return {};
    case RunEnd::StoppedByNo:
      return "line " + std::to_string(outcome.lineNumber) +
             ": stopped by the answer No to the question:\n" + outcome.reason;
    case RunEnd::Failed:
      if (outcome.reason == kInvalidValueMessage) return InvalidValueMessage(inAngles, outcome);
      return FailureMessage(outcome);
  }
  return {};
}

}  // namespace korvagrid::cli
