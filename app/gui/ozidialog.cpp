#include "ozidialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "binding.h"

namespace korvagrid::gui {

OziDialog::OziDialog(FmOziModel& model, Platform& platform, QWidget* parent)
    : QDialog(parent), model_(model), platform_(platform) {
  setObjectName(QStringLiteral("FmOzi"));
  setWindowTitle(ToQString(FmOziModel::kTitle));
  setModal(true);

  placement_ = new QComboBox(this);
  placement_->setObjectName(QStringLiteral("Combo1"));
  placement_->setEditable(true);
  placement_->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& item : FmOziModel::placementItems()) placement_->addItem(ToQString(item));

  fontSize_ = new QComboBox(this);
  fontSize_->setObjectName(QStringLiteral("Combo2"));
  fontSize_->setEditable(true);
  fontSize_->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& item : FmOziModel::fontSizeItems()) fontSize_->addItem(ToQString(item));

  auto* frame = new QGroupBox(ToQString(FmOziModel::kBackgroundFrame), this);
  frame->setObjectName(QStringLiteral("Frame1"));
  swatch_ = new QLineEdit(frame);
  swatch_->setObjectName(QStringLiteral("Text1"));
  swatch_->setReadOnly(true);
  swatch_->setFocusPolicy(Qt::NoFocus);
  swatch_->setAutoFillBackground(true);
  auto* colourButton = new QPushButton(ToQString(FmOziModel::kColourButton), frame);
  colourButton->setObjectName(QStringLiteral("cmdColor"));
  colourButton->setAutoDefault(false);
  auto* frameLayout = new QHBoxLayout(frame);
  frameLayout->addWidget(swatch_, 1);
  frameLayout->addWidget(colourButton);

  auto* okButton = new QPushButton(ToQString(FmOziModel::kOkButton), this);
  okButton->setObjectName(QStringLiteral("OKButton"));
  okButton->setDefault(true);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(ToQString(FmOziModel::kPlacementLabel), this), 0, 0);
  grid->addWidget(placement_, 0, 1);
  grid->addWidget(new QLabel(ToQString(FmOziModel::kFontSizeLabel), this), 1, 0);
  grid->addWidget(fontSize_, 1, 1);
  grid->addWidget(frame, 2, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(grid);
  outer->addLayout(buttons);

  // The list choices and the typed texts both go to the model.
  connect(placement_, &QComboBox::activated, this,
          [this](int index) { model_.setPlacementIndex(index); });
  connect(placement_->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.setPlacementText(ToStdString(text)); });
  connect(fontSize_, &QComboBox::activated, this,
          [this](int index) { model_.setFontSizeIndex(index); });
  connect(fontSize_->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.setFontSizeText(ToStdString(text)); });
  connect(colourButton, &QPushButton::clicked, this, [this] {
    model_.cmdColorClick(platform_);
    refresh();
  });
  connect(okButton, &QPushButton::clicked, this, [this] {
    model_.okButtonClick();
    accept();  // hidden, not destroyed: the model keeps the settings
  });

  // The model was loaded when it was created: its first load chose the defaults.
  refresh();
}

void OziDialog::refresh() {
  {
    const QSignalBlocker block(placement_);
    const int index = model_.placementIndex();
    if (index >= 0) placement_->setCurrentIndex(index);
    placement_->setEditText(ToQString(model_.placementText()));
  }
  {
    const QSignalBlocker block(fontSize_);
    fontSize_->setEditText(ToQString(model_.fontSizeText()));
  }
  const std::int32_t c = model_.backgroundColour();
  QPalette palette = swatch_->palette();
  palette.setColor(QPalette::Base, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  swatch_->setPalette(palette);
}

}  // namespace korvagrid::gui
