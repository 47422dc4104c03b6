#pragma once
// A scripted Platform for tests: answers come from queues filled by the test,
// and every question, warning, beep and dialog request is recorded so the test
// can check exactly what the user would have seen.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "interaction/platform.h"

namespace korvagrid::testing {

class FakePlatform : public Platform {
 public:
  struct Message {
    std::string text;
    std::string title;
  };

  // Queued answers; an empty queue answers Yes / cancels the dialog.
  std::deque<Answer> answers;
  // Answers to Yes/No/Cancel questions; an empty queue answers Cancel.
  std::deque<Answer> threeWayAnswers;
  std::deque<std::optional<ChosenFile>> openChoices;
  std::deque<std::optional<ChosenFile>> saveChoices;
  std::deque<std::optional<std::int32_t>> colourChoices;
  // What the modal dialogs do while shown; by default they are confirmed.
  std::function<DialogEnd(MySistModel&)> onMySist = [](MySistModel&) { return DialogEnd::Ok; };
  std::function<DialogEnd(FmOziModel&)> onFmOzi = [](FmOziModel&) { return DialogEnd::Ok; };
  std::function<void(FrmHelpModel&)> onHelp = [](FrmHelpModel&) {};
  // Called when a command shows the input line it is about to ask or warn about.
  std::function<void(std::int64_t)> onRunPosition = [](std::int64_t) {};

  // What happened.
  std::vector<Message> questions;          // Yes/No questions
  std::vector<Message> threeWayQuestions;  // Yes/No/Cancel questions
  std::vector<std::int64_t> runPositions;  // lines shown before a question or warning
  std::vector<Message> warnings;
  int beeps = 0;
  std::vector<FileDialogOptions> openRequests;
  std::vector<FileDialogOptions> saveRequests;
  int colourRequests = 0;
  int mySistShown = 0;
  int fmOziShown = 0;
  int helpShown = 0;

  Answer askYesNo(std::string_view prompt, std::string_view title) override {
    questions.push_back({std::string(prompt), std::string(title)});
    if (answers.empty()) return Answer::Yes;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  Answer askYesNoCancel(std::string_view prompt, std::string_view title) override {
    threeWayQuestions.push_back({std::string(prompt), std::string(title)});
    if (threeWayAnswers.empty()) return Answer::Cancel;
    const Answer a = threeWayAnswers.front();
    threeWayAnswers.pop_front();
    return a;
  }
  void showRunPosition(std::int64_t inputLine) override {
    runPositions.push_back(inputLine);
    onRunPosition(inputLine);
  }
  void warn(std::string_view text, std::string_view title) override {
    warnings.push_back({std::string(text), std::string(title)});
  }
  void beep() override { ++beeps; }
  std::optional<ChosenFile> chooseOpenFile(const FileDialogOptions& options) override {
    openRequests.push_back(options);
    return Pop(openChoices);
  }
  std::optional<ChosenFile> chooseSaveFile(const FileDialogOptions& options) override {
    saveRequests.push_back(options);
    return Pop(saveChoices);
  }
  std::optional<std::int32_t> chooseColour(std::int32_t) override {
    ++colourRequests;
    return Pop(colourChoices);
  }
  DialogEnd showOwnSystemDialog(MySistModel& dialog) override {
    ++mySistShown;
    return onMySist(dialog);
  }
  DialogEnd showWaypointDialog(FmOziModel& dialog) override {
    ++fmOziShown;
    return onFmOzi(dialog);
  }
  void showHelp(FrmHelpModel& dialog) override {
    ++helpShown;
    onHelp(dialog);
  }

 private:
  template <typename T>
  static std::optional<T> Pop(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> value = queue.front();
    queue.pop_front();
    return value;
  }
};

}  // namespace korvagrid::testing
