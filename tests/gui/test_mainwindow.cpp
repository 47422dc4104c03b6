// The main window driven through its widgets over the real window model:
// start-up state, a conversion typed in and started with ">>", the layout on
// resize, the extra-lines counter, a dropped file and the exit commands.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QUrl>
#include <QWheelEvent>
#include <fstream>
#include <functional>
#include <set>

#include "binding.h"
#include "gui_test_support.h"
#include "mainwindow.h"
#include "qtplatform.h"
#include "support/fake_platform.h"

using korvagrid::Answer;
using korvagrid::ChosenFile;
using korvagrid::MainWindowLayout;
using korvagrid::TwipsRect;
using korvagrid::gui::MainWindow;
using korvagrid::gui::QtPlatform;
using korvagrid::testing::Child;
using korvagrid::testing::ChooseEntry;
using korvagrid::testing::FakePlatform;
using korvagrid::testing::ShowActive;

namespace {

// Seconds of arc of a text written as gg°mm'ss.sssss.
double DmsSeconds(const QString& text) {
  static const QRegularExpression dms(QStringLiteral("^(\\d+)°(\\d+)'([0-9.]+)$"));
  const QRegularExpressionMatch m = dms.match(text);
  if (!m.hasMatch()) return -1;
  return m.captured(1).toDouble() * 3600 + m.captured(2).toDouble() * 60 +
         m.captured(3).toDouble();
}

double Seconds(int d, int m, double s) { return d * 3600.0 + m * 60.0 + s; }

// The desktop platform with scripted answers to the run's questions and no
// message boxes: what the window shows at each question or warning is
// looked at by `atMessage`.
class WatchingPlatform : public QtPlatform {
 public:
  std::function<void()> atMessage = [] {};
  int messages = 0;
  Answer askYesNo(std::string_view, std::string_view) override {
    ++messages;
    atMessage();
    return Answer::No;
  }
  void warn(std::string_view, std::string_view) override {
    ++messages;
    atMessage();
  }
};

// The widget's text of `lines` copies of the result of "6210000 345678.9 1"
// from "63 (C3)" to itself, each with its line end.
QString Results(int lines) {
  return QStringLiteral("6210000.000\t345678.900 \t1.000 \n").repeated(lines);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void datumChoicesShowInTheStatusBarAndAreRemembered();
  void startupLists_data();
  void startupLists();
  void startupMenuItems_data();
  void startupMenuItems();
  void startupControls();
  void geographicSourceSwapsLayoutLists();
  void conversionThroughTheWidgets_data();
  void conversionThroughTheWidgets();
  void resultsScrollWithTheInput();
  void longListsShowAtOnceAndStayWhole_data();
  void longListsShowAtOnceAndStayWhole();
  void decimalCommaOfTheLocale();
  void layoutOfTheWorkedSize();
  void layoutAtW8000And8001();
  void selectorsShowTheirEntriesWhole();
  void resizeKeepsTrapezoidBoxOnResultBox();
  void counterKeysThroughTheModel();
  void droppedFileOpens();
  void exitEndsWithoutQuestions_data();
  void exitEndsWithoutQuestions();
  void exitWithEditedInputAsks_data();
  void exitWithEditedInputAsks();
  void runShowsItsLineAtQuestionsAndWarnings_data();
  void runShowsItsLineAtQuestionsAndWarnings();
  void mnemonicsAreDistinctInEachMenu();
  void formatGroupsAreExclusiveRadioItems();
  void ctrlEnterStartsTheRunWhileTyping();
  void resultColumnsLineUp_data();
  void resultColumnsLineUp();
  void defaultSizeShowsANamedResultWhole();
  void minimumSizeKeepsTheTopRowInView();
};

void MainWindowTest::startupLists_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("shown");
  QTest::addColumn<int>("count");
  QTest::addColumn<QString>("first");
  QTest::addColumn<QString>("last");
  // Both system lists open on "63 (C2)"; the own entry is last and unnamed yet.
  QTest::newRow("Combo1") << "Combo1" << true << 19 << "63 (C2)" << " New...";
  QTest::newRow("Combo2") << "Combo2" << true << 19 << "63 (C2)" << " New...";
  // A plane source and target: the plane layouts are shown, the geographic hidden.
  QTest::newRow("Combo3") << "Combo3" << true << 3 << " X; Y; H" << " X; Y";
  QTest::newRow("Combo4") << "Combo4" << true << 3 << " X; Y; H" << " X; Y";
  QTest::newRow("Combo5") << "Combo5" << false << 3 << "Lat; Long; H" << "Lat; Long";
  QTest::newRow("Combo6") << "Combo6" << false << 3 << "Lat; Long; H" << "Lat; Long";
}

void MainWindowTest::startupLists() {
  QFETCH(QString, name);
  QFETCH(bool, shown);
  QFETCH(int, count);
  QFETCH(QString, first);
  QFETCH(QString, last);
  FakePlatform platform;
  MainWindow window(platform, '.');
  auto* combo = window.findChild<QComboBox*>(name);
  QVERIFY(combo != nullptr);
  QCOMPARE(!combo->isHidden(), shown);
  QCOMPARE(combo->count(), count);
  QCOMPARE(combo->currentIndex(), 0);
  QCOMPARE(combo->itemText(0), first);
  QCOMPARE(combo->itemText(count - 1), last);
}

