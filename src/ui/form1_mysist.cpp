// The own coordinate system in the main window: the dialog, its menu item and
// the relabelling of the last entry of both system lists.
#include "ui/fmozi.h"
#include "ui/form1.h"
#include "ui/mysist.h"

namespace korvagrid {
namespace {

// Replaces entry n of a list by `text`, as removing it and inserting the new
// text at its place does: a list whose selected entry was removed is left
// without a selection.
void RelabelEntry(ComboBoxState& combo, int n, const std::string& text) {
  if (n < 0 || n >= combo.count()) return;
  combo.items.erase(combo.items.begin() + n);
  if (combo.index == n) {
    combo.index = -1;
  } else if (combo.index > n) {
    --combo.index;
  }
  combo.items.insert(combo.items.begin() + n, text);
  if (combo.index >= n) ++combo.index;
}

}  // namespace

Form1::~Form1() = default;

MySistModel& Form1::mySist() {
  if (!mySist_) mySist_ = std::make_unique<MySistModel>(ownSystem, NumP);
  return *mySist_;
}

void Form1::editOwnSystem() { openOwnSystemEditor(); }

void Form1::openOwnSystemEditor() {
  const bool sourceOwn = Combo1.count() > 0 && Combo1.index == Combo1.count() - 1;
  const bool targetOwn = Combo2.count() > 0 && Combo2.index == Combo2.count() - 1;
  const int n = Combo2.count() - 1;

  MySistModel& dialog = mySist();
  if (platform_.showOwnSystemDialog(dialog) == DialogEnd::Closed) dialog.closeWithoutOk();

  RelabelEntry(Combo1, n, ownSystem.NameMy);
  RelabelEntry(Combo2, n, ownSystem.NameMy);

  // Selecting the entries again must not run the selection handling.
  MySistState = 1;
  if (sourceOwn) Combo1.index = n;
  if (targetOwn) Combo2.index = n;
  MySistState = 2;
}

void Form1::ownSystemStep(const ComboBoxState& combo) {
  if (combo.count() > 0 && combo.index == combo.count() - 1 && MySistState == 0) {
    mnuMySist.enabled = true;
    openOwnSystemEditor();
  }
}

}  // namespace korvagrid
