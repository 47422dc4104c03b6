#pragma once
// The waypoint options dialog ("Ozi-Properties") over FmOziModel: label
// placement, font size and the background colour swatch.
#include <QDialog>

#include "ui/fmozi.h"
#include "interaction/platform.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace korvagrid::gui {

class OziDialog : public QDialog {
  Q_OBJECT

 public:
  OziDialog(FmOziModel& model, Platform& platform, QWidget* parent = nullptr);

 private:
  void refresh();

  FmOziModel& model_;
  Platform& platform_;
  QComboBox* placement_ = nullptr;  // Combo1
  QComboBox* fontSize_ = nullptr;   // Combo2
  QLineEdit* swatch_ = nullptr;     // Text1
};

}  // namespace korvagrid::gui
