#pragma once
// The Platform of the desktop application: Qt message boxes, file and colour
// dialogs, the beep, and the program's own dialogs.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <string_view>

#include "interaction/platform.h"

class QWidget;

namespace korvagrid::gui {

// "description|pattern|description|pattern..." as Qt name filters, one per
// pair: "Text file (*.txt)". A description that already ends with its
// pattern in parentheses is kept as it is; an empty trailing pair is dropped.
QStringList ToQtNameFilters(std::string_view filter);

// "*.txt" or ".txt" or "txt" as the suffix a file dialog appends: "txt".
QString ToQtDefaultSuffix(std::string_view defaultExt);

// The pattern of a Qt name filter: "*.wpt" of "OziExplorer (*.wpt)"; the
// whole filter when it has no parentheses.
QString NameFilterPattern(const QString& nameFilter);

class QtPlatform : public QObject, public Platform {
  Q_OBJECT

 public:
  explicit QtPlatform(QObject* parent = nullptr);

  // The window the dialogs are centred on and modal to.
  void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

  Answer askYesNo(std::string_view prompt, std::string_view title) override;
  Answer askYesNoCancel(std::string_view prompt, std::string_view title) override;
  void warn(std::string_view text, std::string_view title) override;
  void beep() override;
  std::optional<ChosenFile> chooseOpenFile(const FileDialogOptions& options) override;
  std::optional<ChosenFile> chooseSaveFile(const FileDialogOptions& options) override;
  std::optional<std::int32_t> chooseColour(std::int32_t current) override;
  DialogEnd showOwnSystemDialog(MySistModel& dialog) override;
  DialogEnd showWaypointDialog(FmOziModel& dialog) override;
  void showHelp(FrmHelpModel& dialog) override;
  void progress(std::int64_t done, std::int64_t total) override;
  void showRunPosition(std::int64_t inputLine) override;

 signals:
  // A long command has done `done` of `total` lines (total -1: unknown).
  void progressed(qint64 done, qint64 total);
  // A command is about to ask or warn about input line `inputLine` (1-based).
  void runPositionShown(qint64 inputLine);

 private:
  std::optional<ChosenFile> chooseFile(const FileDialogOptions& options, bool save);

  QPointer<QWidget> dialogParent_;
  QString lastDirectory_;  // where the last file dialog was left
};

}  // namespace korvagrid::gui
