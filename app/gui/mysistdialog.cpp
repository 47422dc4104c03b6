#include "mysistdialog.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "binding.h"

namespace korvagrid::gui {

namespace {

constexpr char32_t kBackspace = 8;

QLineEdit* NewField(const char* name, int characters, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  const int width = edit->fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('0')));
  edit->setMinimumWidth(width + 16);
  return edit;
}

QLabel* NewLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  return label;
}

}  // namespace

MySistDialog::MySistDialog(MySistModel& model, Platform& platform, QWidget* parent)
    : QDialog(parent), model_(model), platform_(platform) {
  setObjectName(QStringLiteral("MySist"));
  setWindowTitle(ToQString(kMySistTitle));
  setModal(true);

  using F = MySistModel::Field;
  auto* NameMy = NewField("NameMy", 12, this);
  auto* T1 = NewField("T1", 3, this);
  auto* M1 = NewField("M1", 2, this);
  auto* S1 = NewField("S1", 7, this);
  auto* dYmy = NewField("dYmy", 11, this);
  auto* dXmy = NewField("dXmy", 11, this);
  fields_ = {{{F::NameMy, NameMy}, {F::T1, T1}, {F::M1, M1}, {F::S1, S1}, {F::dYmy, dYmy},
              {F::dXmy, dXmy}}};

  cUTM_ = new QComboBox(this);
  cUTM_->setObjectName(QStringLiteral("cUTM"));
  for (const std::string& item : model_.typeItems()) cUTM_->addItem(ToQString(item));

  Text6_ = new QLineEdit(this);
  Text6_->setObjectName(QStringLiteral("Text6"));
  Text6_->setReadOnly(true);
  // Drawn on the dialog's own background, so that it does not invite typing.
  QPalette readOnly = Text6_->palette();
  readOnly.setColor(QPalette::Base, readOnly.color(QPalette::Window));
  Text6_->setPalette(readOnly);

  OKButton_ = new QPushButton(QStringLiteral("OK"), this);
  OKButton_->setObjectName(QStringLiteral("OKButton"));
  OKButton_->setAutoDefault(false);

  // Name, type and datum.
  auto* grid = new QGridLayout;
  grid->addWidget(NewLabel(QStringLiteral("Name:"), this), 0, 0);
  grid->addWidget(NameMy, 0, 1, 1, 3);
  grid->addWidget(NewLabel(QStringLiteral("Type:"), this), 1, 0);
  grid->addWidget(cUTM_, 1, 1, 1, 3);
  grid->addWidget(NewLabel(QStringLiteral("Datum:"), this), 2, 0);
  grid->addWidget(Text6_, 2, 1, 1, 3);
  // The signs of degrees, minutes and seconds over the meridian fields.
  grid->addWidget(NewLabel(QStringLiteral("°"), this), 3, 1, Qt::AlignHCenter);
  grid->addWidget(NewLabel(QStringLiteral("'"), this), 3, 2, Qt::AlignHCenter);
  grid->addWidget(NewLabel(QStringLiteral("\""), this), 3, 3, Qt::AlignHCenter);
  grid->addWidget(NewLabel(QStringLiteral("C.Meridian"), this), 4, 0);
  grid->addWidget(T1, 4, 1);
  grid->addWidget(M1, 4, 2);
  grid->addWidget(S1, 4, 3);
  grid->addWidget(NewLabel(QStringLiteral("False East."), this), 5, 0);
  grid->addWidget(dYmy, 5, 1, 1, 3);
  grid->addWidget(NewLabel(QStringLiteral("m"), this), 5, 4);
  grid->addWidget(NewLabel(QStringLiteral("False North."), this), 6, 0);
  grid->addWidget(dXmy, 6, 1, 1, 3);
  grid->addWidget(NewLabel(QStringLiteral("m"), this), 6, 4);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton_);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(grid);
  outer->addLayout(buttons);
  setLayout(outer);

  // Tab order: the editable fields, OK, then the datum and the type.
  setTabOrder(NameMy, T1);
  setTabOrder(T1, M1);
  setTabOrder(M1, S1);
  setTabOrder(S1, dYmy);
  setTabOrder(dYmy, dXmy);
  setTabOrder(dXmy, OKButton_);
  setTabOrder(OKButton_, Text6_);
  setTabOrder(Text6_, cUTM_);

  for (const FieldEdit& f : fields_) {
    f.edit->installEventFilter(this);
    const MySistModel::Field field = f.field;
    connect(f.edit, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { model_.text(field) = ToStdString(text); });
  }
  connect(cUTM_, &QComboBox::activated, this, [this](int index) {
    model_.own().cUTM = index;
    refresh();
  });
  connect(OKButton_, &QPushButton::clicked, this, &MySistDialog::okClicked);

  refresh();
  NameMy->setFocus();
}

