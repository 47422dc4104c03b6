// The dialogs driven through their widgets: the own-system editor opened by
// the first choice of the own entry, its keystroke filters and field
// normalisation, the help window with its path file, and the waypoint options.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <fstream>
#include <sstream>

#include "binding.h"
#include "gui_test_support.h"
#include "helpwindow.h"
#include "mainwindow.h"
#include "mysistdialog.h"
#include "ozidialog.h"
#include "support/fake_platform.h"
#include "ui/fmozi.h"
#include "ui/frmhelp.h"
#include "ui/mysist.h"

using korvagrid::DialogEnd;
using korvagrid::FmOziModel;
using korvagrid::FrmHelpModel;
using korvagrid::MySistModel;
using korvagrid::gui::HelpWindow;
using korvagrid::gui::MainWindow;
using korvagrid::gui::MySistDialog;
using korvagrid::gui::OziDialog;
using korvagrid::testing::Child;
using korvagrid::testing::ChooseEntry;
using korvagrid::testing::FakePlatform;
using korvagrid::testing::ShowActive;

namespace {

std::string ReadBytes(const QString& path) {
  std::ifstream file(path.toStdString(), std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// Moves the focus into a field as the user does, and lets its text be selected.
void Enter(QLineEdit* edit) {
  edit->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
}

// Leaves a field with the Tab key.
void LeaveByTab(QLineEdit* edit) {
  QTest::keyClick(edit, Qt::Key_Tab);
  QCoreApplication::processEvents();
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void firstChoiceOfOwnEntryOpensEditorAndRelabels();
  void closingEditorRestoresInitialName();
  void keystrokeFilters_data();
  void keystrokeFilters();
  void enteringFieldSelectsItsText();
  void leavingFieldsNormalises();
  void helpCreatesPathFileAndShowsTask();
  void helpBrowseStoresChosenDocument();
  void helpLayoutOfTheWorkedSize();
  void waypointOptions();
};

void DialogsTest::firstChoiceOfOwnEntryOpensEditorAndRelabels() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  QVERIFY(ShowActive(&window));
  bool dialogActive = false;
  QString title;
  bool datumLooksReadOnly = false;
  platform.onMySist = [&](MySistModel& model) {
    MySistDialog dialog(model, platform, &window);
    dialogActive = ShowActive(&dialog);
    title = dialog.windowTitle();
    // The datum is shown, not edited: it is drawn on the dialog's background.
    const auto* datum = Child<QLineEdit>(&dialog, "Text6");
    datumLooksReadOnly = datum->isReadOnly() && datum->palette().color(QPalette::Base) ==
                                                    dialog.palette().color(QPalette::Window);
    auto* name = Child<QLineEdit>(&dialog, "NameMy");
    Enter(name);
    QTest::keyClicks(name, QStringLiteral("Local-1"));  // replaces the selected name
    QTest::mouseClick(Child<QPushButton>(&dialog, "OKButton"), Qt::LeftButton);
    return dialog.result() == QDialog::Accepted ? DialogEnd::Ok : DialogEnd::Closed;
  };

  auto* source = Child<QComboBox>(&window, "Combo1");
  auto* target = Child<QComboBox>(&window, "Combo2");
  ChooseEntry(source, 18);
  QVERIFY(dialogActive);
  QCOMPARE(platform.mySistShown, 1);
  QCOMPARE(title, QStringLiteral("Своя система координат"));
  QVERIFY(datumLooksReadOnly);
  // Both lists carry the new name; the source keeps the own entry selected,
  // the target stays where it was.
  QCOMPARE(source->itemText(18), QStringLiteral("Local-1"));
  QCOMPARE(target->itemText(18), QStringLiteral("Local-1"));
  QCOMPARE(source->currentIndex(), 18);
  QCOMPARE(target->currentIndex(), 0);
  QVERIFY(Child<QAction>(&window, "mnuMySist")->isEnabled());
  QCOMPARE(window.model().MySistState, 2);

  // Choosing the own entry again does not open the editor.
  ChooseEntry(target, 18);
  QCOMPARE(platform.mySistShown, 1);
  QCOMPARE(target->currentIndex(), 18);
}

void DialogsTest::closingEditorRestoresInitialName() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  platform.onMySist = [&](MySistModel& model) {
    MySistDialog dialog(model, platform, &window);
    ShowActive(&dialog);
    auto* name = Child<QLineEdit>(&dialog, "NameMy");
    Enter(name);
    QTest::keyClicks(name, QStringLiteral("Temp"));
    LeaveByTab(name);
    dialog.close();  // the window's close command, not OK
    return dialog.result() == QDialog::Accepted ? DialogEnd::Ok : DialogEnd::Closed;
  };
  ChooseEntry(Child<QComboBox>(&window, "Combo2"), 18);
  QCOMPARE(platform.mySistShown, 1);
  QCOMPARE(Child<QComboBox>(&window, "Combo1")->itemText(18), QStringLiteral("63(C 3.5)"));
  QCOMPARE(Child<QComboBox>(&window, "Combo2")->itemText(18), QStringLiteral("63(C 3.5)"));
  QCOMPARE(Child<QComboBox>(&window, "Combo2")->currentIndex(), 18);
  QCOMPARE(window.model().ownSystem.NameMy, std::string("63(C 3.5)"));
}

void DialogsTest::keystrokeFilters_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("expected");
  QTest::addColumn<int>("beeps");
  // Each field is entered first, which selects its text: typing replaces it.
  QTest::newRow("degrees take digits") << "T1" << "45" << "45" << 0;
  QTest::newRow("a letter in degrees is refused") << "T1" << "a" << "32" << 1;
  QTest::newRow("minutes refuse a separator") << "M1" << "1.5" << "15" << 1;
  QTest::newRow("seconds take the separator") << "S1" << "12.5" << "12.5" << 0;
  QTest::newRow("seconds refuse the minus sign") << "S1" << "-7" << "7" << 1;
  QTest::newRow("false east may be negative") << "dYmy" << "-100.5" << "-100.5" << 0;
  QTest::newRow("false north refuses letters") << "dXmy" << "1e5" << "15" << 1;
  QTest::newRow("an eleventh name character is refused") << "NameMy" << "ABCDEFGHIJK"
                                                          << "ABCDEFGHIJ" << 1;
}

