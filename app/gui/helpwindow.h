#pragma once
// The help window over FrmHelpModel: the help document in an HTML view at
// the requested anchor, "Обзор" to locate the document by hand, "Закрыть".
#include <QDialog>

#include "ui/frmhelp.h"
#include "ui/layout.h"

class QPushButton;
class QTextBrowser;

namespace korvagrid::gui {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  HelpWindow(FrmHelpModel& model, Platform& platform, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  const HelpWindowGeometry& geometryTwips() const { return geometry_; }
  // Lays the controls out for an outer size in twips.
  void layoutTo(double W, double H);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void navigate();
  void refresh();

  FrmHelpModel& model_;
  Platform& platform_;
  QTextBrowser* WebBr_ = nullptr;
  QPushButton* cmdBrows_ = nullptr;
  QPushButton* CmdExit_ = nullptr;
  HelpWindowGeometry geometry_ = HelpWindowDesignGeometry();
};

}  // namespace korvagrid::gui
