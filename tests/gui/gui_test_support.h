#pragma once
// Helpers of the widget tests: user selections in lists, window activation
// (focus events need an active window) and finding named children.
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QWidget>

namespace korvagrid::testing {

// Chooses an entry of a list as the user does: the current entry changes and
// the list reports the choice.
inline void ChooseEntry(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

// Shows a window and makes it the active one, so that focus moves between
// its fields as they are entered and left.
inline bool ShowActive(QWidget* window) {
  window->show();
  QApplication::setActiveWindow(window);
  return QTest::qWaitForWindowActive(window);
}

template <typename T>
T* Child(const QObject* parent, const char* name) {
  return parent->findChild<T*>(QString::fromLatin1(name));
}

}  // namespace korvagrid::testing
