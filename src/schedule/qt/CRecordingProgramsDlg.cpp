#include "schedule/qt/CRecordingProgramsDlg.h"

#include <QCursor>
#include <QDateEdit>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "base/ChannelText.h"
#include "schedule/ProgramText.h"
#include "schedule/RecordingPrograms.h"
#include "tuner/ChannelSelector.h"
#include "ui_CRecordingProgramsDlg.h"

namespace kelmo {
namespace {

// Widths of the list columns, in pixels, as the lists were laid out for: a column is widened when
// its header or a row needs more with the fonts at hand.
constexpr int kProgramColumnWidth = 324;
constexpr int kProfileColumnWidths[] = {100, 100, 75};
// After the row of the program that records now.
constexpr char kRecordingMark[] = "  (recording)";

void FitColumn(QTreeWidget* list, int column, int width) {
  list->resizeColumnToContents(column);
  list->setColumnWidth(column, std::max(width, list->columnWidth(column)));
}

// A list as wide as its columns, so that no row of the usual width is cut.
void FitListWidth(QTreeWidget* list, const std::vector<int>& columnWidths) {
  int width = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width();
  for (std::size_t c = 0; c < columnWidths.size(); ++c) {
    const int header = list->header()->sectionSizeHint(static_cast<int>(c));
    width += std::max(columnWidths[c], header);
  }
  list->setMinimumWidth(width);
}

// The program list's column holds the longest row the clock's locale writes: the last minute of
// the year, lasting a whole day and 59 minutes, recording, on the tuned channel or any channel of
// the lists.
int ProgramColumnWidth(const QTreeWidget* list, const Clock& clock, const ChannelTables& channels,
                       const DateFormat& dates) {
  LocalTime last = clock.ToLocal(clock.Now());
  last.month = 12;
  last.day = 31;
  last.hour = 23;
  last.minute = 59;
  RecordingProgram longest;
  longest.startTime = clock.FromLocal(last);
  longest.durationSeconds = 24 * 3600 + 59 * 60;
  int widest = 0;
  const auto measure = [&] {
    const QString row = QString::fromStdString(DescribeProgram(longest, clock, channels, dates)) +
                        QString(kRecordingMark);
    widest = std::max(widest, list->fontMetrics().horizontalAdvance(row));
  };
  measure();
  longest.recordFromChannel = 1;
  for (const uint32_t tv : {1u, 0u}) {
    longest.isTv = tv;
    const int32_t count = tv != 0 ? channels.tv.count : channels.fm.count;
    for (longest.channelIndex = 0; longest.channelIndex < count; ++longest.channelIndex) measure();
  }
  const int margins = 4 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list);
  return std::max(kProgramColumnWidth, widest + margins + 8);
}

// A date field wide enough for the longest date of the year in its format.
void FitDateWidth(QDateEdit* field) {
  const QFontMetrics metrics = field->fontMetrics();
  const QString format = field->displayFormat();
  const QLocale locale = field->locale();
  int longest = 0;
  for (QDate day(2026, 1, 1); day.year() == 2026; day = day.addDays(1))
    longest = std::max(longest, metrics.horizontalAdvance(locale.toString(day, format)));
  const int chrome = field->sizeHint().width() - metrics.horizontalAdvance(field->text());
  field->setMinimumWidth(longest + std::max(chrome, 0));
}

template <typename Table>
std::vector<std::string> ChannelNames(const Table& table) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < table.count; ++i)
    names.push_back(ChannelDisplayText(table.entries[static_cast<std::size_t>(i)].name));
  return names;
}

template <typename Table>
std::string ChannelTextOf(const Table& table, int32_t index) {
  if (!table.IsValidIndex(index)) return {};
  return ChannelLineText(table.entries[static_cast<std::size_t>(index)]);
}

// A channel index held to its table (0 for an empty one).
template <typename Table>
int32_t HeldToTable(const Table& table, int32_t index) {
  return std::clamp(index, 0, std::max(table.count - 1, 0));
}

}  // namespace