void DialogsTest::keystrokeFilters() {
  QFETCH(QString, field);
  QFETCH(QString, typed);
  QFETCH(QString, expected);
  QFETCH(int, beeps);
  korvagrid::MySistFields own = korvagrid::InitialMySistFields('.');
  MySistModel model(own, '.');
  FakePlatform platform;
  MySistDialog dialog(model, platform);
  QVERIFY(ShowActive(&dialog));
  auto* edit = dialog.findChild<QLineEdit*>(field);
  QVERIFY(edit != nullptr);
  Enter(edit);
  QTest::keyClicks(edit, typed);
  QCOMPARE(edit->text(), expected);
  QCOMPARE(platform.beeps, beeps);
}

void DialogsTest::enteringFieldSelectsItsText() {
  korvagrid::MySistFields own = korvagrid::InitialMySistFields('.');
  MySistModel model(own, '.');
  FakePlatform platform;
  MySistDialog dialog(model, platform);
  QVERIFY(ShowActive(&dialog));
  // Tab order: name, degrees, minutes, seconds, false east, false north.
  auto* name = Child<QLineEdit>(&dialog, "NameMy");
  Enter(name);
  QCOMPARE(name->selectedText(), QStringLiteral("63(C 3.5)"));
  const QStringList order = {"T1", "M1", "S1", "dYmy", "dXmy"};
  QLineEdit* current = name;
  for (const QString& next : order) {
    LeaveByTab(current);
    current = dialog.findChild<QLineEdit*>(next);
    QVERIFY2(current->hasFocus(), qPrintable(next));
    QCOMPARE(current->selectedText(), current->text());
  }
  LeaveByTab(current);
  QVERIFY(Child<QPushButton>(&dialog, "OKButton")->hasFocus());
}

