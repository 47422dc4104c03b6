#pragma once
// The own-system dialog ("Своя система координат") over MySistModel: every keystroke
// goes through the model's filter, entering a field selects its text, leaving
// it lets the model normalise it, and the widgets are redrawn from the model.
#include <QDialog>
#include <array>

#include "ui/mysist.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace korvagrid::gui {

class MySistDialog : public QDialog {
  Q_OBJECT

 public:
  MySistDialog(MySistModel& model, Platform& platform, QWidget* parent = nullptr);

  // The close command (no Cancel button exists; Escape is ignored).
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct FieldEdit {
    MySistModel::Field field;
    QLineEdit* edit;
  };

  void okClicked();
  void refresh();
  bool filterKey(MySistModel::Field field, QKeyEvent* event);
  void leave(MySistModel::Field field, QLineEdit* edit);

  MySistModel& model_;
  Platform& platform_;
  std::array<FieldEdit, 6> fields_{};
  QComboBox* cUTM_ = nullptr;
  QLineEdit* Text6_ = nullptr;
  QPushButton* OKButton_ = nullptr;
  bool leaving_ = false;   // a field is being normalised (its warning may take the focus)
  bool finished_ = false;  // OK or the close command has ended the dialog
};

}  // namespace korvagrid::gui