CRecordingProgramsDlg::CRecordingProgramsDlg(RecordingProgramsPorts given, QWidget* parent)
    : QDialog(parent), ports(std::move(given)), ui(std::make_unique<Ui::CRecordingProgramsDlg>()) {
  ui->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  const QLocale locale;
  ui->m_datePicker->setDisplayFormat(locale.dateFormat(QLocale::LongFormat));
  ui->m_timePicker->setDisplayFormat(locale.timeFormat(QLocale::ShortFormat));
  FitDateWidth(ui->m_datePicker);
  programColumnWidth =
      ProgramColumnWidth(ui->m_programList, ports.clock, ports.channels, ports.dates);
  FitListWidth(ui->m_programList, {programColumnWidth});
  FitListWidth(ui->m_profileList,
               {std::begin(kProfileColumnWidths), std::end(kProfileColumnWidths)});

  QPalette colours = ui->m_programList->palette();
  colours.setColor(QPalette::Base, Qt::black);
  colours.setColor(QPalette::Text, QColor(255, 200, 0));
  ui->m_programList->setPalette(colours);
  for (QTreeWidget* list : {ui->m_programList, ui->m_profileList}) {
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
  }
  ui->m_profileList->headerItem()->setTextAlignment(1, Qt::AlignCenter);
  ui->m_profileList->headerItem()->setTextAlignment(2, Qt::AlignCenter);

  runChannelMenu = [this](const std::vector<std::string>& items, const QPoint& at) {
    return ShowChannelMenu(items, at);
  };

  connect(ui->m_recordFromChannel, &QCheckBox::clicked, this,
          &CRecordingProgramsDlg::OnRecordFromChannel);
  connect(ui->m_tvCheck, &QCheckBox::clicked, this, &CRecordingProgramsDlg::OnTvBox);
  connect(ui->m_fmCheck, &QCheckBox::clicked, this, &CRecordingProgramsDlg::OnFmBox);
  connect(ui->m_selectChannel, &QPushButton::clicked, this,
          &CRecordingProgramsDlg::OnSelectChannel);
  connect(ui->m_shutdownCheck, &QCheckBox::clicked, this, &CRecordingProgramsDlg::OnShutdownBox);
  connect(ui->m_addProgram, &QPushButton::clicked, this, &CRecordingProgramsDlg::OnAddProgram);
  connect(ui->m_deleteProgram, &QPushButton::clicked, this,
          &CRecordingProgramsDlg::OnDeleteProgram);
  connect(ui->m_programList, &QTreeWidget::itemDoubleClicked, this, [this] {
    const int row = SelectedRow(ui->m_programList);
    if (row >= 0) ShowProgram(row);
  });
  connect(ui->m_newProfile, &QPushButton::clicked, this, &CRecordingProgramsDlg::OnNewProfile);
  connect(ui->m_applyProfile, &QPushButton::clicked, this, &CRecordingProgramsDlg::OnApplyProfile);
  connect(ui->m_deleteProfile, &QPushButton::clicked, this,
          &CRecordingProgramsDlg::OnDeleteProfile);
  connect(ui->m_profileList, &QTreeWidget::itemDoubleClicked, this,
          &CRecordingProgramsDlg::OnApplyProfile);
  connect(ui->okButton, &QPushButton::clicked, this, &CRecordingProgramsDlg::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &CRecordingProgramsDlg::reject);
}

CRecordingProgramsDlg::~CRecordingProgramsDlg() = default;

int CRecordingProgramsDlg::DoModal() {
  if (!OnInitDialog()) {
    // Closed as it opened: nothing armed, nothing saved.
    ports.programs.EndEditing();
    return QDialog::Accepted;
  }
  return exec();
}

bool CRecordingProgramsDlg::OnInitDialog() {
  // A close asked for here takes effect once the dialog has finished opening.
  const bool stay = ports.formatsReady();

  ui->m_hoursSpin->setValue(0);
  ui->m_minutesSpin->setValue(1);
  ui->m_frameRateSpin->setValue(ports.state.frameRate);
  ui->m_programList->clear();
  selectedChannel = ports.state.currentChannel;
  if (ports.programs.programCount == 0) {
    InitDefaultProgram(ports.programs.programs[0], ports.state, ports.clock.Now());
    ui->m_tvCheck->setChecked(true);
  }
  ShowProgram(0);
  ports.programs.BeginEditing();

  ui->m_profileList->clear();
  LoadProfileRows();
  // The box shows the request as it stands, so a shutdown that is armed is never seen as off.
  ui->m_shutdownCheck->setChecked(ports.state.shutdownWhenFinished != 0);
  return stay;
}

