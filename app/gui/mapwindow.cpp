#include "mapwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>

#include "binding.h"
#include "common/messages.h"
#include "map_background.h"
#include "map_style.h"
#include "mapwidget.h"
#include "ui/form1.h"

namespace korvagrid::gui {
namespace {

// Drawn at two sizes so that the toolbar's 16-pixel icon is sharp on any
// screen.
QPixmap MapIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const double unit = size / 16.0;
  painter.setPen(QPen(QColor(0x60, 0x60, 0x60), unit));
  painter.setBrush(map::kPaperColour);
  painter.drawRect(QRectF(1.5 * unit, 1.5 * unit, 13 * unit, 13 * unit));
  painter.setPen(QPen(map::GridLineStyle(GridLineKind::Sheet200k).colour, unit));
  for (const double at : {6.0, 10.0}) {
    painter.drawLine(QPointF(at * unit, 2 * unit), QPointF(at * unit, 14 * unit));
    painter.drawLine(QPointF(2 * unit, at * unit), QPointF(14 * unit, at * unit));
  }
  painter.setPen(QPen(map::kPointOutlineColour, unit));
  painter.setBrush(map::kPointColour);
  painter.drawEllipse(QPointF(8 * unit, 8 * unit), 2.5 * unit, 2.5 * unit);
  return pixmap;
}

}  // namespace

QIcon MapIcon() {
  QIcon icon;
  icon.addPixmap(MapIconPixmap(16));
  icon.addPixmap(MapIconPixmap(32));
  return icon;
}

MapWindow::MapWindow(Form1& model, QWidget* parent) : QWidget(parent, Qt::Window), model_(model) {
  setObjectName(QStringLiteral("frmMap"));
  setWindowTitle(QStringLiteral("Карта"));
  setWindowIcon(MapIcon());

  view_ = new map::MapWidget(this);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("mapSummary"));
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_->setContentsMargins(4, 2, 4, 2);

  auto* toolbar = new QToolBar(this);
  toolbar->setObjectName(QStringLiteral("mapToolbar"));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);

  auto* update = new QAction(QStringLiteral("Обновить"), this);
  update->setObjectName(QStringLiteral("mapUpdate"));
  update->setShortcut(QKeySequence(Qt::Key_F5));
  update->setToolTip(QStringLiteral("Точки заново из исходного списка (F5)"));
  connect(update, &QAction::triggered, this, &MapWindow::updateRequested);
  toolbar->addAction(update);
  toolbar->addSeparator();
  toolbar->addActions({view_->fitAction(), view_->zoomInAction(), view_->zoomOutAction()});
  toolbar->addSeparator();

  // The finest sheet frames drawn: those of the sheet task's two scales.
  auto* sheets = new QActionGroup(this);
  const struct {
    const char* name;
    QString caption;
    SheetLevel level;
  } levels[] = {{"mapSheets200", QStringLiteral("1:200 000"), SheetLevel::Sheet200k},
                {"mapSheets100", QStringLiteral("1:100 000"), SheetLevel::Sheet100k}};
  for (const auto& level : levels) {
    QAction* action = sheets->addAction(level.caption);
    action->setObjectName(QString::fromLatin1(level.name));
    action->setCheckable(true);
    action->setChecked(view_->renderer().finestSheets() == level.level);
    action->setToolTip(QStringLiteral("Листы до масштаба ") + level.caption);
    const SheetLevel chosen = level.level;
    connect(action, &QAction::triggered, view_, [this, chosen] { view_->setFinestSheets(chosen); });
    toolbar->addAction(action);
  }
  toolbar->addSeparator();

  auto* background = new QAction(QStringLiteral("Подложка..."), this);
  background->setObjectName(QStringLiteral("mapBackground"));
  background->setToolTip(QStringLiteral("Растр или слой с привязкой под сеткой листов"));
  connect(background, &QAction::triggered, this, &MapWindow::openBackground);
  toolbar->addAction(background);
  removeBackground_ = new QAction(QStringLiteral("Убрать подложку"), this);
  removeBackground_->setObjectName(QStringLiteral("mapRemoveBackground"));
  removeBackground_->setEnabled(false);
  connect(removeBackground_, &QAction::triggered, this, &MapWindow::removeBackground);
  toolbar->addAction(removeBackground_);
  toolbar->addSeparator();
  toolbar->addAction(view_->exportAction());
  // The shortcuts work wherever the focus is in this window.
  for (QAction* action : toolbar->actions()) action->setShortcutContext(Qt::WindowShortcut);

  connect(view_, &map::MapWidget::pointClicked, this, &MapWindow::pointClicked);
  connect(view_, &map::MapWidget::exportRequested, this, &MapWindow::exportView);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolbar);
  layout->addWidget(view_, 1);
  layout->addWidget(summary_);
}

void MapWindow::showPoints(std::vector<MapPoint> points, const QString& summary) {
  view_->setPoints(std::move(points));
  summary_->setText(summary);
}

void MapWindow::highlightLine(qint64 line) { view_->highlightLine(line); }

void MapWindow::exportView() {
  const std::optional<std::string> path = model_.chooseMapExportFile();
  if (!path) return;
  QString problem;
  if (!view_->exportTo(ToQString(*path), &problem)) {
    model_.platform().warn(ToStdString(problem), kWarningTitle);
  }
}

void MapWindow::openBackground() {
  const std::optional<std::string> path = model_.chooseMapBackgroundFile();
  if (!path) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    view_->setBackground(map::OpenMapBackground(*path));
    QApplication::restoreOverrideCursor();
  } catch (const std::exception& error) {
    QApplication::restoreOverrideCursor();
    model_.platform().warn(error.what(), kWarningTitle);
    return;
  }
  removeBackground_->setEnabled(true);
}

void MapWindow::removeBackground() {
  view_->setBackground(nullptr);
  removeBackground_->setEnabled(false);
}

}  // namespace korvagrid::gui
