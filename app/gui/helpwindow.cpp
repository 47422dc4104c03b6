#include "helpwindow.h"

#include <QFileInfo>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextBrowser>
#include <QUrl>

#include "binding.h"

namespace korvagrid::gui {

HelpWindow::HelpWindow(FrmHelpModel& model, Platform& platform, QWidget* parent)
    : QDialog(parent), model_(model), platform_(platform) {
  setObjectName(QStringLiteral("FrmHelp"));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setModal(true);

  WebBr_ = new QTextBrowser(this);
  WebBr_->setObjectName(QStringLiteral("WebBr"));
  WebBr_->setOpenExternalLinks(true);
  cmdBrows_ = new QPushButton(QStringLiteral("Обзор"), this);
  cmdBrows_->setObjectName(QStringLiteral("cmdBrows"));
  cmdBrows_->setAutoDefault(false);
  CmdExit_ = new QPushButton(QStringLiteral("Закрыть"), this);
  CmdExit_->setObjectName(QStringLiteral("CmdExit"));
  CmdExit_->setAutoDefault(false);

  connect(cmdBrows_, &QPushButton::clicked, this, [this] {
    model_.browseClick(platform_);
    refresh();
    navigate();
  });
  connect(CmdExit_, &QPushButton::clicked, this, &QDialog::accept);

  // The model has been loaded by the caller: path, title and anchor are set.
  refresh();
  resize(sizeHint());
  navigate();
}

QSize HelpWindow::sizeHint() const {
  return {TwipsToPixels(kHelpDesignClientWidth, logicalDpiX()),
          TwipsToPixels(kHelpDesignClientHeight, logicalDpiY())};
}

void HelpWindow::refresh() {
  setWindowTitle(ToQString(model_.title));
  cmdBrows_->setToolTip(ToQString(model_.browseToolTip));
}

void HelpWindow::navigate() {
  const QString file = QString::fromStdString(model_.documentFile().string());
  if (!QFileInfo(file).isFile()) {
    // What a browser shows for a page that is not there; the title and the
    // tool tip still name the path, so the user can look for it with "Обзор".
    WebBr_->setHtml(QStringLiteral("<h3>Страница не найдена</h3><p>%1</p>")
                        .arg(ToQString(model_.helpPath).toHtmlEscaped()));
    return;
  }
  QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
  if (!model_.flHelp.empty()) url.setFragment(ToQString(model_.flHelp));
  WebBr_->setSource(url);
}

void HelpWindow::layoutTo(double W, double H) {
  geometry_ = HelpWindowLayout(W, H, geometry_).geometry;
  const int dx = logicalDpiX();
  const int dy = logicalDpiY();
  WebBr_->setGeometry(ToPixels(geometry_.WebBr, dx, dy));
  cmdBrows_->setGeometry(ToPixels(geometry_.cmdBrows, dx, dy));
  CmdExit_->setGeometry(ToPixels(geometry_.CmdExit, dx, dy));
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The rules are written for the outer size: the client area and the frame.
  layoutTo(PixelsToTwips(event->size().width(), logicalDpiX()) + kHelpNonClientWidth,
           PixelsToTwips(event->size().height(), logicalDpiY()) + kHelpNonClientHeight);
}

}  // namespace korvagrid::gui