RecordingProgram& CRecordingProgramsDlg::EditSlot() {
  return ports.programs.programs[static_cast<std::size_t>(ports.programs.programCount.load())];
}

int CRecordingProgramsDlg::SelectedRow(const QTreeWidget* list) {
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.front());
}

void CRecordingProgramsDlg::ShowChannel(bool tv, int32_t index) {
  const std::string text =
      tv ? ChannelTextOf(ports.channels.tv, index) : ChannelTextOf(ports.channels.fm, index);
  ui->m_channelText->setText(QString::fromStdString(text));
}

void CRecordingProgramsDlg::SetStart(int64_t instant) {
  const LocalTime start = ports.clock.ToLocal(instant);
  ui->m_datePicker->setDate(QDate(start.year, start.month, start.day));
  ui->m_timePicker->setTime(QTime(start.hour, start.minute));
}

QStringList CRecordingProgramsDlg::ProgramRows() const {
  QStringList rows;
  const RecordingProgramTable& table = ports.programs;
  const Recorders& r = ports.recorders;
  const bool recording = (r.sound && r.sound->IsRecording()) || (r.video && r.video->IsRecording());
  // A program whose start failed has nothing recording, and says so by its absent mark.
  const bool firstRecords =
      recording && ports.state.programStarted != 0 && !table.RecordingProgramDeleted();
  for (int32_t k = 0; k < table.programCount; ++k) {
    QString row = QString::fromStdString(DescribeProgram(
        table.programs[static_cast<std::size_t>(k)], ports.clock, ports.channels, ports.dates));
    if (k == 0 && firstRecords) row += kRecordingMark;
    rows.append(row);
  }
  return rows;
}

void CRecordingProgramsDlg::FillProgramList() {
  ui->m_programList->clear();
  for (const QString& row : ProgramRows())
    ui->m_programList->addTopLevelItem(new QTreeWidgetItem(QStringList{row}));
  FitColumn(ui->m_programList, 0, programColumnWidth);
}

void CRecordingProgramsDlg::RefreshProgramList() {
  const QStringList rows = ProgramRows();
  QStringList shown;
  for (int i = 0; i < ui->m_programList->topLevelItemCount(); ++i)
    shown.append(ui->m_programList->topLevelItem(i)->text(0));
  if (rows == shown) return;
  const int selected = SelectedRow(ui->m_programList);
  FillProgramList();
  const int count = ui->m_programList->topLevelItemCount();
  if (selected >= 0 && count > 0)
    ui->m_programList->topLevelItem(std::min(selected, count - 1))->setSelected(true);
}

void CRecordingProgramsDlg::ShowProgram(int32_t i) {
  const RecordingProgram& program = ports.programs.programs[static_cast<std::size_t>(i)];
  const bool fromChannel = program.recordFromChannel == 1;
  ui->m_recordFromChannel->setChecked(fromChannel);
  ui->m_tvCheck->setEnabled(fromChannel);
  ui->m_fmCheck->setEnabled(fromChannel && ports.channels.fm.count > 0);
  ui->m_selectChannel->setEnabled(fromChannel);
  ui->m_channelText->setEnabled(fromChannel);
  if (fromChannel) {
    const bool tv = program.isTv == 1;
    ui->m_tvCheck->setChecked(tv);
    ui->m_fmCheck->setChecked(!tv);
    ShowChannel(tv, program.channelIndex);
  }
  selectedChannel = program.channelIndex;
  SetStart(program.startTime);
  ui->m_hoursSpin->setValue(program.durationSeconds / 3600);
  ui->m_minutesSpin->setValue(program.durationSeconds / 60 % 60);
  ui->m_frameRateSpin->setValue(program.frameRate);
  FillProgramList();
}

