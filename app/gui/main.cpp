// Korvagrid desktop application: converts lists of geodetic points between
// coordinate systems in one window.
#include <QApplication>

#include "mainwindow.h"
#include "qtplatform.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvagrid"));

  korvagrid::gui::QtPlatform platform;
  korvagrid::gui::MainWindow window(platform);
  platform.setDialogParent(&window);
  QObject::connect(&platform, &korvagrid::gui::QtPlatform::progressed, &window,
                   &korvagrid::gui::MainWindow::showProgress);
  window.show();
  return QApplication::exec();
}