void MainWindowTest::startupMenuItems_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<bool>("checked");
  QTest::addColumn<bool>("enabled");
  QTest::addColumn<QString>("shortcut");
  // File menu: every item with its mnemonic, the usual shortcuts.
  QTest::newRow("mnuClose") << "mnuClose" << "&New" << false << true << "Ctrl+N";
  QTest::newRow("mnuOpen") << "mnuOpen" << "&Open..." << false << true << "Ctrl+O";
  QTest::newRow("mnuSave") << "mnuSave" << "&Save" << false << true << "Ctrl+S";
  QTest::newRow("mnuSvAs") << "mnuSvAs" << "Save &as..." << false << true << "Ctrl+Shift+S";
  QTest::newRow("mnuSvRez") << "mnuSvRez" << "Save &Resultats" << false << true << "";
  QTest::newRow("mnuExit") << "mnuExit" << "E&xit" << false << true << "";
  // Format menu: one checked item per group at start, every item enabled
  // because "63 (C2)" allows every plane style.
  QTest::newRow("mnuGGG_0") << "mnuGGG_0" << "&gg.ggggggggg" << false << true << "";
  QTest::newRow("mnugms1") << "mnugms1" << "gg.&mmssssss" << false << true << "";
  QTest::newRow("mnugms2") << "mnugms2" << "gg°mm'&ss.ssss" << true << true << "";
  QTest::newRow("mnuAshtech") << "mnuAshtech" << "&Ashtech Report" << false << true << "";
  QTest::newRow("mnuTrimble") << "mnuTrimble" << "&Trimble Report" << false << true << "";
  QTest::newRow("Stand") << "Stand" << "&Стандартный" << true << true << "";
  QTest::newRow("max1") << "max1" << "&Полный" << false << true << "";
  QTest::newRow("min1") << "min1" << "&Краткий" << false << true << "";
  QTest::newRow("mnuGGG") << "mnuGGG" << "&gg.ggg (for ArcView)" << false << true << "";
  QTest::newRow("mnugms1_") << "mnugms1_" << "gg.&mmssssss" << false << true << "";
  QTest::newRow("mnugms2_") << "mnugms2_" << "gg°mm'&ss.ssss" << true << true << "";
  QTest::newRow("fOzi") << "fOzi" << "Format &OziExplorer" << false << true << "";
  QTest::newRow("StandEnd") << "StandEnd" << "&Стандартный" << true << true << "";
  QTest::newRow("MaxEnd") << "MaxEnd" << "&Полный" << false << true << "";
  QTest::newRow("MinEnd") << "MinEnd" << "&Краткий" << false << true << "";
  QTest::newRow("mnu_ctr_count") << "mnu_ctr_count" << "&Пустые строки" << false << true << "";
  // Tasks and help; the own-system editor waits for the own entry to be chosen.
  QTest::newRow("mnuOGZ") << "mnuOGZ" << "Решение &ОГЗ" << false << true << "";
  QTest::newRow("tr200") << "tr200" << "1:&200 000" << false << true << "";
  QTest::newRow("tr50") << "tr50" << "&1:100 000" << false << true << "";
  QTest::newRow("mnuMap") << "mnuMap" << "&Карта" << false << true << "Ctrl+M";
  QTest::newRow("mnuMySist") << "mnuMySist" << "&Редакция своей СК" << false << false << "";
  QTest::newRow("mnuF1") << "mnuF1" << "&Вызов справки" << false << true << "F1";
  // ">>" has no menu item; its shortcut works anywhere in the window.
  QTest::newRow("CmdStart") << "CmdStartShortcut" << "" << false << true << "Ctrl+Return";
}

void MainWindowTest::startupMenuItems() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QFETCH(bool, checked);
  QFETCH(bool, enabled);
  QFETCH(QString, shortcut);
  FakePlatform platform;
  MainWindow window(platform, '.');
  auto* action = window.findChild<QAction*>(name);
  QVERIFY(action != nullptr);
  QCOMPARE(action->text(), caption);
  QCOMPARE(action->isChecked(), checked);
  QCOMPARE(action->isEnabled(), enabled);
  QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), shortcut);
}

