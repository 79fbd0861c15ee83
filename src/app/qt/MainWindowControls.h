#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kelmo {

class AnchoredLayout;
class CapturePicture;
class UpDownControl;

// The main window's client area: the picture at the top left, the channel and recording buttons
// down the right, the status fields and the level meter along the bottom, placed in dialog units
// from the dialog's font. The window grows from here: the picture takes the new space. Every
// control carries its member name as object name and a name for screen readers.
class MainWindowControls final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kPictureWidth = 384;
  static constexpr int kPictureHeight = 288;

  explicit MainWindowControls(QWidget* parent);

  AnchoredLayout* layout = nullptr;
  CapturePicture* picture = nullptr;
  QPushButton* tvButton = nullptr;
  QPushButton* fmButton = nullptr;
  QPushButton* muteButton = nullptr;
  QPushButton* volButton = nullptr;
  QPushButton* recButton = nullptr;
  QPushButton* stopButton = nullptr;
  QPushButton* levelButton = nullptr;
  UpDownControl* m_spin = nullptr;
  QLabel* channelLine = nullptr;
  QLabel* overlayText = nullptr;
  QLabel* statusLine = nullptr;
  QLabel* clockText = nullptr;
  QLabel* levelText = nullptr;
  QProgressBar* levelMeter = nullptr;
};

}  // namespace kelmo
