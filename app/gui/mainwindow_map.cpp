// The main window's part of the map: the toolbar's map button, the map
// window fed from the model, and the selection that goes both ways between
// the input box and the map's markers.
#include <QAction>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolBar>

#include "binding.h"
#include "mainwindow.h"
#include "mapwidget.h"
#include "mapwindow.h"

namespace korvagrid::gui {

void MainWindow::buildMapButton() {
  // The selectors stand on the toolbar from just after "Save" to the counter's
  // label; the map button keeps to the right end of the row, beyond them
  // (the window's minimum width keeps it clear of the label).
  auto* stretch = new QWidget(Toolbar1_);
  stretch->setObjectName(QStringLiteral("Toolbar1Stretch"));
  stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  Toolbar1_->addWidget(stretch);
  const QString key = ToQString(kToolMap);
  const QString toolTip = QStringLiteral("Карта: точки на сетке листов");
  mapButton_ = Toolbar1_->addAction(MapIcon(), toolTip);
  mapButton_->setObjectName(key);
  mapButton_->setData(key);
  mapButton_->setToolTip(toolTip);
  connect(mapButton_, &QAction::triggered, this, [this, key] {
    dispatch([this, key] { model_->toolbarButton(ToStdString(key)); }, true);
  });

  // The marker of the line the cursor is on is ringed, whoever moved it.
  connect(Txt1_.edit, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (mapWindow_) mapWindow_->highlightLine(Txt1_.edit->textCursor().blockNumber() + 1);
  });
}

double MainWindow::mapButtonTwips() const {
  // The button, the toolbar's margin after it and the spacing before it.
  const int button = Toolbar1_->widgetForAction(mapButton_)->sizeHint().width();
  const int margin = style()->pixelMetric(QStyle::PM_ToolBarFrameWidth, nullptr, Toolbar1_) +
                     style()->pixelMetric(QStyle::PM_ToolBarItemMargin, nullptr, Toolbar1_);
  const int spacing = style()->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, Toolbar1_);
  return PixelsToTwips(button + margin + spacing, dpiX());
}

void MainWindow::showMapWindow() {
  mapVersionShown_ = model_->mapVersion;
  if (!mapWindow_) {
    mapWindow_ = new MapWindow(*model_, this);
    connect(mapWindow_, &MapWindow::pointClicked, this, &MainWindow::selectMapPoint);
    connect(mapWindow_, &MapWindow::updateRequested, this,
            [this] { dispatch([this] { model_->showMap(); }, true); });
  }
  mapWindow_->showPoints(model_->mapPoints, ToQString(model_->mapSummary));
  mapWindow_->highlightLine(Txt1_.edit->textCursor().blockNumber() + 1);
  mapWindow_->show();
  mapWindow_->raise();
  mapWindow_->activateWindow();
}

void MainWindow::selectMapPoint(qint64 line) {
  // The user may have moved the cursor since the model last selected this
  // line: select it again in any case.
  selectionShown_ = -1;
  dispatch([this, line] { model_->selectMapPoint(line); });
}

}  // namespace korvagrid::gui