void DialogsTest::leavingFieldsNormalises() {
  korvagrid::MySistFields own = korvagrid::InitialMySistFields('.');
  MySistModel model(own, '.');
  FakePlatform platform;
  MySistDialog dialog(model, platform);
  QVERIFY(ShowActive(&dialog));

  // Minutes above 59 are warned about and kept as typed.
  auto* minutes = Child<QLineEdit>(&dialog, "M1");
  Enter(minutes);
  QTest::keyClicks(minutes, QStringLiteral("75"));
  LeaveByTab(minutes);
  QCOMPARE(platform.warnings.size(), std::size_t{1});
  QCOMPARE(platform.warnings[0].text, std::string("Значение больше 59"));
  QCOMPARE(platform.warnings[0].title, std::string("Ай-ай-ай"));
  QCOMPARE(minutes->text(), QStringLiteral("75"));

  // An emptied degrees field becomes 00; a short one gets its leading zero.
  auto* degrees = Child<QLineEdit>(&dialog, "T1");
  Enter(degrees);
  QTest::keyClick(degrees, Qt::Key_Backspace);
  LeaveByTab(degrees);
  QCOMPARE(degrees->text(), QStringLiteral("00"));
  Enter(degrees);
  QTest::keyClicks(degrees, QStringLiteral("5"));
  LeaveByTab(degrees);
  QCOMPARE(degrees->text(), QStringLiteral("05"));

  // An emptied seconds field takes the initial seconds text; false east gets three decimals.
  auto* seconds = Child<QLineEdit>(&dialog, "S1");
  Enter(seconds);
  QTest::keyClick(seconds, Qt::Key_Backspace);
  LeaveByTab(seconds);
  QCOMPARE(seconds->text(), QStringLiteral("00.0000"));
  auto* east = Child<QLineEdit>(&dialog, "dYmy");
  Enter(east);
  QTest::keyClicks(east, QStringLiteral("250000"));
  LeaveByTab(east);
  QCOMPARE(east->text(), QStringLiteral("250000.000"));

  // A blank name makes OK unavailable; a keystroke in the name brings it back.
  auto* name = Child<QLineEdit>(&dialog, "NameMy");
  auto* ok = Child<QPushButton>(&dialog, "OKButton");
  Enter(name);
  QTest::keyClick(name, Qt::Key_Backspace);
  LeaveByTab(name);
  QVERIFY(!ok->isEnabled());
  Enter(name);
  QTest::keyClicks(name, QStringLiteral("K"));
  QVERIFY(ok->isEnabled());
  QCOMPARE(model.own().NameMy, std::string("K"));
}

void DialogsTest::helpCreatesPathFileAndShowsTask() {
  QTemporaryDir dir;
  QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("HELP")));
  QVERIFY(QFile::copy(QStringLiteral(KORVAGRID_SOURCE_DIR "/HELP/Spravka.htm"),
                      dir.filePath(QStringLiteral("HELP/Spravka.htm"))));
  FakePlatform platform;
  MainWindow window(platform, '.');
  QVERIFY(ShowActive(&window));  // F1 reaches the active window
  window.model().currentDirectory = dir.path().toStdString();

  QString title, toolTip, shownFile, fragment, text;
  platform.onHelp = [&](FrmHelpModel& model) {
    HelpWindow help(model, platform, &window);
    title = help.windowTitle();
    toolTip = Child<QPushButton>(&help, "cmdBrows")->toolTip();
    auto* browser = Child<QTextBrowser>(&help, "WebBr");
    shownFile = browser->source().toLocalFile();
    fragment = browser->source().fragment();
    text = browser->toPlainText();
    QTest::mouseClick(Child<QPushButton>(&help, "CmdExit"), Qt::LeftButton);
  };
  QTest::keyClick(&window, Qt::Key_F1);
  QCOMPARE(platform.helpShown, 1);

  // The path file names the default document with its final point, in one line.
  const QString expectedPath = dir.path() + QStringLiteral("/HELP/Spravka.htm.");
  QCOMPARE(QString::fromStdString(ReadBytes(dir.filePath(QStringLiteral("Spr.pth")))),
           expectedPath + QStringLiteral("\r\n"));
  QCOMPARE(title, QStringLiteral("СПРАВКА:  ") + expectedPath);
  QCOMPARE(toolTip, QStringLiteral("Вероятный путь к справке:  ") + expectedPath);
  // The view opened the document itself, without the point, at "Task".
  QCOMPARE(shownFile, dir.filePath(QStringLiteral("HELP/Spravka.htm")));
  QCOMPARE(fragment, QStringLiteral("Task"));
  QVERIFY(text.contains(QStringLiteral("Решение задач")));
  QVERIFY(ReadBytes(shownFile).find("<a name=\"Task\">") != std::string::npos);
}

