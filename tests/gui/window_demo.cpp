// Drives the real main window through a whole conversion, for the README's
// screenshot and for timing long lists; not a test.
//
//   korvagrid_window_demo show FILE SECONDS
//       opens FILE as "Open..." does, converts it from "42(zone6)" to "WGS-84"
//       and keeps the window on screen for SECONDS.
//   korvagrid_window_demo help SECONDS
//       opens the help as F1 does (from the current directory) for SECONDS.
//   korvagrid_window_demo time LINES
//       writes a list of LINES "42(zone6)" points, then times opening it,
//       converting it to "WGS-84" and drawing the result in the window, the
//       boxes taking in the whole texts, and then showing it on the map
//       ("Tasks" → "Карта").
//   korvagrid_window_demo shot FILE TARGET FORMAT PNG
//       opens FILE, a list of named "42(zone6)" points, converts it with the
//       names to target list entry TARGET written as Format item FORMAT (for
//       instance 11 mnugms2_, 10 mnuGGG, 9 MaxEnd), in the window at the size
//       it opens with, and saves a picture of the window to PNG.
//   korvagrid_window_demo map FILE LINE SECONDS
//       opens FILE, a list of named "42(zone6)" points, converts it, opens
//       the map window from "Tasks" → "Карта" at the top left corner of the
//       screen (1000 × 680), puts the input cursor on LINE so that its marker
//       is ringed, and keeps the windows on screen for SECONDS.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "binding.h"
#include "mainwindow.h"
#include "qtplatform.h"

namespace {

using korvagrid::ChosenFile;
using korvagrid::FileDialogOptions;

constexpr int kZone6 = 8;   // "42(zone6)"
constexpr int kWgs84 = 11;  // "WGS-84"

// The Qt platform, with the open dialog answered by the file to show.
class ScriptedPlatform : public korvagrid::gui::QtPlatform {
 public:
  explicit ScriptedPlatform(ChosenFile file) : file_(std::move(file)) {}
  std::optional<ChosenFile> chooseOpenFile(const FileDialogOptions&) override { return file_; }