void CRecordingProgramsDlg::ReadProgramFromControls(int32_t slot) {
  RecordingProgram& program = ports.programs.programs[static_cast<std::size_t>(slot)];
  program.frameRate = ui->m_frameRateSpin->ValueInRange();
  program.recordFromChannel = ui->m_recordFromChannel->isChecked() ? 1 : 0;
  program.isTv = ui->m_tvCheck->isChecked() ? 1 : 0;
  program.channelIndex = selectedChannel;
  const QDate day = ui->m_datePicker->date();
  const QTime time = ui->m_timePicker->time();
  LocalTime date;
  date.year = day.year();
  date.month = day.month();
  date.day = day.day();
  LocalTime timeOfDay;
  timeOfDay.hour = time.hour();
  timeOfDay.minute = time.minute();
  ComposeProgram(program, date, timeOfDay, ui->m_hoursSpin->ValueInRange(),
                 ui->m_minutesSpin->ValueInRange(), ports.clock);
}

void CRecordingProgramsDlg::OnAddProgram() {
  // The table, not the list: the schedule may have removed a program since the list was drawn.
  const int n = ports.programs.programCount;
  if (n >= kMaxPrograms) {
    ports.messages.Show("The limit is 10 Programs.");
    return;
  }
  ReadProgramFromControls(n);
  ports.programs.programCount = n + 1;
  ShowProgram(n);
}

void CRecordingProgramsDlg::OnDeleteProgram() {
  int s = SelectedRow(ui->m_programList);
  if (s < 0) return;
  delete ui->m_programList->takeTopLevelItem(s);
  ports.programs.DeleteProgram(s, ports.state.programStarted != 0);
  if (s != 0 && s == ports.programs.programCount) --s;
  ShowProgram(s);
}

void CRecordingProgramsDlg::OnRecordFromChannel() {
  const ChannelTables& channels = ports.channels;
  if (channels.tv.count == 0 && channels.fm.count == 0) ui->m_recordFromChannel->setChecked(false);
  RecordingProgram& edit = EditSlot();
  if (!ui->m_recordFromChannel->isChecked()) {
    ui->m_tvCheck->setEnabled(false);
    ui->m_fmCheck->setEnabled(false);
    ui->m_selectChannel->setEnabled(false);
    ui->m_channelText->setEnabled(false);
    edit.recordFromChannel = 0;
    return;
  }
  if (!ports.cardLoaded()) {
    ports.messages.Show("Btvid_32.dll not present.");
    return;
  }
  ui->m_tvCheck->setEnabled(true);
  if (channels.fm.count > 0)
    ui->m_fmCheck->setEnabled(true);
  else
    edit.isTv = 1;
  ui->m_selectChannel->setEnabled(true);
  ui->m_channelText->setEnabled(true);
  edit.recordFromChannel = 1;
  selectedChannel = edit.channelIndex;
  const bool tv = edit.isTv != 0;
  ui->m_tvCheck->setChecked(tv);
  ui->m_fmCheck->setChecked(!tv);
  ShowChannel(tv, selectedChannel);
}

void CRecordingProgramsDlg::OnTvBox() {
  ui->m_tvCheck->setChecked(true);
  ui->m_fmCheck->setChecked(false);
  EditSlot().isTv = 1;
}

void CRecordingProgramsDlg::OnFmBox() {
  ui->m_tvCheck->setChecked(false);
  ui->m_fmCheck->setChecked(true);
  EditSlot().isTv = 0;
}

int CRecordingProgramsDlg::ShowChannelMenu(const std::vector<std::string>& items,
                                           const QPoint& globalPos) {
  QMenu menu(this);
  for (std::size_t i = 0; i < items.size(); ++i)
    menu.addAction(QString::fromStdString(items[i]))->setData(static_cast<int>(i));
  const QAction* chosen = menu.exec(globalPos);
  return chosen ? chosen->data().toInt() : -1;
}

void CRecordingProgramsDlg::OnSelectChannel() {
  const bool tv = ui->m_tvCheck->isChecked();
  const std::vector<std::string> names =
      tv ? ChannelNames(ports.channels.tv) : ChannelNames(ports.channels.fm);
  const int chosen = runChannelMenu(names, QCursor::pos());
  // A pop-up closed without a choice picks the first channel.
  selectedChannel = chosen >= 0 ? chosen : 0;
  ShowChannel(tv, selectedChannel);
  EditSlot().channelIndex = selectedChannel;
}

void CRecordingProgramsDlg::OnShutdownBox() {
  ports.state.shutdownWhenFinished = ports.state.shutdownWhenFinished != 0 ? 0 : 1;
  ui->m_shutdownCheck->setChecked(ports.state.shutdownWhenFinished != 0);
}

