// The Help menu of the main window.
#include "ui/form1.h"
#include "ui/frmhelp.h"

namespace korvagrid {

void Form1::showHelp() {
  // The help window is loaded afresh at every opening, so a path file changed
  // in between takes effect.
  FrmHelpModel help(currentDirectory);
  help.flHelp = kHelpAnchorTask;
  help.load();
  platform_.showHelp(help);
}

}  // namespace korvagrid
