#pragma once
// The interaction of the command line: questions are answered from the
// options (Yes with --yes, otherwise No, which ends the run), and warnings are
// kept for the report on standard error.
#include <string>
#include <vector>

#include "interaction/platform.h"

namespace korvagrid::cli {

class CliInteraction final : public Interaction {
 public:
  explicit CliInteraction(bool answerYes) : answerYes_(answerYes) {}

  Answer askYesNo(std::string_view, std::string_view) override {
    return answerYes_ ? Answer::Yes : Answer::No;
  }
  void warn(std::string_view text, std::string_view) override { warnings_.emplace_back(text); }

  const std::vector<std::string>& warnings() const { return warnings_; }

 private:
  bool answerYes_;
  std::vector<std::string> warnings_;
};

}  // namespace korvagrid::cli