void MainWindowTest::startupControls() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  QCOMPARE(window.windowTitle(), QStringLiteral("Korvagrid05++"));

  for (const char* name : {"Txt1", "Txt2", "Txt_Trap"}) {
    auto* box = Child<QPlainTextEdit>(&window, name);
    QVERIFY(box != nullptr);
    QVERIFY(box->toPlainText().isEmpty());
    const QFontMetrics metrics(box->font());  // every character as wide as any other
    QVERIFY2(metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W')),
             name);
  }
  QVERIFY(Child<QPlainTextEdit>(&window, "Txt_Trap")->isHidden());

  auto* start = Child<QPushButton>(&window, "CmdStart");
  QCOMPARE(start->text(), QStringLiteral(">>"));
  QCOMPARE(start->toolTip(), QStringLiteral("Расчет новых координат"));
  auto* exit = Child<QPushButton>(&window, "CmdExit");
  QCOMPARE(exit->text(), QStringLiteral("Exit"));
  QCOMPARE(exit->toolTip(), QStringLiteral("Закрыть программу"));

  // The counter and its label are hidden until "Пустые строки" is checked.
  auto* count = Child<QLineEdit>(&window, "txtCount");
  QCOMPARE(count->text(), QStringLiteral("0"));
  QVERIFY(count->isHidden());
  auto* label = Child<QLineEdit>(&window, "Text1");
  QCOMPARE(label->text(), QStringLiteral("доп.строк"));
  QVERIFY(label->isHidden());

  // Toolbar: four keyed buttons with the spacer before the last, then the
  // map button pushed to the right end.
  auto* toolbar = Child<QToolBar>(&window, "Toolbar1");
  QVERIFY(toolbar != nullptr);
  const QList<QAction*> actions = toolbar->actions();
  QCOMPARE(actions.size(), 7);
  const QStringList keys = {"New", "Open", "Save", QString(), "SaveRez", QString(), "Map"};
  const QStringList tips = {"Создать ", "Открыть ", "Сохранить", QString(),
                            "Сохранить результаты вычислений", QString(),
                            "Карта: точки на сетке листов"};
  const QStringList spacers = {"Toolbar1Spacer", "Toolbar1Stretch"};
  for (int i = 0; i < 7; ++i) {
    if (i == 3 || i == 5) {
      QCOMPARE(toolbar->widgetForAction(actions[i])->objectName(), spacers[i == 3 ? 0 : 1]);
      continue;
    }
    QCOMPARE(actions[i]->data().toString(), keys[i]);
    QCOMPARE(actions[i]->toolTip(), tips[i]);
    QVERIFY(!actions[i]->icon().isNull());
  }

  // Submenu captions, the order of the File menu and the help key.
  QCOMPARE(Child<QMenu>(&window, "mnuFile")->title(), QStringLiteral("&File"));
  QCOMPARE(Child<QMenu>(&window, "mnuFormat")->title(), QStringLiteral("F&ormat"));
  QCOMPARE(Child<QMenu>(&window, "mnuTasks")->title(), QStringLiteral("&Tasks"));
  QCOMPARE(Child<QMenu>(&window, "mnuHelp")->title(), QStringLiteral("&Help"));
  QCOMPARE(Child<QMenu>(&window, "mnuFBegin")->title(), QStringLiteral("&Lat,Long исходные"));
  QCOMPARE(Child<QMenu>(&window, "mnuFBeginX")->title(), QStringLiteral("&X , Y  исходные"));
  QCOMPARE(Child<QMenu>(&window, "mnuFExit")->title(), QStringLiteral("Lat,Lo&ng на выходе"));
  QCOMPARE(Child<QMenu>(&window, "mnuFExitX")->title(), QStringLiteral("X , &Y на выходе"));
  QCOMPARE(Child<QMenu>(&window, "mnuTrap")->title(), QStringLiteral("Расчет &трапеций"));
  QStringList fileItems;
  for (const QAction* a : Child<QMenu>(&window, "mnuFile")->actions()) {
    fileItems << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
  }
  QCOMPARE(fileItems, QStringList({"mnuClose", "mnuOpen", "mnuSave", "mnuSvAs", "-", "mnuSvRez",
                                   "-", "mnuExit"}));
  QCOMPARE(Child<QAction>(&window, "mnuF1")->shortcut(), QKeySequence(Qt::Key_F1));
}

void MainWindowTest::geographicSourceSwapsLayoutLists() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  ChooseEntry(Child<QComboBox>(&window, "Combo3"), 1);  // " Name; X;Y;H"
  ChooseEntry(Child<QComboBox>(&window, "Combo1"), 11);  // "WGS-84"
  QVERIFY(Child<QComboBox>(&window, "Combo3")->isHidden());
  QVERIFY(!Child<QComboBox>(&window, "Combo5")->isHidden());
  // The layout chosen before stays, now shown in the geographic list.
  QCOMPARE(Child<QComboBox>(&window, "Combo5")->currentIndex(), 1);
  QVERIFY(!Child<QAction>(&window, "mnuOGZ")->isEnabled());
  // "M64" as target allows only the standard plane style.
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), 3);
  QVERIFY(!Child<QAction>(&window, "MinEnd")->isEnabled());
  QVERIFY(!Child<QAction>(&window, "MaxEnd")->isEnabled());
  QVERIFY(Child<QAction>(&window, "StandEnd")->isChecked());
}

void MainWindowTest::conversionThroughTheWidgets_data() {
  QTest::addColumn<int>("target");
  QTest::addColumn<double>("latitude");   // seconds of arc
  QTest::addColumn<double>("longitude");  // seconds of arc
  QTest::addColumn<double>("height");     // metres
  // X 6 200 000, Y 6 600 000 in "42(zone6)": 100 km east of 33°, H 150 m.
  QTest::newRow("to BLH(Kras): no datum shift, height kept")
      << 10 << Seconds(55, 54, 42.2474) << Seconds(34, 35, 56.9677) << 150.0;
  QTest::newRow("to WGS-84: datum shift, ellipsoidal height changes")
      << 11 << Seconds(55, 54, 42.1787) << Seconds(34, 35, 50.1255) << 165.814;
}

void MainWindowTest::conversionThroughTheWidgets() {
  QFETCH(int, target);
  QFETCH(double, latitude);
  QFETCH(double, longitude);
  QFETCH(double, height);
  FakePlatform platform;
  MainWindow window(platform, '.');
  ChooseEntry(Child<QComboBox>(&window, "Combo1"), 8);  // "42(zone6)"
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), target);

  // Typed as a user types: a point, an empty line, the point again.
  auto* input = Child<QPlainTextEdit>(&window, "Txt1");
  QTest::keyClicks(input, QStringLiteral("6200000 6600000 150"));
  QTest::keyClick(input, Qt::Key_Return);
  QTest::keyClick(input, Qt::Key_Return);
  QTest::keyClicks(input, QStringLiteral("6200000.000  6600000,000;150"));
  QTest::mouseClick(Child<QPushButton>(&window, "CmdStart"), Qt::LeftButton);

  const QStringList lines = Child<QPlainTextEdit>(&window, "Txt2")->toPlainText().split('\n');
  QCOMPARE(lines.size(), 3);
  QVERIFY(lines[1].isEmpty());  // the empty input line keeps its place
  QCOMPARE(lines[2], lines[0]);
  const QStringList fields = lines[0].split('\t');
  QCOMPARE(fields.size(), 3);
  QVERIFY2(std::abs(DmsSeconds(fields[0]) - latitude) <= 0.0001, qPrintable(fields[0]));  // 0.0001″
  QVERIFY2(std::abs(DmsSeconds(fields[1]) - longitude) <= 0.0001, qPrintable(fields[1]));
  QVERIFY2(std::abs(fields[2].trimmed().toDouble() - height) <= 0.001, qPrintable(fields[2]));  // 1 mm
  QVERIFY(platform.questions.empty());
  QVERIFY(platform.warnings.empty());
  // The model holds the same text with CR LF line ends.
  QCOMPARE(window.model().Txt2, korvagrid::gui::ToModelText(lines.join('\n')));
}

