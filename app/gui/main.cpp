// Korvagrid desktop application: converts lists of geodetic points between
// coordinate systems in one window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

#include "exchange/exchange_point_files.h"
#include "mainwindow.h"
#include "qtplatform.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvagrid"));

  // The standard buttons and file dialogs speak the user's language where
  // Qt's own translations are installed.
  QTranslator qtTranslations;
  if (qtTranslations.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslations);
  }

  korvagrid::gui::QtPlatform platform;
  korvagrid::gui::MainWindow window(platform);
  // "Open..." and "Save Resultats" offer the point file formats too.
  const korvagrid::ExchangePointFiles pointFiles;
  window.model().setPointFiles(&pointFiles);
  korvagrid::gui::ConnectPlatform(platform, window);
  // The datum-shift set and the heights mode are remembered between sessions.
  QSettings remembered(QStringLiteral("Korvagrid"), QStringLiteral("Korvagrid"));
  window.rememberChoicesIn(&remembered);
  window.show();
  return QApplication::exec();
}
