#include "mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "binding.h"
#include "conversion/run.h"
#include "qtplatform.h"
#include "ui/datum_menu.h"
#include "ui/result_columns.h"

namespace korvagrid::gui {

namespace {

constexpr char32_t kBackspace = 8;

// A text of more lines than this is taken into its box beside the window
// (from 0.06 s of filling on); the box shows its first lines meanwhile, more
// than a screen holds.
constexpr qsizetype kFillAsideLines = 20000;
constexpr qsizetype kFirstLinesShown = 500;

// Where the first lines shown of a long text end; -1 for a text short
// enough to be taken in at once.
qsizetype FirstLinesEnd(const QString& text) {
  qsizetype end = -1;
  qsizetype from = 0;
  for (qsizetype lines = 1; lines <= kFillAsideLines; ++lines) {
    const qsizetype lineEnd = text.indexOf(u'\n', from);
    if (lineEnd < 0) return -1;
    if (lines == kFirstLinesShown) end = lineEnd;
    from = lineEnd + 1;
  }
  return end;
}

// Events by which the user reads beyond the first lines of a box or changes
// its text.
bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
    case QEvent::TouchBegin:
      return true;
    default:
      return false;
  }
}

// Gives `box` `document` to show and to own. The document shown before goes
// if the box made it: a box deletes only its own documents.
void ShowDocument(QPlainTextEdit* box, QTextDocument* document) {
  QTextDocument* const previous = box->document();
  const bool madeHere = previous->parent() == box;
  document->setParent(box);
  box->setDocument(document);
  if (madeHere) delete previous;
}

// A repaint of the progress bar at most this often (milliseconds) keeps a
// long run from spending its time on drawing.
constexpr qint64 kProgressPaintInterval = 100;

QIcon ToolbarIcon(const char* themeName, QStyle::StandardPixmap fallback, const QStyle* style) {
  return QIcon::fromTheme(QString::fromLatin1(themeName), style->standardIcon(fallback));
}

// The platform's fixed-pitch font; where the platform names none, the
// font configuration's monospace family.
// Some monospace fonts do not declare themselves fixed-pitch, so the widths
// of a narrow and a wide letter decide.
bool IsMonospaced(const QFont& font) {
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W'));
}

