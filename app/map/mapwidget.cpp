#include "mapwidget.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "common/error.h"
#include "map/gauss_kruger_zones.h"
#include "map/screen_points.h"
#include "map_background.h"
#include "map_export.h"

namespace korvagrid::map {
namespace {

// One notch of a mouse wheel (120 eighths of a degree) zooms by this factor.
constexpr double kZoomPerNotch = 1.25;
constexpr double kWheelNotch = 120.0;
// A press and release closer than this is a click, farther a drag.
constexpr int kClickSlopPixels = 3;

QString PointTip(const MapPoint& p) {
  QString tip = QString::fromStdString(p.name.empty() ? std::string("(без имени)") : p.name);
  tip += QStringLiteral("\nстрока %1").arg(p.line);
  tip += QStringLiteral("\n%1  %2")
             .arg(QString::fromStdString(DegreesMinutesText(p.latitude)),
                  QString::fromStdString(DegreesMinutesText(p.longitude)));
  if (p.warning()) tip += QStringLiteral("\n") + QString::fromStdString(p.reason);
  return tip;
}

}  // namespace

MapWidget::MapWidget(QWidget* parent)
    : QWidget(parent),
      fitAction_(new QAction(QStringLiteral("Вписать точки"), this)),
      zoomInAction_(new QAction(QStringLiteral("Крупнее"), this)),
      zoomOutAction_(new QAction(QStringLiteral("Мельче"), this)),
      exportAction_(new QAction(QStringLiteral("Экспорт..."), this)) {
  setObjectName(QStringLiteral("mapView"));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  view_.resize(width(), height());

  fitAction_->setShortcut(Qt::Key_Home);
  zoomInAction_->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
  zoomOutAction_->setShortcut(Qt::Key_Minus);
  exportAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  for (QAction* action : {fitAction_, zoomInAction_, zoomOutAction_, exportAction_}) {
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
  }
  connect(fitAction_, &QAction::triggered, this, &MapWidget::fitToPoints);
  connect(zoomInAction_, &QAction::triggered, this, &MapWidget::zoomIn);
  connect(zoomOutAction_, &QAction::triggered, this, &MapWidget::zoomOut);
  connect(exportAction_, &QAction::triggered, this, &MapWidget::exportRequested);
}

MapWidget::~MapWidget() = default;

void MapWidget::setPoints(std::vector<MapPoint> points) {
  renderer_.setPoints(std::move(points));
  fitToPoints();
}

void MapWidget::setFinestSheets(SheetLevel level) {
  renderer_.setFinestSheets(level);
  update();
}

void MapWidget::setBackground(std::shared_ptr<MapBackground> background) {
  renderer_.setBackground(std::move(background));
  const std::vector<MapPoint>& points = renderer_.points();
  const bool anyLocated =
      std::any_of(points.begin(), points.end(), [](const MapPoint& p) { return p.located(); });
  if (!anyLocated && renderer_.background()) {
    if (const std::optional<GeoBounds> extent = renderer_.background()->extent()) {
      MapPoint southWest;
      southWest.latitude = extent->south;
      southWest.longitude = extent->west;
      MapPoint northEast;
      northEast.latitude = extent->north;
      northEast.longitude = extent->east;
      view_.fitTo(std::vector<MapPoint>{southWest, northEast}, 0);
    }
  }
  update();
}

std::optional<qint64> MapWidget::highlightedLine() const {
  if (const std::optional<std::size_t> index = renderer_.highlighted()) {
    return renderer_.points()[*index].line;
  }
  return std::nullopt;
}

bool MapWidget::exportTo(const QString& path, QString* problem) {
  try {
    ExportMap(renderer_, view_, path.toStdString());
    return true;
  } catch (const KorvagridError& error) {
    if (problem != nullptr) *problem = QString::fromStdString(error.what());
    return false;
  }
}

void MapWidget::fitToPoints() {
  keepFitted_ = view_.fitTo(renderer_.points(), kFitMarginPixels);
  update();
}

void MapWidget::highlightLine(qint64 line) {
  std::optional<std::size_t> found;
  const std::vector<MapPoint>& points = renderer_.points();
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (points[i].line == line) {
      found = i;
      break;
    }
  }
  if (found == renderer_.highlighted()) return;
  renderer_.setHighlighted(found);
  update();
}

void MapWidget::zoomIn() { zoomAboutCentre(kZoomPerNotch); }
void MapWidget::zoomOut() { zoomAboutCentre(1 / kZoomPerNotch); }

void MapWidget::zoomAboutCentre(double factor) {
  keepFitted_ = false;
  view_.zoomAbout({width() / 2.0, height() / 2.0}, factor);
  update();
}

std::optional<std::size_t> MapWidget::pointAt(const QPoint& position) const {
  // The pixel's centre, where a marker on that pixel is centred too.
  return PointNear(renderer_.points(), view_, {position.x() + 0.5, position.y() + 0.5},
                   MapRenderer::markerRadius());
}

bool MapWidget::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const std::optional<std::size_t> index = pointAt(help->pos())) {
      QToolTip::showText(help->globalPos(), PointTip(renderer_.points()[*index]), this);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QWidget::event(event);
}

void MapWidget::paintEvent(QPaintEvent*) {
  renderer_.renderImage(frame_, view_);
  QPainter painter(this);
  painter.drawImage(0, 0, frame_);
}

void MapWidget::resizeEvent(QResizeEvent*) {
  view_.resize(width(), height());
  if (keepFitted_) view_.fitTo(renderer_.points(), kFitMarginPixels);
}

void MapWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressAt_ = event->position().toPoint();
  lastDragAt_ = *pressAt_;
  dragging_ = false;
}

void MapWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!pressAt_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint at = event->position().toPoint();
  if (!dragging_ && (at - *pressAt_).manhattanLength() < kClickSlopPixels) return;
  dragging_ = true;
  keepFitted_ = false;
  setCursor(Qt::ClosedHandCursor);
  view_.panByPixels(at.x() - lastDragAt_.x(), at.y() - lastDragAt_.y());
  lastDragAt_ = at;
  update();
}

void MapWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressAt_) return QWidget::mouseReleaseEvent(event);
  const bool click = !dragging_;
  const QPoint at = *pressAt_;
  pressAt_.reset();
  dragging_ = false;
  unsetCursor();
  if (!click) return;
  if (const std::optional<std::size_t> index = pointAt(at)) {
    renderer_.setHighlighted(index);
    update();
    emit pointClicked(renderer_.points()[*index].line);
  }
}

void MapWidget::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / kWheelNotch;
  if (notches == 0) return;
  const QPointF at = event->position();
  keepFitted_ = false;
  view_.zoomAbout({at.x(), at.y()}, std::pow(kZoomPerNotch, notches));
  update();
  event->accept();
}

void MapWidget::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addActions({fitAction_, zoomInAction_, zoomOutAction_});
  menu.addSeparator();
  menu.addAction(exportAction_);
  menu.exec(event->globalPos());
}

}  // namespace korvagrid::map
