#pragma once
// The main window `Form1`: the input and result boxes side by side, the
// system and layout selectors along the top over the toolbar, the start and
// exit buttons and the menus. It holds no logic of its own: every event is
// handed to the Form1 model, and the widgets are then redrawn from what the
// model holds. The controls are placed by the twips layout on every resize.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document_fill.h"
#include "ui/form1.h"
#include "ui/layout.h"

class QAction;
class QLabel;
class QSettings;
class QActionGroup;
class QComboBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QToolBar;

namespace korvagrid::gui {

class MapWindow;
class QtPlatform;

// The decimal separator of the user's locale: "." when the text "4.5" reads
// as 4.5 there, else ",".
char LocaleDecimalSeparator();

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Platform& platform, char decimalSeparator = LocaleDecimalSeparator(),
                      QWidget* parent = nullptr);
  ~MainWindow() override;

  Form1& model() { return *model_; }

  // Lays the controls out for an outer window size in twips.
  void layoutTo(double W, double H);
  const MainWindowGeometry& geometryTwips() const { return geometry_; }
  // The outer size in twips that the present client area stands for.
  double outerWidthTwips() const;
  double outerHeightTwips() const;
  // Dots per inch with which twips become pixels: the screen's logical
  // resolution, enlarged where the system font needs wider selectors than
  // the designed ones (see fitScale).
  double dpiX() const { return logicalDpiX() * scale_; }
  double dpiY() const { return logicalDpiY() * scale_; }

  // Redraws every widget from the model.
  void refresh();
  // True while a text box shows the first lines of a long text whose whole
  // document is still being filled beside the window.
  bool fillingTexts() const;

  // Keeps the datum-shift set and the heights mode in `settings` between
  // sessions: takes what it holds now and writes every later choice.
  void rememberChoicesIn(QSettings* settings);

 public slots:
  // Progress of a long command: a bar in the status area.
  void showProgress(qint64 done, qint64 total);
  // A command is about to ask or warn about input line `inputLine`: the
  // result box shows the results so far (the model's result text grows in
  // place during a run), and the line is selected and scrolled into view
  // with the results opposite.
  void showRunPosition(qint64 inputLine);
  // Ends the program, after asking whether to save input edited since it
  // was last opened or saved.
  void exitProgram();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  struct TextBox {
    QPlainTextEdit* edit = nullptr;
    std::string shown;     // the model text the box shows
    bool edited = false;   // the user changed the box since it was drawn
    bool results = false;  // a result box: tab stops wide enough for the fields of its text
    // The whole of a long text, being filled while the box shows its first
    // lines; `fillNumber` tells its end apart from that of a fill given up.
    std::unique_ptr<DocumentFill> fill;
    std::uint64_t fillNumber = 0;
  };

  void buildControls();
  void buildMenus();
  void buildToolbar();
  QAction* newAction(QMenu* menu, const char* name, const QString& caption,
                     std::function<void()> handler, bool busy = false);
  // Runs one event of the model: the widgets' edits go to the model first,
  // the widgets are redrawn after it.
  void dispatch(const std::function<void()>& handler, bool busy = false);
  void pullFromWidgets();
  void rememberChoices();
  // True when the box was redrawn.
  bool pushText(TextBox& box, const std::string& text);
  // The box's whole document once its fill is complete: waits for it when
  // the box is needed before then (user input, a line to select).
  void finishFill(TextBox& box);
  void fillFinished(std::uint64_t fillNumber);
  // The box's text was changed while its fill went on: the fill is dropped.
  void abandonFill(TextBox& box);
  TextBox* fillingBoxOf(const QObject* watched);
  // Tab stops of a result box wide enough for the fields of its text.
  void setResultTabStops(TextBox& box);
  double resultTabStopDistance(const TextBox& box, const std::string& text) const;
  // Selects input line `line` (1-based) in Txt1 and scrolls it into view,
  // keeping the result boxes opposite; 0 only clears the selection.
  void selectInputLine(std::int64_t line);
  // The window's minimum size and the size it opens with.
  void applySizes();
  bool filterCounterKey(QKeyEvent* event);
  bool acceptDroppedFile(QDropEvent* event);
  void followInputScroll();
  double fitScale() const;
  // The map (mainwindow_map.cpp): the toolbar's map button at the right end
  // of the top row, and the width in twips it keeps free there; the map
  // window shown with the model's new points; a clicked marker's line.
  void buildMapButton();
  double mapButtonTwips() const;
  void showMapWindow();
  void selectMapPoint(qint64 line);

  Platform& platform_;
  std::unique_ptr<Form1> model_;
  MainWindowGeometry geometry_ = MainWindowDesignGeometry();
  bool pushing_ = false;
  double scale_ = 1;
  std::int64_t selectionShown_ = 0;  // the input line last selected from the model

  QWidget* client_ = nullptr;
  TextBox Txt1_, Txt2_, Txt_Trap_;
  std::uint64_t fillsStarted_ = 0;
  // Fills given up, kept until their threads end.
  std::vector<std::pair<std::uint64_t, std::unique_ptr<DocumentFill>>> abandonedFills_;
  std::array<QComboBox*, 6> combos_{};
  QLineEdit* txtCount_ = nullptr;
  QLineEdit* Text1_ = nullptr;
  QPushButton* CmdStart_ = nullptr;
  QPushButton* CmdExit_ = nullptr;
  QToolBar* Toolbar1_ = nullptr;
  QWidget* spacer_ = nullptr;
  QProgressBar* progress_ = nullptr;
  qint64 lastProgressPaint_ = 0;

  std::array<QAction*, kFormatItemCount> formatActions_{};
  QAction* CmdStartShortcut_ = nullptr;
  QAction* mnu_ctr_count_ = nullptr;
  QAction* mnuOGZ_ = nullptr;
  QAction* mnuMySist_ = nullptr;
  std::vector<std::pair<DatumShiftKey, QAction*>> shiftActions_;
  std::vector<std::pair<HeightsMode, QAction*>> heightsActions_;
  QLabel* datumStatus_ = nullptr;
  QSettings* remembered_ = nullptr;
  QAction* mapButton_ = nullptr;
  QPointer<MapWindow> mapWindow_;
  std::uint64_t mapVersionShown_ = 0;
};

// Connects the desktop platform to its window: the dialogs are modal to it,
// and it shows the progress and the input line of a long command.
void ConnectPlatform(QtPlatform& platform, MainWindow& window);

}  // namespace korvagrid::gui
