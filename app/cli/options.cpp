#include "options.h"

#include "common/messages.h"
#include "conversion/catalogue.h"

namespace korvagrid::cli {

std::optional<RecordLayout> FindLayout(std::string_view name) {
  const std::string n = NormalisedName(name);
  if (n == "0" || n == "xyh") return RecordLayout::XYH;
  if (n == "1" || n == "name") return RecordLayout::NameXYH;
  if (n == "2" || n == "xy") return RecordLayout::XY;
  return std::nullopt;
}

InputAngles InputAnglesNamed(std::string_view name) {
  if (name == "decimal") return InputAngles::Decimal;
  if (name == "packed") return InputAngles::Packed;
  if (name == "ashtech") return InputAngles::AshtechReport;
  if (name == "trimble") return InputAngles::TrimbleReport;
  return InputAngles::Dms;
}

OutputAngles OutputAnglesNamed(std::string_view name) {
  if (name == "decimal") return OutputAngles::Decimal;
  if (name == "packed") return OutputAngles::Packed;
  if (name == "ozi") return OutputAngles::Waypoints;
  return OutputAngles::Dms;
}

PlaneStyle PlaneStyleNamed(std::string_view name) {
  if (name == "full") return PlaneStyle::Full;
  if (name == "short") return PlaneStyle::Short;
  return PlaneStyle::Standard;
}

std::string ExpectedInput(std::string_view inAngles, std::string_view inLayout,
                          const ConversionSettings& s) {
  const bool named = s.inputLayout == RecordLayout::NameXYH;
  if (!IsGeographic(s.source)) {
    return std::string(named ? "lines of plane coordinates: name X Y H"
                             : "lines of plane coordinates: X Y H") +
           " (--in-layout " + std::string(inLayout) + ")";
  }
  std::string what;
  switch (s.inputAngles) {
    case InputAngles::AshtechReport:
      return "Ashtech report records of four lines: Site ... Lat. N 55° 45' 12.3\", Lon. E ..., "
             "Elv. ..., one more (--in-angles ashtech)";
    case InputAngles::TrimbleReport:
      return "Trimble report lines: name 55°45'12.3\" 0.012 37°36'56.8\" 0.015 150.2 "
             "(--in-angles trimble)";
    case InputAngles::Decimal:
      what = "decimal degrees: 55.7534 37.6158 150";
      break;
    case InputAngles::Packed:
      what = "packed degrees gg.mmss: 55.4512 37.3657 150";
      break;
    case InputAngles::Dms:
      what = "degree-minute-second text: 55°45'12.3\" 37°36'56.8\" 150";
      break;
  }
  return std::string(named ? "named lines of " : "lines of ") + what + " (--in-angles " +
         std::string(inAngles) + ")";
}

std::string InvalidValueMessage(std::string_view inAngles, const RunOutcome& outcome) {
  std::string message = "line " + std::to_string(outcome.lineNumber) + ": " + outcome.reason;
  if (!outcome.detail.empty()) message += " (" + outcome.detail + ")";
  const InputAngles reader = InputAnglesNamed(inAngles);
  if (reader == InputAngles::Dms || reader == InputAngles::TrimbleReport) {
    message +=
        "\n  the line was read as " +
        std::string(reader == InputAngles::TrimbleReport ? "a Trimble report line"
                                                         : "degree-minute-second text") +
        " (--in-angles " + std::string(inAngles) +
        "); decimal degrees need --in-angles decimal, packed degrees gg.mmss --in-angles packed";
  } else if (reader == InputAngles::AshtechReport) {
    message += "\n  the record was read as an Ashtech report (--in-angles ashtech)";
  }
  return message;
}

bool BeginsWithWord(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const auto c = static_cast<unsigned char>(line[first]);
  // A Latin letter, or the first byte of a Cyrillic one in UTF-8.
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 0xD0 || c == 0xD1;
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
             ": stopped by the answer No to the question:\n" + outcome.reason +
             "\n  (every question is answered No unless --yes is given)";
    case RunEnd::Failed:
      if (outcome.reason == kInvalidValueMessage) return InvalidValueMessage(inAngles, outcome);
      return FailureMessage(outcome);
  }
  return {};
}

}  // namespace korvagrid::cli