// A locale with the decimal comma writes results with it and reads both separators.
void MainWindowTest::decimalCommaOfTheLocale() {
  FakePlatform platform;
  MainWindow window(platform, ',');
  ChooseEntry(Child<QComboBox>(&window, "Combo1"), 8);   // "42(zone6)"
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), 10);  // "BLH(Kras)"
  Child<QPlainTextEdit>(&window, "Txt1")->setPlainText(
      QStringLiteral("6200000.0 6600000,0 150.25\n"));
  QTest::mouseClick(Child<QPushButton>(&window, "CmdStart"), Qt::LeftButton);
  const QStringList fields =
      Child<QPlainTextEdit>(&window, "Txt2")->toPlainText().split('\n').first().split('\t');
  QCOMPARE(fields.size(), 3);
  QVERIFY2(fields[0].startsWith(QStringLiteral("55°54'42,247")), qPrintable(fields[0]));
  QCOMPARE(fields[2], QStringLiteral("150,250 "));
}

void MainWindowTest::resultsScrollWithTheInput() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  window.resize(600, 300);
  QVERIFY(ShowActive(&window));
  auto* input = Child<QPlainTextEdit>(&window, "Txt1");
  QString list;
  for (int i = 0; i < 300; ++i) list += QStringLiteral("%1 250000.000 10.0\n").arg(6000000 + i);
  input->setPlainText(list);
  // Start from "63 (C2)" to "63 (C3)": every line has a result.
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), 1);
  QTest::mouseClick(Child<QPushButton>(&window, "CmdStart"), Qt::LeftButton);
  auto* output = Child<QPlainTextEdit>(&window, "Txt2");
  QVERIFY(output->verticalScrollBar()->maximum() >= 150);
  input->verticalScrollBar()->setValue(150);
  QCOMPARE(output->verticalScrollBar()->value(), 150);
}

enum class WhileFilling { Nothing, TypedAtTheEnd, WheelTurned, ReplacedByTheProgram };

void MainWindowTest::longListsShowAtOnceAndStayWhole_data() {
  QTest::addColumn<WhileFilling>("action");
  QTest::addColumn<qint64>("points");  // converted afterwards from the input box
  QTest::newRow("left alone") << WhileFilling::Nothing << qint64{30000};
  QTest::newRow("a line typed at the end") << WhileFilling::TypedAtTheEnd << qint64{30001};
  QTest::newRow("scrolled by the wheel") << WhileFilling::WheelTurned << qint64{30000};
  QTest::newRow("text replaced by the program") << WhileFilling::ReplacedByTheProgram << qint64{1};
}

// A list too long to take in at once shows its first lines while the box
// takes it in beside the window; whatever the user does meanwhile acts on
// the whole list, and the results opposite stay whole too.
void MainWindowTest::longListsShowAtOnceAndStayWhole() {
  QFETCH(WhileFilling, action);
  QFETCH(qint64, points);
  FakePlatform platform;
  MainWindow window(platform, '.');
  window.resize(600, 300);
  QVERIFY(ShowActive(&window));
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), 1);  // "63 (C2)" to "63 (C3)"
  QString list;
  for (int i = 0; i < 30000; ++i) list += QStringLiteral("%1 250000.000 10.0\n").arg(6000000 + i);
  const QString typed = QStringLiteral("6000000 250000 10");
  window.model().Txt1 = korvagrid::gui::ToModelText(list);
  window.refresh();
  auto* input = Child<QPlainTextEdit>(&window, "Txt1");
  QVERIFY(input->toPlainText().startsWith(QStringLiteral("6000000 250000.000 10.0\n")));

  QString expected = list;
  switch (action) {
    case WhileFilling::Nothing:
      break;
    case WhileFilling::TypedAtTheEnd:
      QTest::keyClick(input, Qt::Key_End, Qt::ControlModifier);
      QTest::keyClicks(input, typed);
      expected += typed;
      QVERIFY(input->toPlainText() == expected);  // at once, not QCOMPARE: 0.7 MB of text
      break;
    case WhileFilling::WheelTurned: {
      QWheelEvent wheel(QPointF(10, 10), input->viewport()->mapToGlobal(QPointF(10, 10)), {},
                        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(input->viewport(), &wheel);
      QCOMPARE(input->blockCount(), 30001);  // at once
      QVERIFY(input->verticalScrollBar()->value() > 0);
      break;
    }
    case WhileFilling::ReplacedByTheProgram:
      expected = typed;
      input->setPlainText(expected);
      break;
  }
  QTRY_VERIFY(!window.fillingTexts());
  QVERIFY(input->toPlainText() == expected);

  QTest::mouseClick(Child<QPushButton>(&window, "CmdStart"), Qt::LeftButton);
  QCOMPARE(window.model().lastRun.points, points);
  auto* output = Child<QPlainTextEdit>(&window, "Txt2");
  if (points > 20000) {
    // Scrolled beyond the first results, they are taken in whole at once.
    input->verticalScrollBar()->setValue(20000);
    QCOMPARE(output->verticalScrollBar()->value(), 20000);
  }
  QTRY_VERIFY(!window.fillingTexts());
  QVERIFY(output->toPlainText() == korvagrid::gui::ToWidgetText(window.model().Txt2));
}

