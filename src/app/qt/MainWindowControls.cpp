#include "app/qt/MainWindowControls.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/qt/AnchoredLayout.h"
#include "app/qt/DialogUnits.h"
#include "app/qt/ElidedLabel.h"
#include "base/qt/UpDownControl.h"
#include "capture/qt/CapturePicture.h"

namespace kelmo {
namespace {

// Dialog size in dialog units.
constexpr int kDialogWidthDu = 289;
constexpr int kDialogHeightDu = 223;

// The wide fields shorten a text too long for them; the narrow ones hold short figures.
QLabel* StatusField(QWidget* parent, const char* id, const QString& text, Qt::Alignment align,
                    bool wide) {
  QLabel* label = wide ? new ElidedLabel(text, parent) : new QLabel(text, parent);
  label->setObjectName(id);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(align | Qt::AlignVCenter);
  label->setWordWrap(false);
  label->setTextFormat(Qt::PlainText);
  label->setMargin(0);
  label->setIndent(2);
  return label;
}

}  // namespace

MainWindowControls::MainWindowControls(QWidget* parent) : QWidget(parent) {
  setObjectName("client");
  const DialogUnits du(font());
  using A = AnchoredLayout::Anchor;
  layout = new AnchoredLayout(this, QSize(du.X(kDialogWidthDu), du.Y(kDialogHeightDu)),
                              QSize(kPictureWidth, kPictureHeight));

  picture = new CapturePicture(this);
  picture->setObjectName("MyCaptureWindow");
  picture->setAccessibleName("Picture");
  layout->AddPicture(picture);

  // The column of buttons keeps to the top right, the level button to the bottom right.
  auto button = [&](const char* id, const QString& text, const char* name, QRect r,
                    A vertical = A::Start) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(id);
    b->setAccessibleName(name);
    layout->Add(b, r, A::End, vertical);
    return b;
  };
  tvButton = button("1006", "&TV", "TV channel", du.Map(260, 22, 26, 13));
  fmButton = button("1007", "&FM", "FM channel", du.Map(260, 59, 26, 13));
  muteButton = button("1024", "&Mute", "Mute", du.Map(260, 92, 26, 13));
  volButton = button("1025", "&Vol.", "Volume", du.Map(260, 105, 26, 13));
  recButton = button("1008", "&REC.", "Record", du.Map(260, 129, 26, 13));
  stopButton = button("1009", "&STOP", "Stop", du.Map(260, 149, 26, 13));
  stopButton->setEnabled(false);
  muteButton->setCheckable(true);  // pressed while the sound is off
  levelButton = button("1010", "&level", "Level meter", du.Map(257, 209, 26, 10), A::End);

  m_spin = new UpDownControl(this);
  m_spin->setObjectName("1070");
  m_spin->setAccessibleName("Channel");
  layout->Add(m_spin, du.Map(260, 41, 26, 12), A::End, A::Start);

  // The wide fields grow with the window; the narrow ones keep to the right edge.
  auto field = [&](const char* id, const char* name, const QString& text, Qt::Alignment align,
                   QRect r, A h) {
    QLabel* label = StatusField(this, id, text, align, h == A::Stretch);
    label->setAccessibleName(name);
    layout->Add(label, r, h, A::End);
    return label;
  };
  channelLine =
      field("1003", "Channel line", "", Qt::AlignLeft, du.Map(3, 181, 227, 11), A::Stretch);
  overlayText =
      field("1002", "Display", "static3", Qt::AlignHCenter, du.Map(235, 181, 51, 11), A::End);
  statusLine =
      field("1000", "Status", "static1", Qt::AlignLeft, du.Map(3, 195, 227, 11), A::Stretch);
  clockText = field("1001", "Clock", " ", Qt::AlignHCenter, du.Map(235, 195, 51, 11), A::End);
  levelText = field("1004", "Sound level", "", Qt::AlignHCenter, du.Map(235, 209, 17, 10), A::End);

  levelMeter = new QProgressBar(this);
  levelMeter->setObjectName("1019");
  levelMeter->setTextVisible(false);
  levelMeter->setAccessibleName("Sound level meter");
  layout->Add(levelMeter, du.Map(3, 210, 227, 9), A::Stretch, A::End);
}

}  // namespace kelmo