void CRecordingProgramsDlg::AddProfileRow(const RecordingProfile& profile) {
  const std::array<std::string, 3> texts = FormatProfileRow(profile, ports.channels);
  auto* row = new QTreeWidgetItem(QStringList{QString::fromStdString(texts[0]),
                                              QString::fromStdString(texts[1]),
                                              QString::fromStdString(texts[2])});
  row->setTextAlignment(1, Qt::AlignCenter);
  row->setTextAlignment(2, Qt::AlignCenter);
  ui->m_profileList->addTopLevelItem(row);
  for (int c = 0; c < 3; ++c) FitColumn(ui->m_profileList, c, kProfileColumnWidths[c]);
}

void CRecordingProgramsDlg::OnNewProfile() {
  const int n = ui->m_profileList->topLevelItemCount();
  if (n >= kMaxProfiles) {
    ports.messages.Show("The limit is 10 Profiles.");
    return;
  }
  RecordingProfile& profile = ports.profiles.profiles[static_cast<std::size_t>(n)];
  const QTime start = ui->m_timePicker->time();
  profile.frameRate = ui->m_frameRateSpin->ValueInRange();
  profile.recordFromChannel = ui->m_recordFromChannel->isChecked() ? 1 : 0;
  profile.isTv = ui->m_tvCheck->isChecked() ? 1 : 0;
  profile.channelIndex = selectedChannel;
  profile.startHour = start.hour();
  profile.startMinute = start.minute();
  profile.durationHours = ui->m_hoursSpin->ValueInRange();
  profile.durationMinutes = ui->m_minutesSpin->ValueInRange();
  ports.profiles.profileCount = n + 1;
  AddProfileRow(profile);
}

void CRecordingProgramsDlg::OnDeleteProfile() {
  const int s = SelectedRow(ui->m_profileList);
  if (s < 0) return;
  delete ui->m_profileList->takeTopLevelItem(s);
  auto& profiles = ports.profiles.profiles;
  std::move(profiles.begin() + s + 1, profiles.end(), profiles.begin() + s);
  ports.profiles.profileCount = ui->m_profileList->topLevelItemCount();
}

void CRecordingProgramsDlg::OnApplyProfile() { ApplyProfile(SelectedRow(ui->m_profileList)); }

void CRecordingProgramsDlg::ApplyProfile(int32_t s) {
  if (s < 0) return;
  const RecordingProfile profile = ports.profiles.profiles[static_cast<std::size_t>(s)];
  const bool tv = profile.isTv != 0;
  ui->m_frameRateSpin->setValue(profile.frameRate);
  ui->m_recordFromChannel->setChecked(profile.recordFromChannel != 0);
  ui->m_tvCheck->setChecked(tv);
  // A hand-edited profile may name a channel beyond its table.
  selectedChannel = tv ? HeldToTable(ports.channels.tv, profile.channelIndex)
                       : HeldToTable(ports.channels.fm, profile.channelIndex);
  RecordingProgram& edit = EditSlot();
  edit.frameRate = ui->m_frameRateSpin->value();
  edit.isTv = tv ? 1 : 0;
  edit.channelIndex = selectedChannel;
  OnRecordFromChannel();
  SetStart(NextStartFromProfile(profile, ports.clock.Now(), ports.clock));
  ui->m_hoursSpin->setValue(profile.durationHours);
  ui->m_minutesSpin->setValue(profile.durationMinutes);
}

void CRecordingProgramsDlg::LoadProfileRows() {
  ports.loadProfiles();
  for (int32_t k = 0; k < ports.profiles.profileCount; ++k)
    AddProfileRow(ports.profiles.profiles[static_cast<std::size_t>(k)]);
}

void CRecordingProgramsDlg::accept() {
  ValidateAndArm(ports.programs, ports.state, ports.clock.Now(), ports.messages);
  ports.warnIfNoRoom();
  std::string where;
  if (!ports.save(ui->m_profileList->topLevelItemCount(), where))
    ports.messages.Show("The recording programs could not be saved in " + where + ".");
  ports.protocol.ProgramsConfirmed();
  QDialog::accept();
}

void CRecordingProgramsDlg::reject() {
  ports.programs.CancelEditing();
  QDialog::reject();
}

}  // namespace kelmo