QFont FixedPitchFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (IsMonospaced(font)) return font;
  font = QFont(QStringLiteral("Monospace"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

// `caption` with "&" before the first `letter`, which then chooses the item
// with Alt (or by itself in an open menu).
QString WithMnemonic(std::string_view caption, std::string_view letter) {
  QString text = ToQString(caption);
  const qsizetype at = text.indexOf(ToQString(letter));
  if (at >= 0) text.insert(at, QLatin1Char('&'));
  return text;
}

// The mnemonic letters of the Format menu, distinct within each submenu.
std::string_view GroupMnemonic(FormatGroup group) {
  switch (group) {
    case FormatGroup::InputAngles:
      return "L";  // &Lat,Long исходные
    case FormatGroup::InputPlane:
      return "X";  // &X , Y  исходные
    case FormatGroup::OutputAngles:
      return "n";  // Lat,Lo&ng на выходе
    case FormatGroup::OutputPlane:
      return "Y";  // X , &Y на выходе
  }
  return {};
}

std::string_view ItemMnemonic(FormatItem item) {
  switch (item) {
    case FormatItem::mnuGGG_0:
      return "g";  // &gg.ggggggggg
    case FormatItem::mnugms1:
      return "m";  // gg.&mmssssss
    case FormatItem::mnugms2:
      return "s";  // gg°mm'&ss.ssss
    case FormatItem::mnuAshtech:
      return "A";  // &Ashtech Report
    case FormatItem::mnuTrimble:
      return "T";  // &Trimble Report
    case FormatItem::Stand:
      return "С";  // &Стандартный
    case FormatItem::max1:
      return "П";  // &Полный
    case FormatItem::min1:
      return "К";  // &Краткий
    case FormatItem::mnuGGG:
      return "g";  // &gg.ggg (for ArcView)
    case FormatItem::mnugms1_:
      return "m";
    case FormatItem::mnugms2_:
      return "s";
    case FormatItem::fOzi:
      return "O";  // Format &OziExplorer
    case FormatItem::StandEnd:
      return "С";
    case FormatItem::MaxEnd:
      return "П";
    case FormatItem::MinEnd:
      return "К";
    case FormatItem::kCount:
      break;
  }
  return {};
}

}  // namespace

char LocaleDecimalSeparator() {
  bool ok = false;
  const double value = QLocale().toDouble(QStringLiteral("4.5"), &ok);
  return ok && value == 4.5 ? '.' : ',';
}

MainWindow::MainWindow(Platform& platform, char decimalSeparator, QWidget* parent)
    : QMainWindow(parent), platform_(platform), model_(std::make_unique<Form1>(platform)) {
  setObjectName(QStringLiteral("Form1"));
  setAcceptDrops(true);
  setWindowIcon(ToolbarIcon("accessories-calculator", QStyle::SP_ComputerIcon, style()));

  buildControls();
  buildToolbar();
  buildMenus();

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setMaximumWidth(TwipsToPixels(3000, logicalDpiX()));
  progress_->setTextVisible(true);
  statusBar()->addPermanentWidget(progress_);
  progress_->hide();
  datumStatus_ = new QLabel(this);
  datumStatus_->setObjectName(QStringLiteral("datumStatus"));
  // The text never asks for a wider window; it takes the status bar's free
  // width (without a stretch an ignored width is none at all).
  datumStatus_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(datumStatus_, 1);

  model_->load(decimalSeparator);
  refresh();
  scale_ = fitScale();
  applySizes();
}

void MainWindow::applySizes() {
  // The window never becomes smaller than the layout needs to keep the top
  // row in view. Rounding up keeps the client area from standing for fewer
  // twips than that.
  const TwipsSize minimum = MainWindowMinimumSize(mapButtonTwips());
  client_->setMinimumSize(TwipsToPixelsRoundedUp(minimum.width - kMainNonClientWidth, dpiX()),
                          TwipsToPixelsRoundedUp(minimum.height - kMainNonClientHeight, dpiY()));

  // The window opens with the design client area, made wider where the
  // result box would not show a named point in degrees, minutes and seconds
  // with its height whole in the fixed-pitch font.
  const QPlainTextEdit* box = Txt2_.edit;
  const double characterWidth = QFontMetricsF(box->font()).horizontalAdvance(QLatin1Char('0'));
  const double boxPixels = NamedDmsResultColumns() * characterWidth +
                           2 * box->document()->documentMargin() + 2 * box->frameWidth() +
                           box->verticalScrollBar()->sizeHint().width() + box->cursorWidth();
  const double boxTwips = PixelsToTwips(static_cast<int>(std::ceil(boxPixels)), dpiX());
  const double outerWidth =
      std::max(kMainDesignClientWidth + kMainNonClientWidth, MainWindowWidthForResultBox(boxTwips));
  int clientWidth = TwipsToPixelsRoundedUp(outerWidth - kMainNonClientWidth, dpiX());
  if (const QScreen* shown = screen()) {
    clientWidth = std::min(clientWidth, shown->availableGeometry().width());
  }
  const int clientHeight = TwipsToPixels(kMainDesignClientHeight, dpiY());
  resize(std::max(clientWidth, client_->minimumWidth()),
         std::max(clientHeight, client_->minimumHeight()) + menuBar()->sizeHint().height() +
             statusBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::rememberChoicesIn(QSettings* settings) {
  remembered_ = settings;
  if (settings == nullptr) return;
  if (const DatumShiftSet* set = FindDatumShiftSet(
          ToStdString(settings->value(QStringLiteral("datumShift")).toString()))) {
    model_->datumShift = set->key;
  }
  model_->heights = settings->value(QStringLiteral("heights")).toString() == QLatin1String("keep")
                        ? HeightsMode::Keep
                        : HeightsMode::Shift;
  refresh();
}

void MainWindow::rememberChoices() {
  if (remembered_ == nullptr) return;
  remembered_->setValue(QStringLiteral("datumShift"),
                        ToQString(DatumShiftSetOf(model_->datumShift).keyText));
  remembered_->setValue(QStringLiteral("heights"), model_->heights == HeightsMode::Keep
                                                       ? QStringLiteral("keep")
                                                       : QStringLiteral("shift"));
}

void MainWindow::buildControls() {
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  setCentralWidget(client_);

  const QFont fixed = FixedPitchFont();
  const std::array<std::pair<TextBox*, const char*>, 3> boxes = {
      {{&Txt1_, "Txt1"}, {&Txt2_, "Txt2"}, {&Txt_Trap_, "Txt_Trap"}}};
  for (const auto& [box, name] : boxes) {
    box->edit = new QPlainTextEdit(client_);
    box->edit->setObjectName(QString::fromLatin1(name));
    box->edit->setFont(fixed);
    box->edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->edit->setTabChangesFocus(true);
    box->edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->edit->installEventFilter(this);
    box->edit->viewport()->installEventFilter(this);
    box->edit->verticalScrollBar()->installEventFilter(this);
    box->edit->horizontalScrollBar()->installEventFilter(this);
    TextBox* target = box;
    connect(box->edit, &QPlainTextEdit::textChanged, this, [this, target] {
      if (pushing_) return;
      target->edited = true;
      abandonFill(*target);
    });
  }
  Txt_Trap_.edit->hide();
  Txt2_.results = true;
  Txt_Trap_.results = true;
  setResultTabStops(Txt2_);
  setResultTabStops(Txt_Trap_);
  // Each result stays opposite its input line.
  connect(Txt1_.edit->verticalScrollBar(), &QScrollBar::valueChanged, this,
          &MainWindow::followInputScroll);

  const std::array<const char*, 6> comboNames = {"Combo1", "Combo2", "Combo3",
                                                 "Combo4", "Combo5", "Combo6"};
  const std::array<void (Form1::*)(int), 6> selectors = {
      &Form1::selectCombo1, &Form1::selectCombo2, &Form1::selectCombo3,
      &Form1::selectCombo4, &Form1::selectCombo5, &Form1::selectCombo6};
  for (std::size_t i = 0; i < combos_.size(); ++i) {
    combos_[i] = new QComboBox(client_);
    combos_[i]->setObjectName(QString::fromLatin1(comboNames[i]));
    combos_[i]->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    const auto select = selectors[i];
    connect(combos_[i], &QComboBox::activated, this, [this, select](int index) {
      dispatch([this, select, index] { (model_.get()->*select)(index); });
    });
  }

  txtCount_ = new QLineEdit(client_);
  txtCount_->setObjectName(QStringLiteral("txtCount"));
  txtCount_->setAlignment(Qt::AlignRight);
  txtCount_->installEventFilter(this);
  connect(txtCount_, &QLineEdit::textEdited, this,
          [this](const QString& text) { model_->txtCount = ToStdString(text); });

  Text1_ = new QLineEdit(QStringLiteral("доп.строк"), client_);
  Text1_->setObjectName(QStringLiteral("Text1"));
  Text1_->setReadOnly(true);
  Text1_->setFrame(false);
  Text1_->setFocusPolicy(Qt::NoFocus);
  Text1_->setStyleSheet(QStringLiteral("background: transparent;"));

  CmdStart_ = new QPushButton(QStringLiteral(">>"), client_);
  CmdStart_->setObjectName(QStringLiteral("CmdStart"));
  CmdStart_->setToolTip(QStringLiteral("Расчет новых координат"));
  connect(CmdStart_, &QPushButton::clicked, this,
          [this] { dispatch([this] { model_->convert(); }, true); });
  // Ctrl+Enter starts the run from anywhere in the window, also while typing.
  CmdStartShortcut_ = new QAction(this);
  CmdStartShortcut_->setObjectName(QStringLiteral("CmdStartShortcut"));
  CmdStartShortcut_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  CmdStartShortcut_->setShortcutContext(Qt::WindowShortcut);
  addAction(CmdStartShortcut_);
  connect(CmdStartShortcut_, &QAction::triggered, CmdStart_, &QPushButton::click);

  CmdExit_ = new QPushButton(QStringLiteral("Exit"), client_);
  CmdExit_->setObjectName(QStringLiteral("CmdExit"));
  CmdExit_->setToolTip(QStringLiteral("Закрыть программу"));
  connect(CmdExit_, &QPushButton::clicked, this, &MainWindow::exitProgram);

  // Every control exists now: resizes of the client area lay them out.
  client_->installEventFilter(this);
}

void MainWindow::buildToolbar() {
  // The toolbar fills the top row of the client area; the selectors stand on
  // it, over the spacer, as in the classic window.
  Toolbar1_ = new QToolBar(client_);
  Toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
  Toolbar1_->setMovable(false);
  Toolbar1_->setFloatable(false);
  Toolbar1_->setIconSize(QSize(16, 16));
  Toolbar1_->setContentsMargins(0, 0, 0, 0);

  struct Button {
    const char* key;
    const char* theme;
    QStyle::StandardPixmap fallback;
    QString toolTip;
  };
  const std::array<Button, 4> buttons = {{
      {"New", "document-new", QStyle::SP_FileIcon, QStringLiteral("Создать ")},
      {"Open", "document-open", QStyle::SP_DialogOpenButton, QStringLiteral("Открыть ")},
      {"Save", "document-save", QStyle::SP_DialogSaveButton, QStringLiteral("Сохранить")},
      {"SaveRez", "document-save-as", QStyle::SP_DriveFDIcon,
       QStringLiteral("Сохранить результаты вычислений")},
  }};
  for (const Button& b : buttons) {
    if (std::string_view(b.key) == "SaveRez") {
      spacer_ = new QWidget(Toolbar1_);
      spacer_->setObjectName(QStringLiteral("Toolbar1Spacer"));
      Toolbar1_->addWidget(spacer_);
    }
    QAction* action = Toolbar1_->addAction(ToolbarIcon(b.theme, b.fallback, style()), b.toolTip);
    const QString key = QString::fromLatin1(b.key);
    action->setObjectName(key);
    action->setData(key);
    action->setToolTip(b.toolTip);
    connect(action, &QAction::triggered, this, [this, key] {
      // Opening reads a file: show that the program is busy.
      dispatch([this, key] { model_->toolbarButton(ToStdString(key)); },
               key == QLatin1String("Open"));
    });
  }
  buildMapButton();
  Toolbar1_->lower();
}

QAction* MainWindow::newAction(QMenu* menu, const char* name, const QString& caption,
                               std::function<void()> handler, bool busy) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  connect(action, &QAction::triggered, this,
          [this, handler = std::move(handler), busy] { dispatch(handler, busy); });
  return action;
}

void MainWindow::buildMenus() {
  Form1& m = *model_;

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  newAction(file, "mnuClose", QStringLiteral("&New"), [&m] {
    m.newDocument();
  })->setShortcut(QKeySequence::New);
  newAction(
      file, "mnuOpen", QStringLiteral("&Open..."), [&m] { m.openWithDialog(); }, true)
      ->setShortcut(QKeySequence::Open);
  newAction(file, "mnuSave", QStringLiteral("&Save"), [&m] {
    m.save();
  })->setShortcut(QKeySequence::Save);
  newAction(file, "mnuSvAs", QStringLiteral("Save &as..."), [&m] {
    m.saveAs();
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  file->addSeparator();
  newAction(file, "mnuSvRez", QStringLiteral("Save &Resultats"), [&m] { m.saveResults(); });
  file->addSeparator();
  QAction* exitAction = file->addAction(QStringLiteral("E&xit"));
  exitAction->setObjectName(QStringLiteral("mnuExit"));
  connect(exitAction, &QAction::triggered, this, &MainWindow::exitProgram);

  QMenu* format = menuBar()->addMenu(QStringLiteral("F&ormat"));
  format->setObjectName(QStringLiteral("mnuFormat"));
  const std::array<std::pair<FormatGroup, const char*>, 4> groups = {{
      {FormatGroup::InputAngles, "mnuFBegin"},
      {FormatGroup::InputPlane, "mnuFBeginX"},
      {FormatGroup::OutputAngles, "mnuFExit"},
      {FormatGroup::OutputPlane, "mnuFExitX"},
  }};
  for (const auto& [group, name] : groups) {
    if (group == FormatGroup::OutputAngles) format->addSeparator();
    QMenu* submenu = format->addMenu(WithMnemonic(GroupCaption(group), GroupMnemonic(group)));
    submenu->setObjectName(QString::fromLatin1(name));
    submenu->menuAction()->setObjectName(QString::fromLatin1(name));
    // The items of a group exclude one another: drawn as radio items. Their
    // checks still come from the model on every refresh.
    auto* exclusive = new QActionGroup(submenu);
    exclusive->setObjectName(QString::fromLatin1(name) + QStringLiteral("Group"));
    exclusive->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const FormatItemInfo& info : FormatItems()) {
      if (info.group != group) continue;
      const FormatItem item = info.item;
      QAction* action = submenu->addAction(WithMnemonic(info.caption, ItemMnemonic(item)));
      action->setObjectName(ToQString(info.name));
      action->setCheckable(true);
      exclusive->addAction(action);
      connect(action, &QAction::triggered, this,
              [this, item] { dispatch([this, item] { model_->formatItemClick(item); }); });
      formatActions_[static_cast<std::size_t>(item)] = action;
    }
  }
  format->addSeparator();
  mnu_ctr_count_ = newAction(format, "mnu_ctr_count", QStringLiteral("&Пустые строки"),
                             [&m] { m.toggleExtraLinesCounter(); });
  mnu_ctr_count_->setCheckable(true);

  // The datum-shift set and the heights across the datum, each a group of
  // radio items; the choice is shown in the status bar.
  format->addSeparator();
  QMenu* shift = format->addMenu(WithMnemonic(kDatumShiftMenuCaption, "р"));
  shift->setObjectName(QStringLiteral("mnuShift"));
  shift->menuAction()->setObjectName(QStringLiteral("mnuShift"));
  auto* shiftGroup = new QActionGroup(shift);
  shiftGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  for (const DatumShiftMenuItem& item : kDatumShiftMenuItems) {
    QAction* action = shift->addAction(ToQString(item.caption));
    action->setObjectName(ToQString(item.name));
    action->setCheckable(true);
    shiftGroup->addAction(action);
    const DatumShiftKey key = item.key;
    connect(action, &QAction::triggered, this, [this, key] {
      dispatch([this, key] { model_->datumShift = key; });
      rememberChoices();
    });
    shiftActions_.emplace_back(key, action);
  }
  QMenu* heights = format->addMenu(WithMnemonic(kHeightsMenuCaption, "В"));
  heights->setObjectName(QStringLiteral("mnuHeights"));
  heights->menuAction()->setObjectName(QStringLiteral("mnuHeights"));
  auto* heightsGroup = new QActionGroup(heights);
  heightsGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  for (const HeightsMenuItem& item : kHeightsMenuItems) {
    QAction* action = heights->addAction(ToQString(item.caption));
    action->setObjectName(ToQString(item.name));
    action->setCheckable(true);
    heightsGroup->addAction(action);
    const HeightsMode mode = item.mode;
    connect(action, &QAction::triggered, this, [this, mode] {
      dispatch([this, mode] { model_->heights = mode; });
      rememberChoices();
    });
    heightsActions_.emplace_back(mode, action);
  }

  QMenu* tasks = menuBar()->addMenu(QStringLiteral("&Tasks"));
  tasks->setObjectName(QStringLiteral("mnuTasks"));
  mnuOGZ_ = newAction(
      tasks, "mnuOGZ", QStringLiteral("Решение &ОГЗ"), [&m] { m.solveInverseProblem(); }, true);
  QMenu* trap = tasks->addMenu(QStringLiteral("Расчет &трапеций"));
  trap->setObjectName(QStringLiteral("mnuTrap"));
  trap->menuAction()->setObjectName(QStringLiteral("mnuTrap"));
  newAction(
      trap, "tr200", QStringLiteral("1:&200 000"), [&m] { m.sheets200k(); }, true);
  newAction(
      trap, "tr50", QStringLiteral("&1:100 000"), [&m] { m.sheets100k(); }, true);
  newAction(tasks, "mnuMap", QStringLiteral("&Карта"), [&m] { m.showMap(); }, true)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  mnuMySist_ = newAction(tasks, "mnuMySist", QStringLiteral("&Редакция своей СК"),
                         [&m] { m.editOwnSystem(); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  QAction* f1 = newAction(help, "mnuF1", QStringLiteral("&Вызов справки"), [&m] { m.showHelp(); });
  f1->setShortcut(QKeySequence(Qt::Key_F1));
  f1->setShortcutContext(Qt::ApplicationShortcut);
}

bool MainWindow::pushText(TextBox& box, const std::string& text) {
  if (!box.edited && box.shown == text) return false;
  pushing_ = true;
  // The text goes into a new document of the box, filled by the document
  // itself: the box's own setPlainText would carry the box's cursors along
  // line by line and add a formatting pass over the whole text (together
  // about a tenth of the time for 200 000 lines). The document takes the
  // box's settings, and a result box's tab stops for the new text, before
  // it is filled, so that the lines are laid out once. (A document filled
  // before the box shows it is laid out again by the box, line by line.)
  // A long text is shown by its first lines at once and taken in whole
  // beside the window (see document_fill.h).
  abandonFill(box);
  const QTextDocument* const previous = box.edit->document();
  PlainTextSettings settings{previous->defaultFont(), previous->documentMargin(),
                             previous->defaultTextOption()};
  if (box.results) settings.option.setTabStopDistance(resultTabStopDistance(box, text));
  QTextDocument* const document = NewPlainTextDocument(settings);
  ShowDocument(box.edit, document);
  QString widgetText = ToWidgetText(text);
  const qsizetype firstLinesEnd = FirstLinesEnd(widgetText);
  document->setPlainText(firstLinesEnd < 0 ? widgetText : widgetText.left(firstLinesEnd));
  document->setModified(false);
  if (firstLinesEnd >= 0) {
    const std::uint64_t number = ++fillsStarted_;
    box.fillNumber = number;
    box.fill = std::make_unique<DocumentFill>(settings, std::move(widgetText), [this, number] {
      QMetaObject::invokeMethod(this, [this, number] { fillFinished(number); }, Qt::QueuedConnection);
    });
  }
  pushing_ = false;
  box.shown = text;
  box.edited = false;
  return true;
}

bool MainWindow::fillingTexts() const {
  return Txt1_.fill != nullptr || Txt2_.fill != nullptr || Txt_Trap_.fill != nullptr;
}

void MainWindow::finishFill(TextBox& box) {
  if (!box.fill) return;
  // Waiting can take most of a second for a long list: the pointer says so.
  const bool waiting = !box.fill->complete();
  if (waiting) QApplication::setOverrideCursor(Qt::WaitCursor);
  QTextDocument* const document = box.fill->take();
  if (waiting) QApplication::restoreOverrideCursor();
  box.fill.reset();
  pushing_ = true;
  ShowDocument(box.edit, document);
  pushing_ = false;
  // The whole results stand opposite the input lines shown.
  if (box.results) box.edit->verticalScrollBar()->setValue(Txt1_.edit->verticalScrollBar()->value());
}

void MainWindow::fillFinished(std::uint64_t fillNumber) {
  for (TextBox* box : {&Txt1_, &Txt2_, &Txt_Trap_}) {
    if (box->fill && box->fillNumber == fillNumber) {
      finishFill(*box);
      return;
    }
  }
  std::erase_if(abandonedFills_, [fillNumber](const auto& fill) { return fill.first == fillNumber; });
}

void MainWindow::abandonFill(TextBox& box) {
  if (box.fill) abandonedFills_.emplace_back(box.fillNumber, std::move(box.fill));
}

MainWindow::TextBox* MainWindow::fillingBoxOf(const QObject* watched) {
  for (TextBox* box : {&Txt1_, &Txt2_, &Txt_Trap_}) {
    if (!box->fill) continue;
    const QPlainTextEdit* edit = box->edit;
    if (watched == edit || watched == edit->viewport() || watched == edit->verticalScrollBar() ||
        watched == edit->horizontalScrollBar()) {
      return box;
    }
  }
  return nullptr;
}

double MainWindow::resultTabStopDistance(const TextBox& box, const std::string& text) const {
  const double characterWidth = QFontMetricsF(box.edit->font()).horizontalAdvance(QLatin1Char(' '));
  return ResultTabStopCharacters(text) * characterWidth;
}

void MainWindow::setResultTabStops(TextBox& box) {
  finishFill(box);
  box.edit->setTabStopDistance(resultTabStopDistance(box, box.shown));
}

void MainWindow::selectInputLine(std::int64_t line) {
  selectionShown_ = line;
  // A line is looked up, and the results kept opposite, in whole documents.
  if (line > 0) {
    for (TextBox* box : {&Txt1_, &Txt2_, &Txt_Trap_}) finishFill(*box);
  }
  QPlainTextEdit* input = Txt1_.edit;
  const QTextBlock block = line > 0 && line <= std::numeric_limits<int>::max()
                               ? input->document()->findBlockByNumber(static_cast<int>(line - 1))
                               : QTextBlock();
  if (!block.isValid()) {
    QTextCursor cursor = input->textCursor();
    if (cursor.hasSelection()) {
      cursor.clearSelection();
      input->setTextCursor(cursor);
    }
    return;
  }
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  input->setTextCursor(cursor);

  // Without wrapping, the scroll value is the number of the first line shown.
  // The line goes to the middle of the box, unless the results opposite end
  // before that: then as far down as they reach, so that they stay opposite.
  QScrollBar* scroll = input->verticalScrollBar();
  const int shownLines =
      std::max(1, input->viewport()->height() / std::max(1, input->fontMetrics().lineSpacing()));
  int highest = scroll->maximum();
  for (const TextBox* box : {&Txt2_, &Txt_Trap_}) {
    if (box->edit->isVisible()) {
      highest = std::min(highest, box->edit->verticalScrollBar()->maximum());
    }
  }
  const int centred = block.blockNumber() - shownLines / 2;
  scroll->setValue(std::clamp(centred, 0, std::max(highest, 0)));
  // Should the line still be out of view, it is shown even if the results
  // cannot follow.
  const int first = scroll->value();
  if (block.blockNumber() < first || block.blockNumber() >= first + shownLines) {
    input->ensureCursorVisible();
  }
  followInputScroll();
}

void MainWindow::showRunPosition(qint64 inputLine) {
  refresh();
  selectInputLine(inputLine);
}

void MainWindow::pullFromWidgets() {
  const std::array<std::pair<TextBox*, std::string*>, 3> boxes = {
      {{&Txt1_, &model_->Txt1}, {&Txt2_, &model_->Txt2}, {&Txt_Trap_, &model_->Txt_Trap}}};
  for (const auto& [box, text] : boxes) {
    if (!box->edited) continue;
    *text = ToModelText(box->edit->toPlainText());
    box->shown = *text;
    box->edited = false;
  }
  model_->txtCount = ToStdString(txtCount_->text());
}

void MainWindow::refresh() {
  Form1& m = *model_;
  setWindowTitle(ToQString(m.caption));

  const bool inputRedrawn = pushText(Txt1_, m.Txt1);
  pushText(Txt2_, m.Txt2);
  pushText(Txt_Trap_, m.Txt_Trap);
  Txt_Trap_.edit->setVisible(m.Txt_TrapVisible);
  if (m.Txt_TrapVisible) Txt_Trap_.edit->raise();

  const std::array<const ComboBoxState*, 6> states = {&m.Combo1, &m.Combo2, &m.Combo3,
                                                      &m.Combo4, &m.Combo5, &m.Combo6};
  for (std::size_t i = 0; i < combos_.size(); ++i) {
    QComboBox* combo = combos_[i];
    const ComboBoxState& state = *states[i];
    const QSignalBlocker block(combo);
    bool same = combo->count() == state.count();
    for (int k = 0; same && k < state.count(); ++k) {
      same = combo->itemText(k) == ToQString(state.items[static_cast<std::size_t>(k)]);
    }
    if (!same) {
      combo->clear();
      for (const std::string& item : state.items) combo->addItem(ToQString(item));
    }
    combo->setCurrentIndex(state.index);
    combo->setVisible(state.visible);
  }

  if (txtCount_->text() != ToQString(m.txtCount)) txtCount_->setText(ToQString(m.txtCount));
  txtCount_->setVisible(m.txtCountVisible);
  Text1_->setVisible(m.txtCountVisible);

  for (const FormatItemInfo& info : FormatItems()) {
    QAction* action = formatActions_[static_cast<std::size_t>(info.item)];
    action->setChecked(m.format.checked(info.item));
    action->setEnabled(m.format.enabled(info.item));
  }
  for (const auto& [key, action] : shiftActions_) action->setChecked(m.datumShift == key);
  for (const auto& [mode, action] : heightsActions_) action->setChecked(m.heights == mode);
  datumStatus_->setText(ToQString(DatumStatusText(m.datumShift, m.heights)));
  mnu_ctr_count_->setChecked(m.mnu_ctr_count.checked);
  mnu_ctr_count_->setEnabled(m.mnu_ctr_count.enabled);
  mnuOGZ_->setEnabled(m.mnuOGZ.enabled);
  mnuMySist_->setEnabled(m.mnuMySist.enabled);

  // The line a run stopped at stays selected until the model lets it go; the
  // user's own cursor is left alone otherwise.
  if (inputRedrawn || m.selectedInputLine != selectionShown_) selectInputLine(m.selectedInputLine);
  if (m.mapVersion != mapVersionShown_) showMapWindow();
}

void MainWindow::dispatch(const std::function<void()>& handler, bool busy) {
  pullFromWidgets();
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    handler();
  } catch (const std::exception& e) {
    // The model reports what the user can act on itself; anything that still
    // escapes a command is shown rather than ending the program.
    if (busy) QApplication::restoreOverrideCursor();
    busy = false;
    platform_.warn(e.what(), kWarningTitle);
  }
  if (busy) QApplication::restoreOverrideCursor();
  progress_->hide();
  refresh();
  followInputScroll();
}

void MainWindow::followInputScroll() {
  const int value = Txt1_.edit->verticalScrollBar()->value();
  for (TextBox* box : {&Txt2_, &Txt_Trap_}) {
    // Results still being filled follow when they are complete, unless the
    // input is scrolled beyond their first lines.
    if (value > 0) finishFill(*box);
    box->edit->verticalScrollBar()->setValue(value);
  }
}

void MainWindow::showProgress(qint64 done, qint64 total) {
  if (total > 0) {
    // A bar counts in int; long lists are shown in thousandths.
    progress_->setRange(0, 1000);
    progress_->setValue(static_cast<int>(1000 * std::min(done, total) / total));
  } else {
    progress_->setRange(0, 0);
  }
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (!progress_->isVisible() || now - lastProgressPaint_ >= kProgressPaintInterval) {
    progress_->show();
    lastProgressPaint_ = now;
    // Only drawing: no user event may start another command meanwhile.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
}

// The positions were designed for a small 8-point font. Where the system
// font is wider, every twip is drawn larger by the same factor, so that each
// selector shows its longest entry whole and all proportions stay; with a
// font like the designed one the factor is 1.
double MainWindow::fitScale() const {
  const MainWindowGeometry design = MainWindowDesignGeometry();
  const std::array<const TwipsRect*, 6> rects = {&design.Combo1, &design.Combo2, &design.Combo3,
                                                 &design.Combo4, &design.Combo5, &design.Combo6};
  double scale = 1;
  for (std::size_t i = 0; i < combos_.size(); ++i) {
    const double designed = rects[i]->width * logicalDpiX() / kTwipsPerInch;
    scale = std::max(scale, combos_[i]->sizeHint().width() / designed);
  }
  constexpr double kLargestScale = 1.5;
  return std::min(scale, kLargestScale);
}

double MainWindow::outerWidthTwips() const {
  return PixelsToTwips(client_->width(), dpiX()) + kMainNonClientWidth;
}

double MainWindow::outerHeightTwips() const {
  return PixelsToTwips(client_->height(), dpiY()) + kMainNonClientHeight;
}

void MainWindow::layoutTo(double W, double H) {
  geometry_ = MainWindowLayout(W, H, geometry_).geometry;
  const MainWindowGeometry& g = geometry_;
  const double dx = dpiX();
  const double dy = dpiY();

  Txt1_.edit->setGeometry(ToPixels(g.Txt1, dx, dy));
  Txt2_.edit->setGeometry(ToPixels(g.Txt2, dx, dy));
  Txt_Trap_.edit->setGeometry(ToPixels(g.Txt_Trap, dx, dy));
  CmdStart_->setGeometry(ToPixels(g.CmdStart, dx, dy));
  CmdExit_->setGeometry(ToPixels(g.CmdExit, dx, dy));

  // The top row: toolbar underneath, selectors and the counter on it. A
  // selector is never made lower than the style draws it.
  Toolbar1_->setGeometry(0, 0, client_->width(), TwipsToPixels(kTextTop, dy));
  spacer_->setFixedWidth(TwipsToPixels(g.spacerWidth, dx));
  const std::array<const TwipsRect*, 6> comboRects = {&g.Combo1, &g.Combo2, &g.Combo3,
                                                      &g.Combo4, &g.Combo5, &g.Combo6};
  for (std::size_t i = 0; i < combos_.size(); ++i) {
    QRect r = ToPixels(*comboRects[i], dx, dy);
    r.setHeight(std::max(r.height(), combos_[i]->minimumSizeHint().height()));
    combos_[i]->setGeometry(r);
    combos_[i]->raise();
  }
  QRect count = ToPixels(g.txtCount, dx, dy);
  count.setHeight(std::max(count.height(), txtCount_->minimumSizeHint().height()));
  txtCount_->setGeometry(count);
  txtCount_->raise();
  QRect label = ToPixels(g.Text1, dx, dy);
  label.setHeight(count.height());
  Text1_->setGeometry(label);
  Text1_->raise();
}

bool MainWindow::filterCounterKey(QKeyEvent* event) {
  if (event->key() == Qt::Key_Backspace) {
    model_->counterKeyPress(kBackspace);
    return false;
  }
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QList<uint> characters = event->text().toUcs4();
  if (characters.isEmpty()) return false;
  bool accepted = true;
  for (const uint c : characters) {
    if (c < 0x20 || c == 0x7F) return false;
    model_->txtCount = ToStdString(txtCount_->text());
    accepted = model_->counterKeyPress(static_cast<char32_t>(c)) && accepted;
  }
  return !accepted;  // a refused key is discarded
}

bool MainWindow::acceptDroppedFile(QDropEvent* event) {
  const QMimeData* data = event->mimeData();
  if (!data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile()) {
    return false;
  }
  const QFileInfo file(data->urls().first().toLocalFile());
  if (!file.isFile()) return false;
  event->acceptProposedAction();
  if (event->type() == QEvent::Drop) {
    const ChosenFile chosen{ToStdString(file.absoluteFilePath()), ToStdString(file.fileName())};
    dispatch([this, chosen] { model_->openDocument(chosen); }, true);
  }
  return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) {
    layoutTo(outerWidthTwips(), outerHeightTwips());
    return false;
  }
  // Reading on or typing in a box that shows the first lines of a long
  // text waits for its whole document.
  if (IsUserInput(event->type())) {
    if (TextBox* box = fillingBoxOf(watched)) finishFill(*box);
  }
  if (watched == txtCount_ && event->type() == QEvent::KeyPress) {
    return filterCounterKey(static_cast<QKeyEvent*>(event));
  }
  // A file dropped on a text box opens as "Open..." does; dragged text
  // behaves as usual.
  bool textViewport = false;
  for (const TextBox* box : {&Txt1_, &Txt2_, &Txt_Trap_}) {
    textViewport = textViewport || (box->edit != nullptr && watched == box->edit->viewport());
  }
  if (textViewport && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
                       event->type() == QEvent::Drop)) {
    return acceptDroppedFile(static_cast<QDropEvent*>(event));
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) { acceptDroppedFile(event); }

void MainWindow::dropEvent(QDropEvent* event) { acceptDroppedFile(event); }

void MainWindow::closeEvent(QCloseEvent* event) {
  // The close box, Exit and the Exit button: input edited since it was last
  // opened or saved is offered for saving first. Results can be computed
  // again and never hold the program.
  bool mayEnd = false;
  dispatch([this, &mayEnd] { mayEnd = model_->confirmExit(); });
  if (mayEnd) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::exitProgram() {
  if (close()) QCoreApplication::quit();
}

void ConnectPlatform(QtPlatform& platform, MainWindow& window) {
  platform.setDialogParent(&window);
  QObject::connect(&platform, &QtPlatform::progressed, &window, &MainWindow::showProgress);
  QObject::connect(&platform, &QtPlatform::runPositionShown, &window, &MainWindow::showRunPosition);
}

}  // namespace korvagrid::gui
