// The map window opened from the main window: it shows the input list
// without touching the results or asking anything, a click on a marker
// selects its input line with the result opposite, the input line the cursor
// is on rings its marker, and the export goes to the type chosen.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "gui_test_support.h"
#include "mainwindow.h"
#include "mapwidget.h"
#include "mapwindow.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace korvagrid::gui {

using testing::Child;
using testing::ChooseEntry;
using testing::FakePlatform;
using testing::ShowActive;

namespace {

constexpr int kZone6 = 8;         // "42(zone6)" in the source list
constexpr int kListLines = 80;    // more than the input box shows at once
constexpr int kQuestionLine = 7;  // Y with zone 5's prefix: the run asks about it

// Points of a "42(zone6)" list 1.4 km apart along a diagonal near 55° N 33° E.
QString ZoneList() {
  QStringList lines;
  for (int i = 1; i <= kListLines; ++i) {
    const int y = i == kQuestionLine ? 5500000 + i * 1000 : 6500000 + i * 1000;
    lines << QStringLiteral("%1 %2 100").arg(6100000 + i * 1000).arg(y);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

class MapWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePlatform> platform_;
  std::unique_ptr<MainWindow> window_;

  QPlainTextEdit* box(const char* name) const { return Child<QPlainTextEdit>(window_.get(), name); }
  MapWindow* mapWindow() const { return Child<MapWindow>(window_.get(), "frmMap"); }

  // The pixel of the marker of input line `line`.
  QPoint markerOf(qint64 line) const {
    const map::MapWidget* view = mapWindow()->view();
    for (const MapPoint& p : view->points()) {
      if (p.line != line) continue;
      const PixelPoint px = view->view().toPixel({p.latitude, p.longitude});
      return {static_cast<int>(px.x), static_cast<int>(px.y)};
    }
    return {-1, -1};
  }

 private slots:
  void init() {
    platform_ = std::make_unique<FakePlatform>();
    window_ = std::make_unique<MainWindow>(*platform_, '.');
    QVERIFY(ShowActive(window_.get()));
    ChooseEntry(Child<QComboBox>(window_.get(), "Combo1"), kZone6);
    box("Txt1")->setPlainText(ZoneList());
    // The results first, so that there is a result line opposite each input line.
    QTest::mouseClick(Child<QPushButton>(window_.get(), "CmdStart"), Qt::LeftButton);
  }
  void cleanup() { window_.reset(); }

  void menuAndButtonShowTheListAsItIs_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("Tasks → Карта") << "mnuMap";
    QTest::newRow("the toolbar's map button") << "Map";
  }
  void menuAndButtonShowTheListAsItIs() {
    QFETCH(QString, action);
    const QString results = box("Txt2")->toPlainText();
    const std::size_t questions = platform_->questions.size();
    QVERIFY(!mapWindow());
    Child<QAction>(window_.get(), action.toLatin1().constData())->trigger();
    QVERIFY(mapWindow() != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(mapWindow()));
    QCOMPARE(mapWindow()->view()->points().size(), std::size_t{kListLines});
    // The questioned point is marked, not asked about; the results stay.
    QCOMPARE(platform_->questions.size(), questions);
    QVERIFY(platform_->warnings.empty());
    QCOMPARE(box("Txt2")->toPlainText(), results);
    QCOMPARE(mapWindow()->view()->points()[kQuestionLine - 1].status, MapPointStatus::Questioned);
    QVERIFY(Child<QLabel>(mapWindow(), "mapSummary")
                ->text()
                .contains(QStringLiteral("под вопросом: 1")));
  }

  void clickedMarkerSelectsItsLineWithTheResultOpposite_data() {
    QTest::addColumn<int>("line");
    QTest::newRow("far down the list: the boxes scroll") << 70;
    QTest::newRow("the first line") << 1;
    QTest::newRow("the questioned line") << kQuestionLine;
  }
  void clickedMarkerSelectsItsLineWithTheResultOpposite() {
    QFETCH(int, line);
    Child<QAction>(window_.get(), "mnuMap")->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(mapWindow()));
    // The user has put the cursor elsewhere since.
    QTextCursor elsewhere(box("Txt1")->document()->findBlockByNumber(40));
    box("Txt1")->setTextCursor(elsewhere);

    QTest::mouseClick(mapWindow()->view(), Qt::LeftButton, {}, markerOf(line));
    const QTextCursor cursor = box("Txt1")->textCursor();
    QCOMPARE(cursor.blockNumber() + 1, line);
    QCOMPARE(cursor.selectedText(), cursor.block().text());
    QCOMPARE(box("Txt2")->verticalScrollBar()->value(), box("Txt1")->verticalScrollBar()->value());
    QCOMPARE(mapWindow()->view()->highlightedLine().value_or(-1), qint64{line});
  }

  void inputLineRingsItsMarker() {
    Child<QAction>(window_.get(), "mnuMap")->trigger();
    for (const int line : {12, 1, kListLines}) {
      box("Txt1")->setTextCursor(QTextCursor(box("Txt1")->document()->findBlockByNumber(line - 1)));
      QCOMPARE(mapWindow()->view()->highlightedLine().value_or(-1), qint64{line});
    }
  }

  void exportGoesToTheTypeChosen() {
    Child<QAction>(window_.get(), "mnuMap")->trigger();
    testing::TempDir dir;
    // A name typed without an extension takes the chosen type's.
    platform_->saveChoices.push_back(ChosenFile{(dir.path() / "lines").string(), "lines", "*.svg"});
    mapWindow()->view()->exportAction()->trigger();
    QCOMPARE(platform_->saveRequests.size(), std::size_t{1});
    QCOMPARE(platform_->saveRequests[0].filter,
             std::string("PNG (*.png)|*.png|SVG (*.svg)|*.svg|PDF (*.pdf)|*.pdf"));
    QVERIFY(std::filesystem::exists(dir.path() / "lines.svg"));
    QVERIFY(platform_->warnings.empty());
  }
};

}  // namespace korvagrid::gui

QTEST_MAIN(korvagrid::gui::MapWindowTest)
#include "test_mapwindow.moc"