 private:
  ChosenFile file_;
};

void Choose(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

// A window shown in the top left corner whose "Open..." answers with the
// named list file, reading named "42(zone6)" points.
struct NamedZone6Window {
  explicit NamedZone6Window(const char* listPath)
      : platform(ChosenOf(listPath)), window(platform) {
    korvagrid::gui::ConnectPlatform(platform, window);
    window.move(0, 0);
    window.show();
    Choose(window.findChild<QComboBox*>(QStringLiteral("Combo1")), kZone6);
    Choose(window.findChild<QComboBox*>(QStringLiteral("Combo3")), 1);  // names in
  }
  static ChosenFile ChosenOf(const char* listPath) {
    const QFileInfo info(QString::fromLocal8Bit(listPath));
    return {info.absoluteFilePath().toStdString(), info.fileName().toStdString()};
  }
  ScriptedPlatform platform;
  korvagrid::gui::MainWindow window;
};

ChosenFile WriteList(const QString& path, long lines) {
  std::ofstream file(path.toStdString(), std::ios::binary);
  for (long i = 0; i < lines; ++i) {
    // Points spread over 20 × 20 km around 33° east, 56° north, with heights.
    const double x = 6200000.0 + static_cast<double>(i % 2000) * 10.125;
    const double y = 6490000.0 + static_cast<double>(i / 2000 % 2000) * 10.375;
    const double h = 140.0 + static_cast<double>(i % 97) * 0.5;
    char line[96];
    std::snprintf(line, sizeof line, "%.3f %.3f %.3f\r\n", x, y, h);
    file << line;
  }
  return {path.toStdString(), "points.txt"};
}

struct Timing {
  double open = 0;     // seconds: reading the file and showing it in the input box
  double convert = 0;  // seconds: the run and showing its result
  double whole = 0;    // seconds from the start until both boxes hold their whole texts
};

// Open, convert and draw, through the menu item and the start button; then
// the events of the window until the boxes have taken in the long texts
// whose first lines they show.
Timing OpenAndConvert(korvagrid::gui::MainWindow& window) {
  QElapsedTimer timer;
  timer.start();
  window.findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
  QCoreApplication::processEvents();  // the window paints the list
  Timing t;
  t.open = static_cast<double>(timer.nsecsElapsed()) / 1e9;
  window.findChild<QPushButton*>(QStringLiteral("CmdStart"))->click();
  QCoreApplication::processEvents();  // and the results
  t.convert = static_cast<double>(timer.nsecsElapsed()) / 1e9 - t.open;
  while (window.fillingTexts()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents();
  t.whole = static_cast<double>(timer.nsecsElapsed()) / 1e9;
  return t;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: %s show FILE SECONDS | help SECONDS | time LINES | "
                 "shot FILE TARGET FORMAT PNG | map FILE LINE SECONDS\n",
                 argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  QTemporaryDir dir;
  ChosenFile file;
  if (mode == "help") {
    korvagrid::gui::QtPlatform platform;
    korvagrid::gui::MainWindow window(platform);
    platform.setDialogParent(&window);
    window.show();
    // The help window is modal: it is closed from inside its own event loop.
    QTimer::singleShot(static_cast<int>(std::stod(argv[2]) * 1000), &app,
                       [] { QApplication::closeAllWindows(); });
    QTimer::singleShot(0, &window, [&window] {
      window.findChild<QAction*>(QStringLiteral("mnuF1"))->trigger();
    });
    return QApplication::exec();
  }
  if (mode == "shot") {
    if (argc < 6) return 2;
    NamedZone6Window shown(argv[2]);
    korvagrid::gui::MainWindow& window = shown.window;
    const int target = std::stoi(argv[3]);
    Choose(window.findChild<QComboBox*>(QStringLiteral("Combo2")), target);
    Choose(window.findChild<QComboBox*>(QStringLiteral("Combo4")), 1);  // names out
    auto* format = window.findChild<QAction*>(QString::fromLocal8Bit(argv[4]));
    if (format == nullptr) {
      std::fprintf(stderr, "korvagrid_window_demo: no Format item named \"%s\"\n", argv[4]);
      return 2;
    }
    format->trigger();
    OpenAndConvert(window);
    QTimer::singleShot(500, &app, [&window, png = QString::fromLocal8Bit(argv[5])] {
      window.grab().save(png);
      QApplication::quit();
    });
    return QApplication::exec();
  }
  if (mode == "map") {
    if (argc < 5) return 2;
    NamedZone6Window shown(argv[2]);
    korvagrid::gui::MainWindow& window = shown.window;
    Choose(window.findChild<QComboBox*>(QStringLiteral("Combo2")), kWgs84);
    OpenAndConvert(window);
    window.findChild<QAction*>(QStringLiteral("mnuMap"))->trigger();
    auto* map = window.findChild<QWidget*>(QStringLiteral("frmMap"));
    map->setGeometry(0, 0, 1000, 680);
    auto* input = window.findChild<QPlainTextEdit*>(QStringLiteral("Txt1"));
    input->setTextCursor(QTextCursor(input->document()->findBlockByNumber(std::stoi(argv[3]) - 1)));
    QTimer::singleShot(static_cast<int>(std::stod(argv[4]) * 1000), &app, &QApplication::quit);
    return QApplication::exec();
  }
  if (mode == "show") {
    const QFileInfo info(QString::fromLocal8Bit(argv[2]));
    file = {info.absoluteFilePath().toStdString(), info.fileName().toStdString()};
  } else {
    file = WriteList(dir.filePath(QStringLiteral("points.txt")), std::stol(argv[2]));
  }

  ScriptedPlatform platform(file);
  korvagrid::gui::MainWindow window(platform);
  korvagrid::gui::ConnectPlatform(platform, window);
  window.move(0, 0);
  window.resize(960, 380);
  window.show();
  Choose(window.findChild<QComboBox*>(QStringLiteral("Combo1")), kZone6);
  Choose(window.findChild<QComboBox*>(QStringLiteral("Combo2")), kWgs84);
  QCoreApplication::processEvents();

  if (mode == "show") {
    OpenAndConvert(window);
    QTimer::singleShot(static_cast<int>(std::stod(argv[3]) * 1000), &app, &QApplication::quit);
    return QApplication::exec();
  }

  const Timing t = OpenAndConvert(window);
  const auto* output = window.findChild<QPlainTextEdit*>(QStringLiteral("Txt2"));
  std::printf("lines %s, result lines %d, points %lld: open and show %.3f s, convert and show "
              "%.3f s, together %.3f s; whole texts in both boxes after %.3f s\n",
              argv[2], output->blockCount(), static_cast<long long>(window.model().lastRun.points),
              t.open, t.convert, t.open + t.convert, t.whole);
  // The same list on the map: its points and the map window's first frame.
  QElapsedTimer timer;
  timer.start();
  window.findChild<QAction*>(QStringLiteral("mnuMap"))->trigger();
  QCoreApplication::processEvents();
  std::printf("map of %zu points shown: %.3f s\n", window.model().mapPoints.size(),
              static_cast<double>(timer.nsecsElapsed()) / 1e9);
  return 0;
}
