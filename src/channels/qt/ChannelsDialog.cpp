#include "channels/qt/ChannelsDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>
#include <algorithm>

#include "base/ChannelText.h"
#include "base/qt/UpDownControl.h"
#include "channels/qt/CAddChannelDlg.h"
#include "tuner/Tuner.h"

namespace kelmo {

namespace {

QString Text(const std::string& bytes) { return QString::fromStdString(ChannelDisplayText(bytes)); }

}  // namespace

ChannelsDialog::ChannelsDialog(ChannelDialogPorts given, ChannelBand band, QWidget* parent)
    : QDialog(parent),
      ports(std::move(given)),
      file(ports.dataDir, ports.messages),
      editor(band, ports.channels, file, ports.messages),
      search(editor, ports.tuner, ports.card) {
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  searchTimer.setSingleShot(true);
  // The waits are the tuner's: a coarse timer may fire 5 % late.
  searchTimer.setTimerType(Qt::PreciseTimer);
  connect(&searchTimer, &QTimer::timeout, this, &ChannelsDialog::StepSearch);
  // A search never changes the channel of a recording.
  search.SetRecordingCheck(ports.recording);
}

ChannelsDialog::~ChannelsDialog() = default;

void ChannelsDialog::OnInitDialog(int tickInterval) {
  m_autodetectButton = findChild<QPushButton*>("m_autodetectButton");
  m_searchFrequencyLabel = findChild<QLabel*>("m_searchFrequencyLabel");
  m_searchProgress = findChild<QProgressBar*>("m_searchProgress");
  m_frequencySpin = findChild<UpDownControl*>("m_frequencySpin");
  m_frequencySlider = findChild<QSlider*>("m_frequencySlider");
  m_channelList = findChild<QTreeWidget*>("m_channelList");
  m_channelNameEdit = findChild<QLineEdit*>("m_channelNameEdit");
  m_frequencyLabel = findChild<QLabel*>("m_frequencyLabel");
  buddySpin = findChild<QLabel*>("BuddySpin");
  m_addChannelDlg = new CAddChannelDlg(search.Proposal(), this);
  m_addChannelDlg->setObjectName("m_addChannelDlg");
  connect(m_addChannelDlg, &QDialog::finished, this, &ChannelsDialog::OnProposalAnswered);

  connect(findChild<QPushButton*>("addChannelButton"), &QPushButton::clicked, this,
          &ChannelsDialog::OnAddChannel);
  connect(findChild<QPushButton*>("deleteChannelButton"), &QPushButton::clicked, this,
          &ChannelsDialog::OnDeleteChannel);
  connect(m_frequencySlider, &QSlider::valueChanged, this, &ChannelsDialog::OnSliderCustomDraw);
  connect(m_frequencySlider, &QSlider::sliderReleased, this,
          &ChannelsDialog::OnSliderReleasedCapture);
  m_frequencySpin->SetDeltaPosHandler([this](int delta) { return OnSpinDeltaPos(delta); });
  // A row reached with the arrow keys is loaded as a click loads it, so Add and the name field
  // act on the row the user sees selected. Mouse clicks and the dialog's own selections load
  // it their own way.
  connect(m_channelList, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item && m_channelList->hasFocus() && QApplication::mouseButtons() == Qt::NoButton)
      OnListItemClick(m_channelList->indexOfTopLevelItem(item));
  });
  m_channelList->header()->setSectionsClickable(true);
  connect(m_channelList->header(), &QHeaderView::sectionClicked, this,
          &ChannelsDialog::OnListColumnClick);
  connect(m_autodetectButton, &QPushButton::clicked, this, &ChannelsDialog::OnStartAutodetection);
  connect(findChild<QPushButton*>("IDOK"), &QPushButton::clicked, this, &ChannelsDialog::accept);
  connect(findChild<QPushButton*>("IDCANCEL"), &QPushButton::clicked, this,
          &ChannelsDialog::reject);

  editor.Open();

  const int last = editor.Raster().lastPosition;
  m_frequencySlider->setRange(0, last);
  m_frequencySlider->setTickInterval(tickInterval);
  m_frequencySpin->SetRange(0, last);
  SetPosition(0);
  m_channelNameEdit->setMaxLength(ChannelListEditor::kNameFieldChars);
  m_channelNameEdit->clear();

  QPalette colours = m_channelList->palette();
  colours.setColor(QPalette::Text, QColor(255, 200, 0));
  colours.setColor(QPalette::Base, Qt::black);
  colours.setColor(QPalette::Window, Qt::black);
  m_channelList->setPalette(colours);
  m_channelList->setColumnWidth(0, 195);
  m_channelList->setColumnWidth(1, 65);
  m_channelList->headerItem()->setTextAlignment(1, Qt::AlignCenter);
  RefreshList();
  m_searchProgress->setRange(0, 1);
  m_searchProgress->setValue(0);
}

void ChannelsDialog::SetTrackSelect() {
  m_channelList->setMouseTracking(true);
  m_channelList->viewport()->setMouseTracking(true);
  connect(m_channelList, &QTreeWidget::itemEntered, this, [this](QTreeWidgetItem* item) {
    if (m_channelList->isEnabled()) m_channelList->setCurrentItem(item);
  });
}

void ChannelsDialog::RefreshList() {
  m_channelList->clear();
  QList<QTreeWidgetItem*> items;
  for (const ChannelEntry& row : editor.Rows()) {
    auto* item = new QTreeWidgetItem({Text(row.name), Text(row.frequency)});
    item->setTextAlignment(1, Qt::AlignCenter);
    items.append(item);
  }
  m_channelList->addTopLevelItems(items);
  m_channelList->clearSelection();
  m_channelList->setCurrentItem(nullptr);
}

