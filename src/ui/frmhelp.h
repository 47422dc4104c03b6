#pragma once
// The help window `FrmHelp` without drawing: where the help document is (the
// path file "Spr.pth" in the current directory), the window title and tool
// tip, and the target the HTML view navigates to.
#include <filesystem>
#include <string>
#include <string_view>

#include "interaction/platform.h"

namespace korvagrid {

inline constexpr std::string_view kHelpPathFileName = "Spr.pth";
inline constexpr std::string_view kDefaultHelpSuffix = "/HELP/Spravka.htm.";
inline constexpr std::string_view kHelpTitlePrefix = "СПРАВКА:  ";
inline constexpr std::string_view kHelpToolTipPrefix = "Вероятный путь к справке:  ";
inline constexpr std::string_view kBrowseTitle = "Найдите файл справки самостоятельно:";
inline constexpr std::string_view kBrowseFilter = "Файлы *.htm|*.htm";
inline constexpr std::string_view kHelpAnchorTask = "Task";

// The help path a path file names: its last line; empty when the file has
// no line or its last line is empty. Lines end in CR LF, LF or CR.
std::string LastLineOf(std::string_view text);

class FrmHelpModel {
 public:
  explicit FrmHelpModel(std::filesystem::path currentDirectory);

  std::string flHelp;             // anchor to show, set before the window opens
  std::string title = "СПРАВКА";  // window title
  std::string browseToolTip;      // tool tip of "Обзор"
  std::string helpPath;           // the help document's file name as stored
  std::string navigationTarget;   // helpPath + "#" + flHelp

  // Window load: reads or creates the path file, sets title, tool tip and target.
  // A path file that cannot be written is not an error: the window goes on
  // with the default path.
  void load();
  // "Обзор": lets the user choose the document, stores its path in the path
  // file and shows it; a cancel changes nothing. Title and tool tip stay.
  void browseClick(Platform& platform);
  // Whether the last write of the path file succeeded.
  bool pathFileWritten() const { return pathFileWritten_; }
  // The file the HTML view opens for helpPath on this platform (a trailing
  // point dropped, both kinds of slash accepted).
  std::filesystem::path documentFile() const;
  std::filesystem::path pathFileName() const;

 private:
  void writePathFile();

  std::filesystem::path currentDirectory_;
  bool pathFileWritten_ = false;
};

}  // namespace korvagrid