void MainWindowTest::layoutOfTheWorkedSize() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  window.layoutTo(12000, 8000);
  const double dx = window.dpiX();
  const double dy = window.dpiY();
  const auto px = [dx, dy](TwipsRect r) { return korvagrid::gui::ToPixels(r, dx, dy); };
  // Both boxes 5590 × 6385, the start button between them, exit at the corner.
  QCOMPARE(Child<QWidget>(&window, "Txt1")->geometry(), px({0, 480, 5590, 6385}));
  QCOMPARE(Child<QWidget>(&window, "Txt2")->geometry(), px({6255, 480, 5590, 6385}));
  QCOMPARE(Child<QWidget>(&window, "Txt_Trap")->geometry(), px({6255, 480, 5590, 6385}));
  QCOMPARE(Child<QWidget>(&window, "CmdStart")->geometry(), px({5685, 580, 495, 6185}));
  QCOMPARE(Child<QWidget>(&window, "CmdExit")->geometry(), px({10020, 6920, 1815, 375}));
  QCOMPARE(Child<QWidget>(&window, "Toolbar1Spacer")->width(), px({0, 0, 5220, 0}).width());
  QCOMPARE(Child<QWidget>(&window, "Combo2")->x(), px({6755, 0, 0, 0}).x());
  QCOMPARE(Child<QWidget>(&window, "Combo6")->x(), px({7955, 0, 0, 0}).x());
  QCOMPARE(Child<QWidget>(&window, "Combo4")->x(), px({7955, 0, 0, 0}).x());
  QCOMPARE(Child<QWidget>(&window, "txtCount")->x(), px({9900, 0, 0, 0}).x());
  QCOMPARE(Child<QWidget>(&window, "Text1")->x(), px({10225, 0, 0, 0}).x());
}

void MainWindowTest::layoutAtW8000And8001() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  window.layoutTo(12000, 8000);
  window.layoutTo(8000, 6000);  // not above 8000: the spacer and the target group stay
  QCOMPARE(window.geometryTwips().spacerWidth, 5220.0);
  QCOMPARE(window.geometryTwips().Combo2.left, 6755.0);
  const int stayed = Child<QWidget>(&window, "Combo2")->x();
  window.layoutTo(8001, 6000);
  QCOMPARE(window.geometryTwips().spacerWidth, 3220.5);
  QCOMPARE(window.geometryTwips().Combo2.left, 4755.5);
  QVERIFY(Child<QWidget>(&window, "Combo2")->x() < stayed);
}

// The designed widths are for a small font; the window draws its twips large
// enough for the system font, keeping the designed proportions.
void MainWindowTest::selectorsShowTheirEntriesWhole() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  QVERIFY(ShowActive(&window));
  QVERIFY(window.dpiX() >= window.logicalDpiX());
  QCOMPARE(window.dpiX() / window.logicalDpiX(), window.dpiY() / window.logicalDpiY());
  for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5", "Combo6"}) {
    auto* combo = Child<QComboBox>(&window, name);
    QVERIFY2(combo->width() + 1 >= combo->sizeHint().width(), name);  // 1 px of rounding
  }
}

void MainWindowTest::resizeKeepsTrapezoidBoxOnResultBox() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  QVERIFY(ShowActive(&window));
  for (const QSize size : {QSize(900, 600), QSize(500, 300), QSize(1200, 700)}) {
    window.resize(size);
    QCoreApplication::processEvents();
    const double W = window.outerWidthTwips();
    const double H = window.outerHeightTwips();
    // The client area converted back into the outer size the rules expect.
    QCOMPARE(window.geometryTwips().Txt1.width, (W - 820) * 0.5);
    QCOMPARE(window.geometryTwips().Txt1.height, H - 1615);
    QCOMPARE(window.geometryTwips().CmdExit.left, W - 1980);
    QCOMPARE(Child<QWidget>(&window, "Txt_Trap")->geometry(),
             Child<QWidget>(&window, "Txt2")->geometry());
  }
}

void MainWindowTest::counterKeysThroughTheModel() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  Child<QAction>(&window, "mnu_ctr_count")->trigger();
  auto* count = Child<QLineEdit>(&window, "txtCount");
  QVERIFY(!count->isHidden());
  QVERIFY(!Child<QWidget>(&window, "Text1")->isHidden());
  QVERIFY(Child<QAction>(&window, "mnu_ctr_count")->isChecked());
  count->clear();
  // Two digits at most: the third is refused with a beep, a letter too.
  QTest::keyClicks(count, QStringLiteral("123"));
  QCOMPARE(count->text(), QStringLiteral("12"));
  QCOMPARE(platform.beeps, 1);
  QTest::keyClick(count, Qt::Key_Backspace);
  QTest::keyClicks(count, QStringLiteral("x"));
  QCOMPARE(count->text(), QStringLiteral("1"));
  QCOMPARE(platform.beeps, 2);
  QCOMPARE(window.model().txtCount, std::string("1"));
}

