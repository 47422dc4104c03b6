#pragma once
// The Platform of the command line: questions are answered from the options
// (Yes with --yes, otherwise No, which ends the run), warnings are kept for
// the report on standard error, and no dialog can be shown.
#include <string>
#include <vector>

#include "ui/platform.h"

namespace korvagrid::cli {

class CliPlatform final : public Platform {
 public:
  explicit CliPlatform(bool answerYes) : answerYes_(answerYes) {}

  Answer askYesNo(std::string_view prompt, std::string_view title) override;
  // Only the window asks this (before it ends with edited input); the
  // command line never does, and Cancel changes nothing.
  Answer askYesNoCancel(std::string_view, std::string_view) override { return Answer::Cancel; }
  void warn(std::string_view text, std::string_view title) override;
  void beep() override {}
  std::optional<ChosenFile> chooseOpenFile(const FileDialogOptions&) override {
    return std::nullopt;
  }
  std::optional<ChosenFile> chooseSaveFile(const FileDialogOptions&) override {
    return std::nullopt;
  }
  // The colour dialog "chooses" the colour given on the command line.
  std::optional<std::int32_t> chooseColour(std::int32_t) override { return colour; }
  DialogEnd showMySist(MySistModel&) override { return DialogEnd::Ok; }
  // The options were put into the dialog's fields: confirm it, so that its
  // OK button repairs them as it does for a user (an empty font size is "  8").
  DialogEnd showFmOzi(FmOziModel& dialog) override;
  void showHelp(FrmHelpModel&) override {}

  const std::vector<std::string>& warnings() const { return warnings_; }

  std::optional<std::int32_t> colour;

 private:
  bool answerYes_;
  std::vector<std::string> warnings_;
};

}  // namespace korvagrid::cli