void MySistDialog::refresh() {
  for (const FieldEdit& f : fields_) {
    const QString text = ToQString(model_.text(f.field));
    if (f.edit->text() != text) {
      const QSignalBlocker block(f.edit);
      f.edit->setText(text);
    }
  }
  {
    const QSignalBlocker block(cUTM_);
    cUTM_->setCurrentIndex(model_.own().cUTM);
  }
  Text6_->setText(ToQString(model_.own().Text6));
  OKButton_->setEnabled(model_.okEnabled());
}

bool MySistDialog::filterKey(MySistModel::Field field, QKeyEvent* event) {
  if (event->key() == Qt::Key_Backspace) {
    model_.keyPress(field, kBackspace, platform_);
    refresh();
    return false;
  }
  // Shortcuts (copy, paste, select all) and keys that type nothing are not
  // characters; they act on the field as usual.
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QList<uint> characters = event->text().toUcs4();
  if (characters.isEmpty()) return false;
  bool accepted = true;
  for (const uint c : characters) {
    if (c < 0x20 || c == 0x7F) return false;
    accepted = model_.keyPress(field, static_cast<char32_t>(c), platform_) && accepted;
  }
  OKButton_->setEnabled(model_.okEnabled());
  return !accepted;  // a refused character is discarded
}

void MySistDialog::leave(MySistModel::Field field, QLineEdit* edit) {
  if (leaving_ || finished_) return;
  leaving_ = true;
  model_.text(field) = ToStdString(edit->text());
  model_.leaveField(field, platform_);
  leaving_ = false;
  refresh();
}

bool MySistDialog::eventFilter(QObject* watched, QEvent* event) {
  for (const FieldEdit& f : fields_) {
    if (watched != f.edit) continue;
    switch (event->type()) {
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
          // Enter confirms as a click on OK does: the field is left first.
          OKButton_->setFocus(Qt::OtherFocusReason);
          if (OKButton_->isEnabled()) OKButton_->click();
          return true;
        }
        return filterKey(f.field, key);
      }
      case QEvent::FocusIn: {
        // Typing replaces the whole text; selected after the click that
        // brought the focus has placed the cursor.
        QLineEdit* edit = f.edit;
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        return false;
      }
      case QEvent::FocusOut: {
        // A message box or a menu taking the focus does not leave the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
          leave(f.field, f.edit);
        }
        return false;
      }
      default:
        return false;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void MySistDialog::keyPressEvent(QKeyEvent* event) {
  // There is no Cancel button: Escape must not throw the edits away.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MySistDialog::okClicked() {
  if (model_.okClick(platform_)) {
    finished_ = true;
    accept();
  } else {
    refresh();
  }
}

void MySistDialog::reject() {
  // The caller hears DialogEnd::Closed and lets the model discard the edits.
  finished_ = true;  // hiding the dialog takes the focus from a field: it is not left
  QDialog::reject();
}

}  // namespace korvagrid::gui
