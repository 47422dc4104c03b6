#pragma once
// The map window "Карта": the points of the input list on the sheet grid
// (MapWidget) under a toolbar (update from the input, fit, zoom, the finest
// sheets drawn, a background, export) with the list's summary below. It is
// not modal: the main window hands it the model's points whenever the model
// makes new ones, rings the marker of the input line the cursor is on, and
// selects the line of a clicked marker.
#include <QWidget>
#include <vector>

#include "map/map_point.h"

class QAction;
class QLabel;

namespace korvagrid {
class Form1;
namespace map {
class MapWidget;
}
}  // namespace korvagrid

namespace korvagrid::gui {

// The map button's picture: a sheet grid with a point.
QIcon MapIcon();

class MapWindow : public QWidget {
  Q_OBJECT

 public:
  // The model asks for the files to export to and to draw underneath.
  MapWindow(Form1& model, QWidget* parent = nullptr);

  // Shows a new list of points, fitted, with its summary.
  void showPoints(std::vector<MapPoint> points, const QString& summary);
  map::MapWidget* view() const { return view_; }

 public slots:
  void highlightLine(qint64 line);

 signals:
  // The user clicked the marker of the point read from input line `line`.
  void pointClicked(qint64 line);
  // "Обновить" (F5): the points again from the input as it is now.
  void updateRequested();

 private:
  void exportView();
  void openBackground();
  void removeBackground();

  Form1& model_;
  map::MapWidget* view_ = nullptr;
  QLabel* summary_ = nullptr;
  QAction* removeBackground_ = nullptr;
};

}  // namespace korvagrid::gui
