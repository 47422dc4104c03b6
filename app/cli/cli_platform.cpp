#include "cli_platform.h"

#include "ui/fmozi.h"

namespace korvagrid::cli {

Answer CliPlatform::askYesNo(std::string_view, std::string_view) {
  return answerYes_ ? Answer::Yes : Answer::No;
}

DialogEnd CliPlatform::showFmOzi(FmOziModel& dialog) {
  dialog.okButtonClick();
  return DialogEnd::Ok;
}

void CliPlatform::warn(std::string_view text, std::string_view) { warnings_.emplace_back(text); }

}  // namespace korvagrid::cli
