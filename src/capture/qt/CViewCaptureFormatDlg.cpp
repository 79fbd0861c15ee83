#include "capture/qt/CViewCaptureFormatDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kelmo {
namespace {

// The rows of each part: control id and its label.
constexpr std::pair<int, const char*> kWavRows[] = {
    {1006, "Input Format:"},   {1008, "Channels:"},      {1009, "SamplesPerSec:"},
    {1010, "AvgBytesPerSec:"}, {1012, "BitsperSample:"}, {1014, "Compr.Format:"},
    {1016, "Channels:"},       {1017, "SamplesPerSec:"}, {1018, "AvgBytesPerSec:"},
    {1020, "BitsperSample:"}};
constexpr std::pair<int, const char*> kAviRows[] = {
    {1019, "Image Size:"}, {1021, "Pixel format:"},    {1007, "Audio Format:"},
    {1011, "Channels:"},   {1013, "Samples Per Sec:"}, {1015, "Bits Per Sample:"}};

}  // namespace

CViewCaptureFormatDlg::CViewCaptureFormatDlg(const std::map<int, std::string>& texts,
                                             QWidget* parent)
    : QDialog(parent) {
  setObjectName("CViewCaptureFormatDlg");
  setWindowTitle("View Format Capture");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto value = [&](int id) {
    auto* label = new QLabel;
    label->setObjectName(QString::number(id));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (const auto it = texts.find(id); it != texts.end())
      label->setText(QString::fromStdString(it->second));
    return label;
  };
  auto* top = new QFormLayout;
  top->addRow("Capture File:", value(1005));

  auto* wav = new QGroupBox("WAV Capture");
  auto* wavForm = new QFormLayout(wav);
  for (const auto& [id, label] : kWavRows) wavForm->addRow(label, value(id));

  auto* avi = new QGroupBox("AVI Capture");
  auto* aviForm = new QFormLayout(avi);
  for (const auto& [id, label] : kAviRows) aviForm->addRow(label, value(id));
  aviForm->addRow(new QLabel("..Not finished.."));

  auto* groups = new QHBoxLayout;
  groups->addWidget(wav);
  groups->addWidget(avi, 0, Qt::AlignTop);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(groups);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace kelmo
