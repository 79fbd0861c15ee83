#include "channels/qt/CAddChannelDlg.h"

#include "base/Frequency.h"
#include "ui_CAddChannelDlg.h"

namespace kelmo {

CAddChannelDlg::CAddChannelDlg(ChannelProposal& proposal, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CAddChannelDlg>()), proposal(proposal) {
  ui->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  connect(ui->addButton, &QPushButton::clicked, this, &CAddChannelDlg::OnAddChannel);
  connect(ui->noAddButton, &QPushButton::clicked, this, &CAddChannelDlg::OnNoAddChannel);
  connect(ui->abortButton, &QPushButton::clicked, this, &CAddChannelDlg::OnCancel);
}

CAddChannelDlg::~CAddChannelDlg() = default;

void CAddChannelDlg::Propose() {
  OnInitDialog();
  open();
  ui->m_channelNameEdit->setFocus();
}

void CAddChannelDlg::OnInitDialog() {
  ui->m_frequencyLabel->setText(
      QString::fromStdString(FormatFrequency(proposal.proposedFrequency)));
  ui->m_channelNameEdit->clear();
}

void CAddChannelDlg::OnAddChannel() {
  proposal.proposedName = ui->m_channelNameEdit->text().toStdString();
  done(0);
}

void CAddChannelDlg::OnNoAddChannel() {
  proposal.proposedFrequency = ChannelProposal::kNoAdd;
  done(0);
}

void CAddChannelDlg::reject() {
  proposal.proposedFrequency = ChannelProposal::kAbort;
  QDialog::reject();
}

}  // namespace kelmo
