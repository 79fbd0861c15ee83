#include "channels/qt/CRadioChannelsDlg.h"

#include <QTreeWidget>

#include "ui_CRadioChannelsDlg.h"

namespace kelmo {

namespace {

// A tick mark every 20 positions: every MHz.
constexpr int kTickInterval = 20;

}  // namespace

CRadioChannelsDlg::CRadioChannelsDlg(ChannelDialogPorts ports, QWidget* parent)
    : ChannelsDialog(std::move(ports), ChannelBand::Fm, parent),
      ui(std::make_unique<Ui::CRadioChannelsDlg>()) {
  ui->setupUi(this);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  OnInitDialog(kTickInterval);
  SetTrackSelect();
  connect(m_channelList, &QTreeWidget::itemDoubleClicked, this,
          [this] { OnListItemClick(SelectedRow()); });
}

CRadioChannelsDlg::~CRadioChannelsDlg() = default;

}  // namespace kelmo
