#pragma once
// Plain stand-ins for the controls of a window: what the logic reads and
// writes of a list box, a menu item or a text box, with no drawing at all.
#include <string>
#include <vector>

namespace korvagrid {

struct ComboBoxState {
  std::vector<std::string> items;
  int index = -1;  // -1: nothing selected
  bool visible = true;
  // The text of the selected entry, empty when nothing is selected.
  std::string text() const {
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)]
                                                                  : std::string{};
  }
  int count() const { return static_cast<int>(items.size()); }
};

struct MenuItemState {
  bool checked = false;
  bool enabled = true;
};

}  // namespace korvagrid