int ChannelsDialog::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = m_channelList->selectedItems();
  return selected.isEmpty() ? -1 : m_channelList->indexOfTopLevelItem(selected.front());
}

void ChannelsDialog::SelectRow(int row) {
  QTreeWidgetItem* item = m_channelList->topLevelItem(row);
  m_channelList->setCurrentItem(item);
  if (item != nullptr) m_channelList->scrollToItem(item);
}

void ChannelsDialog::SetPosition(int p) {
  movingSlider = true;
  m_frequencySlider->setValue(p);
  movingSlider = false;
  ShowPosition();
}

void ChannelsDialog::ShowPosition() {
  const int p = m_frequencySlider->value();
  m_frequencySpin->SetPos(p);
  buddySpin->setNum(p);
  m_frequencyLabel->setText(QString::fromStdString(PositionText(editor.Raster(), p)));
}

void ChannelsDialog::OnSliderCustomDraw() {
  ShowPosition();
  // A click on the slider's track or a key moves it without a drag: that tunes too.
  if (!movingSlider && !m_frequencySlider->isSliderDown()) TuneToSlider();
}

void ChannelsDialog::OnSliderReleasedCapture() {
  ShowPosition();
  TuneToSlider();
}

int ChannelsDialog::OnSpinDeltaPos(int delta) {
  const int p = std::clamp(m_frequencySpin->Pos() + delta, 0, editor.Raster().lastPosition);
  SetPosition(p);
  TuneToSlider();
  return 1;  // the position is set: the spin does not wrap
}

void ChannelsDialog::TuneToSlider() {
  const float mhz = static_cast<float>(PositionMhz(editor.Raster(), m_frequencySlider->value()));
  if (editor.Band() == ChannelBand::Tv) {
    ports.tuner.TuneTv(mhz);
  } else {
    ports.tuner.TuneFm(mhz);
  }
}

void ChannelsDialog::OnListItemClick(int row) {
  if (row < 0 || row >= static_cast<int>(editor.Rows().size())) return;
  const ChannelEntry& entry = editor.Rows()[static_cast<std::size_t>(row)];
  m_channelNameEdit->setText(Text(entry.name));
  SetPosition(PositionOf(editor.Raster(), entry.frequency));
  // The label shows the text as stored, which may lie off the raster.
  m_frequencyLabel->setText(Text(entry.frequency));
  TuneToSlider();
}

void ChannelsDialog::OnAddChannel() {
  const int row =
      editor.Add(m_channelNameEdit->text().toStdString(), m_frequencyLabel->text().toStdString());
  if (row < 0) return;
  // FM empties the name field for the next station; TV keeps it.
  if (editor.Band() == ChannelBand::Fm) m_channelNameEdit->clear();
  const int selected = SelectedRow();
  RefreshList();
  if (selected >= 0) SelectRow(selected);
}

void ChannelsDialog::OnDeleteChannel() {
  const int row = SelectedRow();
  if (row < 0) return;
  editor.Delete(row);
  RefreshList();
  AfterDelete(row);
}

void ChannelsDialog::OnListColumnClick(int column) {
  if (search.Running()) return;
  editor.Sort(column);
  RefreshList();
}

void ChannelsDialog::OnStartAutodetection() {
  if (search.Running()) return;
  search.Start();
  RefreshList();
  if (!search.Running()) return;
  SetSearching(true);
  m_searchProgress->setRange(0, search.Total());
  StepSearch();
}

void ChannelsDialog::StepSearch() {
  const ChannelSearch::Step step = search.Next();
  m_searchFrequencyLabel->setText(QString::fromStdString(search.DisplayText()));
  m_searchProgress->setValue(search.Swept());
  switch (step.kind) {
    case ChannelSearch::Step::Kind::Wait:
      searchTimer.start(step.waitMs);
      return;
    case ChannelSearch::Step::Kind::Propose:
      m_addChannelDlg->Propose();
      return;
    case ChannelSearch::Step::Kind::Finished:
      EndSearch();
      return;
  }
}

void ChannelsDialog::OnProposalAnswered() {
  if (!search.Proposing()) return;  // closed by AbortSearch, which ends the search itself
  search.Answer();
  RefreshList();
  StepSearch();
}

bool ChannelsDialog::FireSearchWait() {
  if (!searchTimer.isActive()) return false;
  searchTimer.stop();
  StepSearch();
  return true;
}

void ChannelsDialog::AbortSearch() {
  if (!search.Running()) return;
  searchTimer.stop();
  search.Abort();
  if (m_addChannelDlg->isVisible()) m_addChannelDlg->reject();
  EndSearch();
}

void ChannelsDialog::EndSearch() {
  searchTimer.stop();
  m_searchProgress->setValue(search.Swept());
  SetSearching(false);
  emit searchFinished();
}

void ChannelsDialog::SetSearching(bool searching) {
  // Every control the user could act with, except Cancel, which ends the search as Escape does.
  for (QWidget* w : findChildren<QWidget*>()) {
    if (w->window() != this || w->objectName() == "IDCANCEL") continue;
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSlider*>(w) ||
        qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w) ||
        qobject_cast<QComboBox*>(w) || w == m_frequencySpin) {
      w->setEnabled(!searching);
    }
  }
}

void ChannelsDialog::accept() {
  if (search.Running()) return;
  editor.Commit();
  QDialog::accept();
}

void ChannelsDialog::reject() {
  // Escape, the close box and Cancel end a search as its Abort does, then close as Cancel.
  AbortSearch();
  editor.Discard();
  QDialog::reject();
}

}  // namespace kelmo