void DialogsTest::helpBrowseStoresChosenDocument() {
  QTemporaryDir dir;
  const QString other = dir.filePath(QStringLiteral("other.htm"));
  {
    std::ofstream file(other.toStdString(), std::ios::binary);
    file << "<html><body><a name=\"Task\"></a><p>Другая справка</p></body></html>";
  }
  FakePlatform platform;
  platform.openChoices.push_back(korvagrid::ChosenFile{other.toStdString(), "other.htm"});
  FrmHelpModel model(dir.path().toStdString());
  model.flHelp = "Task";
  model.load();
  HelpWindow help(model, platform);
  const QString titleBefore = help.windowTitle();
  QTest::mouseClick(Child<QPushButton>(&help, "cmdBrows"), Qt::LeftButton);

  QCOMPARE(platform.openRequests.size(), std::size_t{1});
  QCOMPARE(platform.openRequests[0].title, std::string("Найдите файл справки самостоятельно:"));
  QCOMPARE(platform.openRequests[0].filter, std::string("Файлы *.htm|*.htm"));
  QCOMPARE(QString::fromStdString(ReadBytes(dir.filePath(QStringLiteral("Spr.pth")))),
           other + QStringLiteral("\r\n"));
  auto* browser = Child<QTextBrowser>(&help, "WebBr");
  QCOMPARE(browser->source().toLocalFile(), other);
  QVERIFY(browser->toPlainText().contains(QStringLiteral("Другая справка")));
  QCOMPARE(help.windowTitle(), titleBefore);  // the title keeps the earlier path
}

void DialogsTest::helpLayoutOfTheWorkedSize() {
  QTemporaryDir dir;
  FakePlatform platform;
  FrmHelpModel model(dir.path().toStdString());
  model.load();
  HelpWindow help(model, platform);
  help.layoutTo(9000, 7000);
  const auto px = [&help](korvagrid::TwipsRect r) {
    return korvagrid::gui::ToPixels(r, help.logicalDpiX(), help.logicalDpiY());
  };
  QCOMPARE(Child<QWidget>(&help, "WebBr")->geometry(), px({0, 0, 8900, 6100}));
  QCOMPARE(Child<QWidget>(&help, "cmdBrows")->geometry(), px({5600, 6200, 1575, 375}));
  QCOMPARE(Child<QWidget>(&help, "CmdExit")->geometry(), px({7300, 6200, 1575, 375}));
  QCOMPARE(Child<QPushButton>(&help, "cmdBrows")->text(), QStringLiteral("Обзор"));
  QCOMPARE(Child<QPushButton>(&help, "CmdExit")->text(), QStringLiteral("Закрыть"));
}

void DialogsTest::waypointOptions() {
  FakePlatform platform;
  MainWindow window(platform, '.');
  Child<QAction>(&window, "mnu_ctr_count")->trigger();
  Child<QLineEdit>(&window, "txtCount")->setText(QStringLiteral("3"));
  QString title, placement, fontSize;
  platform.colourChoices.push_back(255);  // red 255, green 0, blue 0
  platform.onFmOzi = [&](FmOziModel& model) {
    OziDialog dialog(model, platform, &window);
    title = dialog.windowTitle();
    placement = Child<QComboBox>(&dialog, "Combo1")->currentText();
    fontSize = Child<QComboBox>(&dialog, "Combo2")->currentText();
    ChooseEntry(Child<QComboBox>(&dialog, "Combo1"), 5);  // "Справа-слева"
    QTest::mouseClick(Child<QPushButton>(&dialog, "cmdColor"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(&dialog, "OKButton"), Qt::LeftButton);
    return dialog.result() == QDialog::Accepted ? DialogEnd::Ok : DialogEnd::Closed;
  };
  Child<QAction>(&window, "fOzi")->trigger();
  QCOMPARE(title, QStringLiteral("Ozi-Properties"));
  QCOMPARE(placement, QStringLiteral("Над точкой"));
  QCOMPARE(fontSize, QStringLiteral("  8"));
  QVERIFY(Child<QAction>(&window, "fOzi")->isChecked());
  // Waypoint files get no extra empty lines.
  QCOMPARE(Child<QLineEdit>(&window, "txtCount")->text(), QStringLiteral("0"));
  const korvagrid::WaypointOptions settings = window.model().oziSettings();
  QCOMPARE(settings.placementIndex, std::int16_t{5});
  QCOMPARE(settings.backgroundColour, 255);
  QCOMPARE(settings.fontSizeText, std::string("  8"));
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
