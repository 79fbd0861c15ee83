#include "capture/qt/CVideoCaptureOptionsDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kelmo {

CVideoCaptureOptionsDlg::CVideoCaptureOptionsDlg(int32_t& frameRate, Actions actions,
                                                 QWidget* parent)
    : QDialog(parent), frameRate(frameRate), m_savedFrameRate(frameRate) {
  setObjectName("CVideoCaptureOptionsDlg");
  setWindowTitle("Video Capture Options");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* group = new QGroupBox;
  auto* rate = new QHBoxLayout(group);
  m_frameRateSpin = new QSpinBox;
  m_frameRateSpin->setObjectName("1070");
  m_frameRateSpin->setRange(1, 30);
  m_frameRateSpin->setValue(frameRate);
  auto* label = new QLabel("Frame Rate:");
  label->setBuddy(m_frameRateSpin);
  rate->addWidget(label);
  rate->addWidget(m_frameRateSpin);
  rate->addWidget(new QLabel("images/second"));

  auto* grid = new QGridLayout;
  auto button = [&](const char* id, const QString& text, int row, int column) {
    auto* b = new QPushButton(text);
    b->setObjectName(id);
    b->setAutoDefault(false);
    grid->addWidget(b, row, column);
    return b;
  };
  QPushButton* dir = button("3", "Set Capture Dir", 0, 0);
  QPushButton* sound = button("4", "Sound Format", 0, 1);
  QPushButton* video = button("5", "Video Format", 1, 0);
  QPushButton* compression = button("6", "Compression", 1, 1);
  connect(dir, &QPushButton::clicked, this, [this, a = actions.setCaptureDir] { a(this); });
  if (actions.soundFormat)
    connect(sound, &QPushButton::clicked, this, [this, a = actions.soundFormat] { a(this); });
  else
    sound->setEnabled(false);
  connect(video, &QPushButton::clicked, this, actions.videoFormat);
  connect(compression, &QPushButton::clicked, this, actions.compression);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &CVideoCaptureOptionsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CVideoCaptureOptionsDlg::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CVideoCaptureOptionsDlg::accept() {
  frameRate = m_frameRateSpin->value();
  QDialog::accept();
}

void CVideoCaptureOptionsDlg::reject() {
  frameRate = m_savedFrameRate;
  QDialog::reject();
}

}  // namespace kelmo
