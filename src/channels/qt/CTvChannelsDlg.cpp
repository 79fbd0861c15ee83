#include "channels/qt/CTvChannelsDlg.h"

#include <QTreeWidget>

#include "ui_CTvChannelsDlg.h"

namespace kelmo {

namespace {

// A tick mark every 157 positions: about 40 MHz.
constexpr int kTickInterval = 157;

}  // namespace

CTvChannelsDlg::CTvChannelsDlg(ChannelDialogPorts ports, QWidget* parent)
    : ChannelsDialog(std::move(ports), ChannelBand::Tv, parent),
      ui(std::make_unique<Ui::CTvChannelsDlg>()) {
  ui->setupUi(this);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  OnInitDialog(kTickInterval);
  // The label shows the two-decimal form once the slider, the spin or the list has set it.
  m_frequencyLabel->setText("38");
  m_tunerTypeCombo = ui->m_tunerTypeCombo;
  m_tunerTypeCombo->setCurrentIndex(this->ports.state.tunerType);
  connect(m_tunerTypeCombo, &QComboBox::currentIndexChanged, this,
          &CTvChannelsDlg::OnTunerTypeChange);
  connect(ui->moveUpButton, &QPushButton::clicked, this, &CTvChannelsDlg::OnMoveUp);
  connect(ui->moveDownButton, &QPushButton::clicked, this, &CTvChannelsDlg::OnMoveDown);
  connect(m_channelList, &QTreeWidget::itemClicked, this,
          [this] { OnListItemClick(SelectedRow()); });
}

CTvChannelsDlg::~CTvChannelsDlg() = default;

void CTvChannelsDlg::AfterDelete(int deletedRow) {
  const int rows = static_cast<int>(editor.Rows().size());
  if (rows == 0) return;
  const int next = std::min(deletedRow, rows - 1);
  SelectRow(next);
  OnListItemClick(next);
}

void CTvChannelsDlg::OnMoveUp() {
  const int row = SelectedRow();
  if (row >= 0) Move(editor.MoveUp(row));
}

void CTvChannelsDlg::OnMoveDown() {
  const int row = SelectedRow();
  if (row >= 0) Move(editor.MoveDown(row));
}

void CTvChannelsDlg::Move(int to) {
  if (to < 0) return;
  RefreshList();
  SelectRow(to);
}

void CTvChannelsDlg::OnTunerTypeChange(int index) {
  // At once for every later tuning, and kept even when the dialog is cancelled.
  if (index >= 0) ports.state.tunerType = index;
}

}  // namespace kelmo