void MainWindowTest::droppedFileOpens() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("points.txt"));
  {
    std::ofstream file(path.toStdString(), std::ios::binary);
    file << "P1\t6200000 6600000 150\r\nP2 6200100 6600100 151\r\n";
  }
  FakePlatform platform;
  MainWindow window(platform, '.');
  auto* input = Child<QPlainTextEdit>(&window, "Txt1");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  // The drag enters the input box (which takes it as a file), then drops.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(input->viewport(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(input->viewport(), &drop);
  QVERIFY(drop.isAccepted());
  // Opened as "Open..." opens: TAB as two spaces, every line with its line end.
  QCOMPARE(input->toPlainText(), QStringLiteral("P1  6200000 6600000 150\nP2 6200100 6600100 151\n"));
  QVERIFY(window.windowTitle().endsWith(QStringLiteral("points.txt")));
  QCOMPARE(window.model().documentName, path.toStdString());
  QVERIFY(platform.openRequests.empty());  // no dialog for a dropped file
}

void MainWindowTest::exitEndsWithoutQuestions_data() {
  QTest::addColumn<QString>("command");
  QTest::newRow("menu item E&xit") << "mnuExit";
  QTest::newRow("Exit button") << "CmdExit";
  QTest::newRow("close box") << "close";
}

// Ends the program by `command`: "mnuExit", "CmdExit" or "close" (the close box).
void EndBy(MainWindow& window, const QString& command) {
  if (command == QLatin1String("mnuExit")) {
    Child<QAction>(&window, "mnuExit")->trigger();
  } else if (command == QLatin1String("CmdExit")) {
    QTest::mouseClick(Child<QPushButton>(&window, "CmdExit"), Qt::LeftButton);
  } else {
    window.close();
  }
}

// Input as it was opened, and results, which can always be computed again:
// the program ends at once.
void MainWindowTest::exitEndsWithoutQuestions() {
  QFETCH(QString, command);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("points.txt"));
  std::ofstream(path.toStdString(), std::ios::binary) << "6200000 250000 10\r\n";
  FakePlatform platform;
  MainWindow window(platform, '.');
  QVERIFY(ShowActive(&window));
  platform.openChoices.push_back(ChosenFile{path.toStdString(), "points.txt"});
  Child<QAction>(&window, "mnuOpen")->trigger();
  QTest::mouseClick(Child<QPushButton>(&window, "CmdStart"), Qt::LeftButton);
  QVERIFY(!Child<QPlainTextEdit>(&window, "Txt2")->toPlainText().isEmpty());
  QTest::keyClicks(Child<QPlainTextEdit>(&window, "Txt2"), QStringLiteral("edited results"));
  platform.questions.clear();
  EndBy(window, command);
  QVERIFY(!window.isVisible());
  QVERIFY(platform.questions.empty());
  QVERIFY(platform.threeWayQuestions.empty());
  QVERIFY(platform.warnings.empty());
  QVERIFY(platform.saveRequests.empty());
}

void MainWindowTest::exitWithEditedInputAsks_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<int>("answer");  // korvagrid::Answer
  QTest::addColumn<bool>("fileChosen");
  QTest::addColumn<bool>("ends");
  QTest::newRow("close box, No: ends unsaved")
      << "close" << int(Answer::No) << false << true;
  QTest::newRow("close box, Cancel: keeps running")
      << "close" << int(Answer::Cancel) << false << false;
  QTest::newRow("Exit button, Yes, file chosen: saved and ends")
      << "CmdExit" << int(Answer::Yes) << true << true;
  QTest::newRow("menu item, Yes, save dialog cancelled: keeps running")
      << "mnuExit" << int(Answer::Yes) << false << false;
}

void MainWindowTest::exitWithEditedInputAsks() {
  QFETCH(QString, command);
  QFETCH(int, answer);
  QFETCH(bool, fileChosen);
  QFETCH(bool, ends);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("typed.txt"));
  FakePlatform platform;
  MainWindow window(platform, '.');
  QVERIFY(ShowActive(&window));
  // Typed into the box: the model learns of it only when the program ends.
  QTest::keyClicks(Child<QPlainTextEdit>(&window, "Txt1"), QStringLiteral("6200000 250000 10"));
  platform.threeWayAnswers.push_back(static_cast<Answer>(answer));
  if (fileChosen) platform.saveChoices.push_back(ChosenFile{path.toStdString(), "typed.txt"});
  EndBy(window, command);
  QCOMPARE(platform.threeWayQuestions.size(), std::size_t{1});
  QCOMPARE(QString::fromStdString(platform.threeWayQuestions[0].text),
           QStringLiteral("Сохранить изменения?"));
  QCOMPARE(window.isVisible(), !ends);
  QCOMPARE(QFile::exists(path), fileChosen);
  if (fileChosen) QCOMPARE(window.windowTitle(), QStringLiteral("XY/XY : typed.txt"));
}

void MainWindowTest::runShowsItsLineAtQuestionsAndWarnings_data() {
  QTest::addColumn<int>("lines");
  QTest::addColumn<int>("stopLine");
  QTest::addColumn<bool>("question");  // else: a line that cannot be read, a warning
  QTest::newRow("question at line 3 of 5") << 5 << 3 << true;
  QTest::newRow("failure at line 2 of 4") << 4 << 2 << false;
  QTest::newRow("question at line 100 001 of 200 000") << 200000 << 100001 << true;
}

