#pragma once
// The main window `Form1` without any drawing: the state of its controls and
// menus, and its event handlers. A front end binds its widgets to this state,
// forwards every user event to a handler and redraws from the state after it.
// Every modal interaction goes through the Platform.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/catalogue.h"
#include "conversion/own_system.h"
#include "conversion/run.h"
#include "conversion/settings.h"
#include "documents/document_commands.h"
#include "documents/point_files.h"
#include "documents/text_encoding.h"
#include "formats/waypoints.h"
#include "interaction/platform.h"
#include "map/map_point.h"
#include "ui/controls.h"
#include "ui/format_menu.h"
#include "ui/mysist.h"

namespace korvagrid {

class MySistModel;
class FmOziModel;

inline constexpr std::string_view kStartCaption = "Korvagrid05++";
// The key of the toolbar's map button (after those of the file commands).
inline constexpr std::string_view kToolMap = "Map";
// The file types the map is exported to.
inline constexpr std::string_view kMapExportFilter =
    "PNG (*.png)|*.png|SVG (*.svg)|*.svg|PDF (*.pdf)|*.pdf";

class Form1 {
 public:
  explicit Form1(Platform& platform);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  Platform& platform() { return platform_; }

  // ---- State of the controls -------------------------------------------
  std::string caption{kStartCaption};
  std::string Txt1;  // input list, CR LF line ends
  std::string Txt2;  // result list
  std::string Txt_Trap;
  bool Txt_TrapVisible = false;
  // The input line (1-based) a run or the inverse problem stopped at, which
  // the window shows selected; 0 for none.
  std::int64_t selectedInputLine = 0;

  ComboBoxState Combo1, Combo2;  // source and target systems
  ComboBoxState Combo3, Combo4;  // plane layouts of input and output
  ComboBoxState Combo5, Combo6;  // geographic layouts of input and output

  FormatSettings format;
  MenuItemState mnu_ctr_count{false, true};
  MenuItemState mnuOGZ{false, true};
  MenuItemState mnuMySist{false, false};

  std::string txtCount = "0";
  bool txtCountVisible = false;  // the counter and its label Text1 "доп.строк"

  char NumP = ',';
  char NotP = '.';
  // "Параметры перехода" and "Высоты": the datum-shift set and what happens
  // to heights across the datum (the front end remembers them between runs).
  DatumShiftKey datumShift = kDefaultDatumShift;
  HeightsMode heights = HeightsMode::Shift;
  std::int16_t MySistState = 0;

  // Documents.
  std::string documentName;
  std::string resultName;
  TextEncoding documentEncoding = TextEncoding::Cp1251;
  bool documentEncodingKnown = false;  // false until a file was read or written
  // The folder the help path file lives in (the process's current directory).
  std::filesystem::path currentDirectory = std::filesystem::current_path();

  // The fields of the own-system dialog, edited in place by it.
  MySistFields ownSystem;

  // How the last conversion run ended (for front ends and the command line).
  RunOutcome lastRun;

  // The map window: the points of the input list as it shows them, made by
  // showMap without touching the result box, and a summary for its status
  // line. mapVersion grows with every new list, so that the front end knows
  // when to show the window and hand the points over.
  std::vector<MapPoint> mapPoints;
  std::string mapSummary;
  std::uint64_t mapVersion = 0;

  // ---- Events ----------------------------------------------------------------
  // Window load; `localeDecimalSeparator` is the separator of the user's locale.
  void load(char localeDecimalSeparator = '.');

  // A selection in a list, acting as the user's click on it.
  void selectCombo1(int index);
  void selectCombo2(int index);
  void selectCombo3(int index);
  void selectCombo4(int index);
  void selectCombo5(int index);
  void selectCombo6(int index);

  // A click on a Format menu item.
  void formatItemClick(FormatItem item);

