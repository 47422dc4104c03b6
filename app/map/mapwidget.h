#pragma once
// The map window's view: the points of a list on the sheet grid, panned by
// dragging, zoomed with the wheel about the cursor, fitted to the points on
// demand. A click on a marker reports the input line of its point; the host
// selects that line, and calls highlightLine() when the user selects a line
// itself. A point with a warning tells why in its tool tip.
//
// The widget asks no questions of its own: "Export..." emits
// exportRequested(), and the host asks for the file name (through its
// Platform) and calls exportTo().
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "map/map_point.h"
#include "map/map_view.h"
#include "map_renderer.h"

class QAction;

namespace korvagrid::map {

class MapBackground;

class MapWidget : public QWidget {
  Q_OBJECT

 public:
  explicit MapWidget(QWidget* parent = nullptr);
  ~MapWidget() override;

  // Shows a new list of points and fits the view to them. Until the user
  // pans or zooms, a fitted view fits itself again when the widget is
  // resized (also when it gets its size on being shown).
  void setPoints(std::vector<MapPoint> points);
  const std::vector<MapPoint>& points() const { return renderer_.points(); }

  void setFinestSheets(SheetLevel level);
  // A background under the grid (OpenMapBackground), or nothing to remove it.
  // Without located points the view moves to the background's extent.
  void setBackground(std::shared_ptr<MapBackground> background);

  const MapView& view() const { return view_; }
  const MapRenderer& renderer() const { return renderer_; }
  // The input line of the highlighted point, if any.
  std::optional<qint64> highlightedLine() const;

  // Writes the view as shown to a .png, .svg or .pdf file; false with the
  // reason in `problem` when it could not.
  bool exportTo(const QString& path, QString* problem = nullptr);

  // "Вписать точки" (Home), "Крупнее" (+), "Мельче" (-), "Экспорт..." (Ctrl+E).
  QAction* fitAction() const { return fitAction_; }
  QAction* zoomInAction() const { return zoomInAction_; }
  QAction* zoomOutAction() const { return zoomOutAction_; }
  QAction* exportAction() const { return exportAction_; }

  QSize sizeHint() const override { return {900, 650}; }

 public slots:
  void fitToPoints();
  // Highlights the first point read from input line `line` (counted from 1);
  // a line without a point clears the highlight.
  void highlightLine(qint64 line);
  void zoomIn();
  void zoomOut();

 signals:
  // The user clicked the marker of the point read from input line `line`.
  void pointClicked(qint64 line);
  void exportRequested();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  std::optional<std::size_t> pointAt(const QPoint& position) const;
  void zoomAboutCentre(double factor);

  MapRenderer renderer_;
  MapView view_;
  QImage frame_;  // the picture last drawn, reused between paints
  std::optional<QPoint> pressAt_;
  QPoint lastDragAt_;
  bool dragging_ = false;
  bool keepFitted_ = false;  // the view is the fit of the points, untouched by the user
  QAction* fitAction_;
  QAction* zoomInAction_;
  QAction* zoomOutAction_;
  QAction* exportAction_;
};

}  // namespace korvagrid::map