// Regression: while a run asked or warned, the result box still showed the
// previous run's results, and the line in question was nowhere to be seen.
void MainWindowTest::runShowsItsLineAtQuestionsAndWarnings() {
  QFETCH(int, lines);
  QFETCH(int, stopLine);
  QFETCH(bool, question);
  WatchingPlatform platform;
  MainWindow window(platform, '.');
  korvagrid::gui::ConnectPlatform(platform, window);
  QVERIFY(ShowActive(&window));
  ChooseEntry(Child<QComboBox>(&window, "Combo1"), 1);  // "63 (C3)"
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), 1);
  const QString good = QStringLiteral("6210000 345678.9 1\n");
  const QString bad = question ? QStringLiteral("310000 345678.9 1\n")     // X too short: asks
                               : QStringLiteral("6210000 1.2.3 1\n");      // cannot be read
  auto* input = Child<QPlainTextEdit>(&window, "Txt1");
  auto* output = Child<QPlainTextEdit>(&window, "Txt2");
  input->setPlainText(good.repeated(stopLine - 1) + bad + good.repeated(lines - stopLine));
  output->setPlainText(QStringLiteral("previous results"));

  QString shownResults;
  int selectedLine = -1;
  QString selectedText;
  bool lineInView = false;
  bool resultsOpposite = false;
  platform.atMessage = [&] {
    shownResults = output->toPlainText();
    const QTextCursor cursor = input->textCursor();
    selectedLine = cursor.block().blockNumber() + 1;
    selectedText = cursor.selectedText();
    lineInView = input->viewport()->rect().contains(input->cursorRect());
    resultsOpposite = output->verticalScrollBar()->value() == input->verticalScrollBar()->value();
  };
  QTest::mouseClick(Child<QPushButton>(&window, "CmdStart"), Qt::LeftButton);
  QCOMPARE(platform.messages, 1);
  QVERIFY(shownResults == Results(stopLine - 1));  // not QCOMPARE: 3 MB of text
  QCOMPARE(selectedLine, stopLine);
  QCOMPARE(selectedText + QStringLiteral("\n"), bad);
  QVERIFY(lineInView);
  QVERIFY(resultsOpposite);
  // The line stays selected and in view after the run has stopped there.
  QCOMPARE(input->textCursor().block().blockNumber() + 1, stopLine);
  QVERIFY(input->textCursor().hasSelection());
  QVERIFY(input->viewport()->rect().contains(input->cursorRect()));
  QCOMPARE(window.model().selectedInputLine, std::int64_t{stopLine});
}

// Every item of a menu, submenus included, has a mnemonic of its own there.
void MainWindowTest::mnemonicsAreDistinctInEachMenu() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  std::vector<QList<QAction*>> menus = {window.menuBar()->actions()};
  for (const QMenu* menu : window.findChildren<QMenu*>()) menus.push_back(menu->actions());
  for (const QList<QAction*>& actions : menus) {
    std::set<QString> letters;
    for (const QAction* action : actions) {
      if (action->isSeparator()) continue;
      const QString text = action->text();
      const qsizetype at = text.indexOf(QLatin1Char('&'));
      QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
      QVERIFY2(letters.insert(text.mid(at + 1, 1).toLower()).second, qPrintable(text));
    }
  }
}

void MainWindowTest::formatGroupsAreExclusiveRadioItems() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  for (const char* name : {"mnuFBegin", "mnuFBeginX", "mnuFExit", "mnuFExitX"}) {
    const QList<QAction*> items = Child<QMenu>(&window, name)->actions();
    const QActionGroup* group = items.first()->actionGroup();
    QVERIFY2(group != nullptr, name);
    QCOMPARE(group->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
    QCOMPARE(group->actions(), items);
  }
  // The checks still come from the model: choosing "M64" as target leaves
  // only the standard style, checked and the other two disabled.
  Child<QAction>(&window, "MaxEnd")->trigger();
  QVERIFY(Child<QAction>(&window, "MaxEnd")->isChecked());
  QVERIFY(!Child<QAction>(&window, "StandEnd")->isChecked());
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), 3);
  QVERIFY(Child<QAction>(&window, "StandEnd")->isChecked());
  QVERIFY(!Child<QAction>(&window, "MaxEnd")->isChecked());
  QVERIFY(!Child<QAction>(&window, "MaxEnd")->isEnabled());
}

void MainWindowTest::ctrlEnterStartsTheRunWhileTyping() {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    FakePlatform platform;
    MainWindow window(platform, '.');
    QVERIFY(ShowActive(&window));
    ChooseEntry(Child<QComboBox>(&window, "Combo1"), 1);
    ChooseEntry(Child<QComboBox>(&window, "Combo2"), 1);
    auto* input = Child<QPlainTextEdit>(&window, "Txt1");
    input->setFocus();
    QTest::keyClicks(input, QStringLiteral("6210000 345678.9 1"));
    QTest::keyClick(input, key, Qt::ControlModifier);
    QCOMPARE(input->toPlainText(), QStringLiteral("6210000 345678.9 1"));  // no line break typed
    QCOMPARE(Child<QPlainTextEdit>(&window, "Txt2")->toPlainText(), Results(1).chopped(1));
  }
}

void MainWindowTest::resultColumnsLineUp_data() {
  QTest::addColumn<int>("target");
  QTest::addColumn<QString>("format");  // the output item chosen
  QTest::newRow("WGS-84 in degrees, minutes, seconds") << 11 << "mnugms2_";
  QTest::newRow("BLH(Kras) in decimal degrees") << 10 << "mnuGGG";
  QTest::newRow("BLH(Kras) packed") << 10 << "mnugms1_";
  QTest::newRow("42(zone7) plane, full") << 9 << "MaxEnd";
}

