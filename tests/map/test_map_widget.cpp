// The map view widget driven as the user drives it: a click on a marker
// reports its input line, a selected line highlights its marker, the wheel
// zooms about the cursor, a drag pans, a warning point says why, and the
// export action asks the host for a file.
#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include "map/gauss_kruger_zones.h"
#include "map_export.h"
#include "mapwidget.h"
#include "support/temp_dir.h"

namespace korvagrid::map {

class MapWidgetTest : public QObject {
  Q_OBJECT

  static MapPoint Point(const char* name, double latitude, double longitude, qint64 line) {
    MapPoint p;
    p.name = name;
    p.latitude = latitude;
    p.longitude = longitude;
    p.line = line;
    return p;
  }

  // Two points of a "42(zone6)" list; the second lies east of zone 6.
  static std::vector<MapPoint> Points() {
    std::vector<MapPoint> points{Point("Z1", 55.9117354, 34.5991577, 1),
                                 Point("Z6", 55.4322269, 36.1598572, 3)};
    points[1].status = MapPointStatus::OutsideZone;
    points[1].reason = OutsideZoneReason(6, points[1].longitude).value_or("");
    return points;
  }

  static QPoint PixelOf(const MapWidget& map, const MapPoint& p) {
    const PixelPoint px = map.view().toPixel({p.latitude, p.longitude});
    return {static_cast<int>(px.x), static_cast<int>(px.y)};
  }

  std::unique_ptr<MapWidget> map_;

 private slots:
  void init() {
    map_ = std::make_unique<MapWidget>();
    map_->resize(800, 600);
    map_->show();
    QVERIFY(QTest::qWaitForWindowExposed(map_.get()));
    map_->setPoints(Points());
  }

  void clickOnAMarkerReportsItsLine_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<qint64>("line");  // 0: no signal
    QTest::newRow("on the first marker") << 0 << QPoint(0, 0) << qint64{1};
    QTest::newRow("beside the warning marker, within its reach") << 1 << QPoint(4, -3) << qint64{3};
    QTest::newRow("well off any marker") << 0 << QPoint(40, 40) << qint64{0};
  }
  void clickOnAMarkerReportsItsLine() {
    QFETCH(int, point);
    QFETCH(QPoint, offset);
    QFETCH(qint64, line);
    QSignalSpy clicked(map_.get(), &MapWidget::pointClicked);
    const QPoint at = PixelOf(*map_, map_->points()[static_cast<std::size_t>(point)]) + offset;
    QTest::mouseClick(map_.get(), Qt::LeftButton, {}, at);
    if (line == 0) {
      QCOMPARE(clicked.count(), 0);
      QVERIFY(!map_->highlightedLine());
    } else {
      QCOMPARE(clicked.count(), 1);
      QCOMPARE(clicked.at(0).at(0).toLongLong(), line);
      QCOMPARE(map_->highlightedLine().value_or(-1), line);
    }
  }

  void selectingALineHighlightsItsMarker() {
    map_->highlightLine(3);
    QCOMPARE(map_->highlightedLine().value_or(-1), qint64{3});
    map_->highlightLine(2);  // a blank line: no point
    QVERIFY(!map_->highlightedLine());
  }

  void wheelZoomsAboutTheCursor() {
    const QPoint cursor(610, 140);
    const GeoPoint under = map_->view().toGeo({cursor.x() + 0.0, cursor.y() + 0.0});
    const double before = map_->view().metresPerPixel();
    QWheelEvent wheel(QPointF(cursor), QPointF(map_->mapToGlobal(cursor)), QPoint(), QPoint(0, 240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(map_.get(), &wheel);
    QCOMPARE(map_->view().metresPerPixel(), before / (1.25 * 1.25));
    const PixelPoint after = map_->view().toPixel(under);
    QVERIFY(std::abs(after.x - cursor.x()) < 1e-6);
    QVERIFY(std::abs(after.y - cursor.y()) < 1e-6);
  }

  void dragPansWithoutClicking() {
    QSignalSpy clicked(map_.get(), &MapWidget::pointClicked);
    const MapPoint& p = map_->points()[0];
    const QPoint start = PixelOf(*map_, p);
    const PixelPoint before = map_->view().toPixel({p.latitude, p.longitude});
    QTest::mousePress(map_.get(), Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(50, 30)),
                     QPointF(map_->mapToGlobal(start + QPoint(50, 30))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(map_.get(), &move);
    QTest::mouseRelease(map_.get(), Qt::LeftButton, {}, start + QPoint(50, 30));
    const PixelPoint after = map_->view().toPixel({p.latitude, p.longitude});
    QCOMPARE(after.x - before.x, 50.0);
    QCOMPARE(after.y - before.y, 30.0);
    QCOMPARE(clicked.count(), 0);
  }

  void warningPointSaysWhyInItsToolTip() {
    const MapPoint& p = map_->points()[1];
    const QPoint at = PixelOf(*map_, p);
    QHelpEvent help(QEvent::ToolTip, at, map_->mapToGlobal(at));
    QApplication::sendEvent(map_.get(), &help);
    QVERIFY(QToolTip::isVisible());
    QVERIFY2(QToolTip::text().contains(QString::fromStdString(p.reason)),
             qPrintable(QToolTip::text()));
    QVERIFY(QToolTip::text().contains(QStringLiteral("строка 3")));
  }

  void exportAsksTheHostAndWritesTheViewShown() {
    QSignalSpy asked(map_.get(), &MapWidget::exportRequested);
    map_->exportAction()->trigger();
    QCOMPARE(asked.count(), 1);
    testing::TempDir dir;
    const QString png = QString::fromStdString((dir / "view.png").string());
    QVERIFY(map_->exportTo(png));
    QCOMPARE(QImage(png).size(), map_->size());
    QString problem;
    QVERIFY(!map_->exportTo(QString::fromStdString((dir / "view.bmp").string()), &problem));
    QVERIFY2(problem.contains(QStringLiteral(".png")), qPrintable(problem));
  }

  void fittedViewFollowsResizesUntilTheUserMovesIt_data() {
    QTest::addColumn<QString>("move");
    QTest::addColumn<bool>("refitted");
    QTest::newRow("untouched: fitted again (as when first shown)") << "" << true;
    QTest::newRow("zoomed with +: the user's view stays") << "zoom" << false;
    QTest::newRow("dragged: the user's view stays") << "drag" << false;
  }
  void fittedViewFollowsResizesUntilTheUserMovesIt() {
    QFETCH(QString, move);
    QFETCH(bool, refitted);
    if (move == QLatin1String("zoom")) map_->zoomInAction()->trigger();
    if (move == QLatin1String("drag")) {
      QTest::mousePress(map_.get(), Qt::LeftButton, {}, QPoint(100, 100));
      QMouseEvent drag(QEvent::MouseMove, QPointF(140, 100), QPointF(map_->mapToGlobal(QPoint(140, 100))),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(map_.get(), &drag);
      QTest::mouseRelease(map_.get(), Qt::LeftButton, {}, QPoint(140, 100));
    }
    map_->resize(400, 300);
    MapView fitted;
    fitted.resize(400, 300);
    fitted.fitTo(map_->points(), kFitMarginPixels);
    QCOMPARE(map_->view().metresPerPixel() == fitted.metresPerPixel(), refitted);
  }

  void cleanup() { map_.reset(); }
};

}  // namespace korvagrid::map

QTEST_MAIN(korvagrid::map::MapWidgetTest)
#include "test_map_widget.moc"
