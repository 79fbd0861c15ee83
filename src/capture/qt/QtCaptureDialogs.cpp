#include "capture/qt/QtCaptureDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/Log.h"

namespace kelmo {
namespace {

// A dialog of rows and OK / Cancel (or Close only), laid out so that no text is clipped.
struct FormDialog {
  QDialog dialog;
  QFormLayout* form;
  QDialogButtonBox* buttons;

  FormDialog(QWidget* parent, const QString& title, const char* name, bool closeOnly = false)
      : dialog(parent) {
    dialog.setWindowTitle(title);
    dialog.setObjectName(name);
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(&dialog);
    form = new QFormLayout;
    layout->addLayout(form);
    buttons = new QDialogButtonBox(closeOnly ? QDialogButtonBox::Close
                                             : QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  }
};

}  // namespace

QString DescribeMode(const VideoMode& mode) {
  const QString layout = mode.format == PixelFormat::Yuyv ? "YUY2 16 bits" : "RGB 24 bits";
  return QString("%1 x %2, %3").arg(mode.width).arg(mode.height).arg(layout);
}

bool QtCaptureDialogs::VideoSourceDialog(VideoSource& source, const InputSelector& selectInput) {
  FormDialog d(parent, "Video Source", "videoSourceDialog", true);
  auto* input = new QComboBox;
  input->setObjectName("input");
  for (const std::string& name : source.Inputs()) input->addItem(QString::fromStdString(name));
  input->setCurrentIndex(source.Input());
  d.form->addRow("Input:", input);
  QObject::connect(input, &QComboBox::currentIndexChanged, &d.dialog, [&, input](int index) {
    if (selectInput(index).ok()) return;
    const QSignalBlocker quiet(input);
    input->setCurrentIndex(source.Input());
  });
  for (const VideoControl& c : source.Controls()) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QString::fromStdString(c.name));
    slider->setRange(c.minimum, c.maximum);
    slider->setSingleStep(c.step);
    slider->setValue(c.value);
    slider->setMinimumWidth(200);
    d.form->addRow(QString::fromStdString(c.name) + ":", slider);
    QObject::connect(slider, &QSlider::valueChanged, &d.dialog, [&source, id = c.id](int value) {
      if (DeviceError e = source.SetControl(id, value); !e.ok())
        LogWarning("capture", "%s", e.Text().c_str());
    });
  }
  d.dialog.exec();
  return true;
}

std::optional<VideoMode> QtCaptureDialogs::VideoFormatDialog(const std::vector<VideoMode>& modes,
                                                             const VideoMode& current) {
  FormDialog d(parent, "Video Format", "videoFormatDialog");
  auto* list = new QComboBox;
  list->setObjectName("format");
  for (std::size_t i = 0; i < modes.size(); ++i) {
    list->addItem(DescribeMode(modes[i]));
    if (modes[i] == current) list->setCurrentIndex(static_cast<int>(i));
  }
  d.form->addRow("Image size and format:", list);
  if (d.dialog.exec() != QDialog::Accepted || list->currentIndex() < 0) return std::nullopt;
  return modes[static_cast<std::size_t>(list->currentIndex())];
}

std::optional<VideoCompressionChoice> QtCaptureDialogs::CompressionDialog(
    const VideoCompressionChoice& current) {
  FormDialog d(parent, "Video Compression", "videoCompressionDialog");
  auto* codec = new QComboBox;
  codec->setObjectName("compressor");
  const auto codecs = VideoCodecs();
  for (std::size_t i = 0; i < codecs.size(); ++i) {
    codec->addItem(codecs[i].name);
    if (codecs[i].codec == current.codec) codec->setCurrentIndex(static_cast<int>(i));
  }
  auto* quality = new QSpinBox;
  quality->setObjectName("quality");
  auto* qualityLabel = new QLabel;
  d.form->addRow("Compressor:", codec);
  d.form->addRow(qualityLabel, quality);
  auto showQuality = [&](int index, int value) {
    const VideoCodecInfo& info = codecs[static_cast<std::size_t>(index)];
    const bool has = info.qualityLabel != nullptr;
    qualityLabel->setText(has ? QString(info.qualityLabel) + ":" : "Quality:");
    quality->setEnabled(has);
    quality->setRange(info.qualityMin, info.qualityMax);
    quality->setValue(has ? value : 0);
  };
  showQuality(codec->currentIndex(), Normalised(current).quality);
  QObject::connect(codec, &QComboBox::currentIndexChanged, &d.dialog, [&](int index) {
    showQuality(index, codecs[static_cast<std::size_t>(index)].qualityDefault);
  });
  if (d.dialog.exec() != QDialog::Accepted) return std::nullopt;
  return Normalised(
      {codecs[static_cast<std::size_t>(codec->currentIndex())].codec, quality->value()});
}

}  // namespace kelmo
