#pragma once
// What the system needs from the user while it works.
//
// Interaction: the questions and warnings of a command working through a
// list (the conversion run, the tasks), its progress and the line it is
// about. The command line answers it from its options.
// Platform: everything else modal the window needs: Yes/No/Cancel, the beep,
// the file and colour dialogs and the program's dialogs. The Qt front end
// implements it with real widgets; tests use a scripted fake.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvagrid {

class MySistModel;
class FmOziModel;
class FrmHelpModel;

// Cancel is only ever the answer of a Yes/No/Cancel question.
enum class Answer { Yes, No, Cancel };

// How a modal dialog of the program was left.
enum class DialogEnd { Ok, Closed };

// Platform file-dialog flags used by the file commands.
inline constexpr int kFileMustExist = 4096;  // opening: the chosen file must exist
inline constexpr int kOverwritePrompt = 2;   // saving: ask before replacing a file

struct FileDialogOptions {
  std::string title;         // empty: the platform's own title
  std::string filter;        // "description|pattern|description|pattern..." as passed
  std::string defaultExt;    // e.g. "*.txt"; empty for none
  int flags = 0;             // kFileMustExist, kOverwritePrompt
  std::string proposedName;  // name shown in the dialog; empty for none
};

struct ChosenFile {
  std::string path;   // full path
  std::string title;  // file name without its folder
  // Pattern of the filter the user left chosen, e.g. "*.wpt"; empty when unknown.
  std::string filterPattern = {};
};

class Interaction {
 public:
  virtual ~Interaction() = default;

  // Yes/No question without an icon.
  virtual Answer askYesNo(std::string_view prompt, std::string_view title) = 0;
  // Warning with an exclamation icon and an OK button only.
  virtual void warn(std::string_view text, std::string_view title) = 0;

  // Progress of a long command (lines done so far, total lines or -1 when
  // unknown). Front ends may show a progress bar; the default does nothing.
  virtual void progress(std::int64_t /*done*/, std::int64_t /*total*/) {}

  // A command is about to ask or warn about input line `inputLine` (1-based).
  // Front ends show the results written so far and that line, so that the
  // user sees what the question is about; the default does nothing.
  virtual void showRunPosition(std::int64_t /*inputLine*/) {}
};

class Platform : public Interaction {
 public:
  // Yes/No/Cancel question; closing the box without a button is Cancel.
  virtual Answer askYesNoCancel(std::string_view prompt, std::string_view title) = 0;
  virtual void beep() = 0;

  // File dialogs; std::nullopt when the user cancels.
  virtual std::optional<ChosenFile> chooseOpenFile(const FileDialogOptions& options) = 0;
  virtual std::optional<ChosenFile> chooseSaveFile(const FileDialogOptions& options) = 0;
  // Colour dialog starting at `current` (0x00BBGGRR); std::nullopt on cancel.
  virtual std::optional<std::int32_t> chooseColour(std::int32_t current) = 0;

  // The program's modal dialogs. Each returns when the dialog is hidden by its
  // OK button or closed; the model then holds what the user left in it.
  virtual DialogEnd showOwnSystemDialog(MySistModel& dialog) = 0;
  virtual DialogEnd showWaypointDialog(FmOziModel& dialog) = 0;
  virtual void showHelp(FrmHelpModel& dialog) = 0;
};

}  // namespace korvagrid
