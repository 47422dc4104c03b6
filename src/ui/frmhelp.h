#pragma once
// The help window `FrmHelp` without drawing: where the help document is (the
// path file "Spr.pth" in the current directory), the window title and tool
// tip, and the target the HTML view navigates to.
#include <filesystem>
#include <string>

#include "ui/platform.h"

namespace korvagrid {

class FrmHelpModel {
 public:
  explicit FrmHelpModel(std::filesystem::path currentDirectory);

  std::string flHelp;                 // anchor to show, set before the window opens
  std::string title = "СПРАВКА";      // window title
  std::string browseToolTip;          // tool tip of "Обзор"
  std::string helpPath;               // the help document's file name as stored
  std::string navigationTarget;       // helpPath + "#" + flHelp

  // Window load: reads or creates the path file, sets title, tool tip and target.
  void load();
  // "Обзор": lets the user choose the document and stores its path.
  void browseClick(Platform& platform);
  // The file the HTML view opens for helpPath on this platform (a trailing
  // point dropped, both kinds of slash accepted).
  std::filesystem::path documentFile() const;
  std::filesystem::path pathFileName() const;

 private:
  std::filesystem::path currentDirectory_;
};

}  // namespace korvagrid