  // `CmdStart` ">>": the conversion run over Txt1 into Txt2.
  void convert();
  // What a run started now reads of the window. `refusal`, when given,
  // receives why the selected own system cannot be used (a field of its
  // dialog that is not a number).
  ConversionSettings settings(std::string* refusal = nullptr) const;

  // File menu and toolbar.
  void newDocument();     // mnuClose "New"
  void openWithDialog();  // mnuOpen "Open..."
  void save();            // mnuSave "Save"
  void saveAs();          // mnuSvAs "Save as..."
  void saveResults();     // mnuSvRez "Save Resultats"
  void toolbarButton(std::string_view key);
  void toggleExtraLinesCounter();  // mnu_ctr_count "Пустые строки"
  // A key typed into txtCount; true when it goes into the box.
  bool counterKeyPress(char32_t key);
  // Opens a file as "Open..." does, after the dialog (also used for dropped files).
  void openDocument(const ChosenFile& file);
  // Whether Txt1 differs from the text last opened, saved or cleared by New.
  bool inputModified() const;
  // The point file formats "Open..." and "Save Resultats" offer besides
  // text (korvagrid_exchange); none until given. Not owned.
  void setPointFiles(const PointFiles* files) { pointFiles_ = files; }

  // Exit, the Exit button and the window's close box: whether the program may
  // end now. Edited input asks "Сохранить изменения?": Yes saves (a cancelled
  // or failed save keeps the program running), No ends, Cancel keeps running.
  // Results never cause the question.
  bool confirmExit();

  // Tasks and help.
  void solveInverseProblem();  // mnuOGZ "Решение ОГЗ"
  void sheets200k();           // tr200: the 1:200 000 sheet of each point
  void sheets100k();           // tr50: the 1:100 000 sheet of each point
  void editOwnSystem();        // mnuMySist "Редакция своей СК"
  void showMap();              // mnuMap "Карта" and the toolbar's map button
  // A click on a marker of the map: its input line is selected, with the
  // result opposite.
  void selectMapPoint(std::int64_t line);
  // The file the map view is exported to (.png, .svg or .pdf; a typed name
  // without an extension gets the chosen type's), or nothing when cancelled.
  std::optional<std::string> chooseMapExportFile();
  // A georeferenced raster or vector file to draw under the map's grid.
  std::optional<std::string> chooseMapBackgroundFile();
  void showHelp();             // mnuF1 "Вызов справки"

  // The waypoint options dialog (created on first use) and the settings it holds.
  FmOziModel& fmOzi();
  WaypointOptions oziSettings() const;
  // The own-system dialog (created on first use).
  MySistModel& mySist();

  // The placement generator: its sequence starts afresh at each program start.
  PlacementRandom placementRandom;

 private:
  void sourceChanged();
  void targetChanged();
  // The catalogue row of a list index (the own entry's flags for the last one)
  // and the list index of a fixed row.
  const CoordinateSystem& rowAt(int index) const;
  int indexOf(const CoordinateSystem& row) const;
  int ownIndex() const;
  void ownSystemStep(const ComboBoxState& combo);
  void openOwnSystemEditor();
  void nameMapSheets(int scaleCode);
  // The conversion run of CmdStart; `points` receives the converted points.
  void runConversion(PointSink* points);
  void saveDocumentAs(const std::string& proposedName);
  void markInputSaved();
  void openPointFile(const ChosenFile& file);
  void savePointResults(const ChosenFile& file);
  bool isPointFile(const ChosenFile& file) const;

  Platform& platform_;
  TextFingerprint savedInput_;  // Txt1 as last opened, saved or cleared
  std::unique_ptr<FmOziModel> fmOzi_;
  std::unique_ptr<MySistModel> mySist_;

  const PointFiles* pointFiles_ = nullptr;
  // The document was opened from a point file: its text has no file yet.
  bool documentIsPointFile_ = false;
  // The points of the last run and its target, kept for "Save Resultats" to
  // a point file while point files are offered.
  std::vector<RunPoint> resultPoints_;
  CoordinateSystem resultTarget_;
};

}  // namespace korvagrid
