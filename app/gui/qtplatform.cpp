#include "qtplatform.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "binding.h"
#include "helpwindow.h"
#include "mysistdialog.h"
#include "ozidialog.h"

namespace korvagrid::gui {

namespace {

// While a long command shows the busy cursor, a modal question in the middle
// of it gets the ordinary arrow back.
class ArrowCursorWhileModal {
 public:
  ArrowCursorWhileModal() : pushed_(QApplication::overrideCursor() != nullptr) {
    if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~ArrowCursorWhileModal() {
    if (pushed_) QApplication::restoreOverrideCursor();
  }
  ArrowCursorWhileModal(const ArrowCursorWhileModal&) = delete;
  ArrowCursorWhileModal& operator=(const ArrowCursorWhileModal&) = delete;

 private:
  bool pushed_;
};

}  // namespace

QStringList ToQtNameFilters(std::string_view filter) {
  const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    const QString pattern = parts[i + 1].trimmed();
    if (description.isEmpty() && pattern.isEmpty()) continue;
    const QString tail = QStringLiteral("(") + pattern + QStringLiteral(")");
    filters << (description.endsWith(tail) ? description
                                           : (description + QStringLiteral(" ") + tail).trimmed());
  }
  return filters;
}

QString ToQtDefaultSuffix(std::string_view defaultExt) {
  QString suffix = ToQString(defaultExt).trimmed();
  if (suffix.startsWith(QLatin1Char('*'))) suffix.remove(0, 1);
  if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  // "*.*" or "*" asks for no particular extension.
  if (suffix.contains(QLatin1Char('*'))) suffix.clear();
  return suffix;
}

QString NameFilterPattern(const QString& nameFilter) {
  const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
  const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
  if (open < 0 || close < open) return nameFilter.trimmed();
  return nameFilter.mid(open + 1, close - open - 1).trimmed();
}

QtPlatform::QtPlatform(QObject* parent) : QObject(parent) {}

Answer QtPlatform::askYesNo(std::string_view prompt, std::string_view title) {
  ArrowCursorWhileModal arrow;
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToWidgetText(prompt),
                  QMessageBox::Yes | QMessageBox::No, dialogParent_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtPlatform::askYesNoCancel(std::string_view prompt, std::string_view title) {
  ArrowCursorWhileModal arrow;
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToWidgetText(prompt),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, dialogParent_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

void QtPlatform::warn(std::string_view text, std::string_view title) {
  ArrowCursorWhileModal arrow;
  QMessageBox box(QMessageBox::Warning, ToQString(title), ToWidgetText(text), QMessageBox::Ok,
                  dialogParent_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtPlatform::beep() { QApplication::beep(); }

std::optional<ChosenFile> QtPlatform::chooseFile(const FileDialogOptions& options, bool save) {
  ArrowCursorWhileModal arrow;
  QFileDialog dialog(dialogParent_, ToQString(options.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (!save) {
    dialog.setFileMode((options.flags & kFileMustExist) != 0 ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
  }
  if (save && (options.flags & kOverwritePrompt) == 0) {
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  }
  const QStringList filters = ToQtNameFilters(options.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  const QString suffix = ToQtDefaultSuffix(options.defaultExt);
  if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  if (save) {
    // A typed name without an extension gets the chosen filter's, before
    // the dialog asks whether to replace an existing file of that name.
    const auto followFilter = [&dialog](const QString& filter) {
      dialog.setDefaultSuffix(ToQtDefaultSuffix(ToStdString(NameFilterPattern(filter))));
    };
    if (!filters.isEmpty()) followFilter(filters.first());
    connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
  }
  if (!lastDirectory_.isEmpty()) dialog.setDirectory(lastDirectory_);
  if (!options.proposedName.empty()) dialog.selectFile(ToQString(options.proposedName));

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  const QFileInfo file(chosen.first());
  lastDirectory_ = file.absolutePath();
  return ChosenFile{ToStdString(file.absoluteFilePath()), ToStdString(file.fileName()),
                    ToStdString(NameFilterPattern(dialog.selectedNameFilter()))};
}

std::optional<ChosenFile> QtPlatform::chooseOpenFile(const FileDialogOptions& options) {
  return chooseFile(options, false);
}

std::optional<ChosenFile> QtPlatform::chooseSaveFile(const FileDialogOptions& options) {
  return chooseFile(options, true);
}

std::optional<std::int32_t> QtPlatform::chooseColour(std::int32_t current) {
  ArrowCursorWhileModal arrow;
  // The model holds colours as 0x00BBGGRR.
  const QColor initial(current & 0xFF, (current >> 8) & 0xFF, (current >> 16) & 0xFF);
  const QColor colour = QColorDialog::getColor(initial, dialogParent_);
  if (!colour.isValid()) return std::nullopt;
  return static_cast<std::int32_t>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

DialogEnd QtPlatform::showOwnSystemDialog(MySistModel& dialog) {
  ArrowCursorWhileModal arrow;
  MySistDialog window(dialog, *this, dialogParent_);
  return window.exec() == QDialog::Accepted ? DialogEnd::Ok : DialogEnd::Closed;
}

DialogEnd QtPlatform::showWaypointDialog(FmOziModel& dialog) {
  ArrowCursorWhileModal arrow;
  OziDialog window(dialog, *this, dialogParent_);
  return window.exec() == QDialog::Accepted ? DialogEnd::Ok : DialogEnd::Closed;
}

void QtPlatform::showHelp(FrmHelpModel& dialog) {
  ArrowCursorWhileModal arrow;
  HelpWindow window(dialog, *this, dialogParent_);
  window.exec();
}

void QtPlatform::progress(std::int64_t done, std::int64_t total) { emit progressed(done, total); }

void QtPlatform::showRunPosition(std::int64_t inputLine) { emit runPositionShown(inputLine); }

}  // namespace korvagrid::gui
