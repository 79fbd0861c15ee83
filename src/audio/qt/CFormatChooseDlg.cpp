#include "audio/qt/CFormatChooseDlg.h"

#include <QApplication>
#include <QLayout>

#include "ui_CFormatChooseDlg.h"

namespace kelmo {

CFormatChooseDlg::CFormatChooseDlg(const FormatChooserModel& model,
                                   FormatChooserModel::Position start, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CFormatChooseDlg>()), model(model) {
  ui->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  for (std::size_t tag = 0; tag < model.TagCount(); ++tag)
    ui->m_formatTag->addItem(QString::fromStdString(model.TagName(tag)));
  ui->m_formatTag->setCurrentIndex(static_cast<int>(start.tag));
  OnFormatTagChanged(static_cast<int>(start.tag));
  ui->m_format->setCurrentIndex(static_cast<int>(start.attribute));
  connect(ui->m_formatTag, &QComboBox::currentIndexChanged, this,
          &CFormatChooseDlg::OnFormatTagChanged);
  connect(ui->okButton, &QPushButton::clicked, this, &CFormatChooseDlg::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &CFormatChooseDlg::reject);
}

CFormatChooseDlg::~CFormatChooseDlg() = default;

void CFormatChooseDlg::OnFormatTagChanged(int tag) {
  ui->m_format->clear();
  if (tag < 0) return;
  for (const std::string& line : model.Attributes(static_cast<std::size_t>(tag)))
    ui->m_format->addItem(QString::fromStdString(line));
  ui->m_format->setCurrentIndex(0);
}

FormatChooserModel::Position CFormatChooseDlg::Selection() const {
  return {static_cast<std::size_t>(std::max(0, ui->m_formatTag->currentIndex())),
          static_cast<std::size_t>(std::max(0, ui->m_format->currentIndex()))};
}

std::optional<FormatChooserModel::Position> CFormatChooseDlg::Pick(
    const FormatChooserModel& model, FormatChooserModel::Position start, QWidget* parent) {
  CFormatChooseDlg dlg(model, start, parent);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return dlg.Selection();
}

int ChooserCodecManager::ChooseFormat(AcmFormatChoice& choice) {
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  return chooser.Choose(
      choice, [owner](const FormatChooserModel& model, FormatChooserModel::Position start) {
        return CFormatChooseDlg::Pick(model, start, owner);
      });
}

}  // namespace kelmo