// Regression: an angle crossing a tab stop shifted the next column.
void MainWindowTest::resultColumnsLineUp() {
  QFETCH(int, target);
  QFETCH(QString, format);
  FakePlatform platform;
  MainWindow window(platform, '.');
  QVERIFY(ShowActive(&window));
  ChooseEntry(Child<QComboBox>(&window, "Combo1"), 8);  // "42(zone6)"
  ChooseEntry(Child<QComboBox>(&window, "Combo3"), 1);  // names in
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), target);
  ChooseEntry(Child<QComboBox>(&window, target == 9 ? "Combo4" : "Combo6"), 1);  // names out
  Child<QAction>(&window, format.toLatin1().constData())->trigger();
  Child<QPlainTextEdit>(&window, "Txt1")->setPlainText(QStringLiteral(
      "P1 6200000 6600000 150\n"
      "Пункт-длинный 5650000.5 6300000.25 -12.5\n"
      "A 6999999.999 6999999.999 1234.567"));
  QTest::mouseClick(Child<QPushButton>(&window, "CmdStart"), Qt::LeftButton);
  auto* output = Child<QPlainTextEdit>(&window, "Txt2");
  // The x position at which each field of a line starts.
  const auto fieldStarts = [output](int line) {
    QList<int> starts;
    const QTextBlock block = output->document()->findBlockByNumber(line);
    const QString text = block.text();
    for (qsizetype i = 0; i <= text.size(); ++i) {
      if (i > 0 && text[i - 1] != QLatin1Char('\t')) continue;
      QTextCursor cursor(block);
      cursor.setPosition(block.position() + static_cast<int>(i));
      starts << output->cursorRect(cursor).left();
    }
    return starts;
  };
  QCOMPARE(output->document()->blockCount(), 3);
  QCOMPARE(fieldStarts(0).size(), 4);  // name, two coordinates, height
  QCOMPARE(fieldStarts(1), fieldStarts(0));
  QCOMPARE(fieldStarts(2), fieldStarts(0));
}

// Regression: at the size the window opens with, the height column of a
// named result in degrees, minutes and seconds was cut off.
void MainWindowTest::defaultSizeShowsANamedResultWhole() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  QVERIFY(ShowActive(&window));
  ChooseEntry(Child<QComboBox>(&window, "Combo1"), 8);   // "42(zone6)"
  ChooseEntry(Child<QComboBox>(&window, "Combo3"), 1);
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), 11);  // "WGS-84"
  ChooseEntry(Child<QComboBox>(&window, "Combo6"), 1);
  Child<QPlainTextEdit>(&window, "Txt1")->setPlainText(
      QStringLiteral("Пункт-12 6200000 6600000 1150"));
  QTest::mouseClick(Child<QPushButton>(&window, "CmdStart"), Qt::LeftButton);
  auto* output = Child<QPlainTextEdit>(&window, "Txt2");
  QVERIFY(output->toPlainText().endsWith(QStringLiteral("\t1165.814 ")));
  QCoreApplication::processEvents();
  QCOMPARE(output->horizontalScrollBar()->maximum(), 0);  // nothing to scroll to
}

void MainWindowTest::minimumSizeKeepsTheTopRowInView() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  Child<QAction>(&window, "mnu_ctr_count")->trigger();  // the counter and its label too
  QVERIFY(ShowActive(&window));
  window.resize(100, 100);
  QCoreApplication::processEvents();
  const QWidget* client = Child<QWidget>(&window, "client");
  QVERIFY(client->width() > 100);
  for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo4", "txtCount", "Text1"}) {
    QVERIFY2(client->rect().contains(Child<QWidget>(&window, name)->geometry()), name);
  }
  // The map button at the end of the row is in view and not under the label.
  auto* toolbar = Child<QToolBar>(&window, "Toolbar1");
  const QWidget* map = toolbar->widgetForAction(Child<QAction>(&window, "Map"));
  QVERIFY(map->isVisible());
  const QRect mapRect(map->mapTo(client, QPoint(0, 0)), map->size());
  QVERIFY(client->rect().contains(mapRect));
  QVERIFY(!mapRect.intersects(Child<QWidget>(&window, "Text1")->geometry()));
}

// The parameter set and the heights mode: radio items, the status bar, and
// remembered between sessions.
void MainWindowTest::datumChoicesShowInTheStatusBarAndAreRemembered() {
  QTemporaryDir dir;
  QSettings remembered(dir.filePath(QStringLiteral("korvagrid.ini")), QSettings::IniFormat);
  {
    FakePlatform platform;
    MainWindow window(platform, '.');
    window.rememberChoicesIn(&remembered);
    auto* status = Child<QLabel>(&window, "datumStatus");
    QVERIFY(status->text().contains(QStringLiteral("Прежние параметры программы")));
    QVERIFY(Child<QAction>(&window, "mnuShiftClassic")->isChecked());
    Child<QAction>(&window, "mnuShiftGost2008")->trigger();
    Child<QAction>(&window, "mnuHeightsKeep")->trigger();
    QCOMPARE(window.model().datumShift, korvagrid::DatumShiftKey::Gost2008);
    QCOMPARE(window.model().heights, korvagrid::HeightsMode::Keep);
    QVERIFY(!Child<QAction>(&window, "mnuShiftClassic")->isChecked());
    QCOMPARE(status->text(), QStringLiteral("СК-42 ↔ WGS-84: ГОСТ Р 51794-2008 (EPSG:5044), высоты сохраняются"));
    // Shown, and wide enough to be read at the size the window opens with.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(status->isVisible());
    QVERIFY(status->width() >= status->fontMetrics().horizontalAdvance(status->text()));
  }
  FakePlatform platform;
  MainWindow next(platform, '.');
  next.rememberChoicesIn(&remembered);
  QCOMPARE(next.model().datumShift, korvagrid::DatumShiftKey::Gost2008);
  QVERIFY(Child<QAction>(&next, "mnuHeightsKeep")->isChecked());
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
