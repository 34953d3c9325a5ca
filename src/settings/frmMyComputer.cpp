#include "settings/frmMyComputer.h"

#include "platform/audio.h"
#include "platform/drive_paths.h"
#include "settings/my_computer.h"
#include "station/station.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QListWidget* makeList(QWidget* parent, const char* name, const char* tip) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setToolTip(tip);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const char* text, const char* tip) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    return box;
}

void fill(QListWidget* list, const std::vector<SettingsListEntry>& entries) {
    for (const SettingsListEntry& e : entries) {
        auto* item = new QListWidgetItem(e.text, list);
        item->setData(Qt::UserRole, int(e.value));
    }
}

void fillNames(QListWidget* list, const QStringList& names) {
    std::vector<SettingsListEntry> entries;
    for (int i = 0; i < names.size(); ++i)
        entries.push_back({names[i], int16_t(i)});
    fill(list, entries);
}

int16_t valueAt(const QListWidget* list, int row) {
    return int16_t(list->item(row)->data(Qt::UserRole).toInt());
}

std::optional<int16_t> selectedValue(const QListWidget* list) {
    const int row = list->currentRow();
    if (row < 0)
        return std::nullopt;
    return valueAt(list, row);
}

// A stored value naming no entry leaves the list unselected.
void selectRow(QListWidget* list, int row) {
    list->setCurrentRow(row >= 0 && row < list->count() ? row : -1);
}

int16_t checked(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

QWidget* labelled(const char* text, QWidget* control) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(text));
    layout->addWidget(control);
    return box;
}

} // namespace

frmMyComputer::frmMyComputer(Station& station, AudioDevices& devices, IoPorts* ports,
                             QWidget* parent)
    : QMainWindow(parent), station_(station), devices_(devices), ports_(ports) {
    setObjectName("frmMyComputer");
    setWindowTitle("My Computer");
    buildControls();
    connectClicks();
    load();
}

void frmMyComputer::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    lstMM1 = makeList(central, "lstMM1", "Select Program  sound card");
    lstMM2 = makeList(central, "lstMM2", "Select Audition sound card");
    lstMM3 = makeList(central, "lstMM3", "Select Program  sound card");
    lstMM4 = makeList(central, "lstMM4", "Select Program  sound card");
    txtThreshold = new QLineEdit(central);
    txtThreshold->setObjectName("txtThreshold");
    txtThreshold->setToolTip("Set the Audio level for record autostart");
    List1 = makeList(central, "List1", "Select days to save audio files");
    List2 = makeList(central, "List2", "Select period of time to save Activity Logs");
    List3 = makeList(central, "List3", "Select period of time to save EbNo logs");
    List4 = makeList(central, "List4",
                     "Select number of times per hour/minute to read the "
                     "Unity 4K EbNo and save it");
    Check2 = makeCheck(central, "Check2", "Activity Log", "Keep an Activity Log?");
    Frame3 = new QGroupBox("Remote Control", central);
    Frame3->setObjectName("Frame3");
    Frame3->setToolTip("Remote control:  Record, Play, EOM, Time Update, Alarm");
    const char* captions[] = {"Off", "Parallel ", "Prairie Digital"};
    const char* tips[] = {"Remote Control is Off", "Use the Parallel Port for Remote Control",
                          "Use the Prairie Digital Model 30 Card for Remote Control"};
    auto* frameLayout = new QVBoxLayout(Frame3);
    for (int i = 0; i < 3; ++i) {
        Option2[size_t(i)] = new QRadioButton(captions[i], Frame3);
        Option2[size_t(i)]->setObjectName(QString("Option2_%1").arg(i));
        Option2[size_t(i)]->setToolTip(tips[i]);
        frameLayout->addWidget(Option2[size_t(i)]);
    }
    Check1 =
        makeCheck(central, "Check1", "Play Visible", "Makes playlist  \"play\" button visible");
    Check3 =
        makeCheck(central, "Check3", "Stop Visible", "Makes playlist  \"stop\" button visible");
    Check4 = makeCheck(central, "Check4", "ReSet Expansion Card Relays",
                       "Turns off the relay(s) associated with a particular port that is being "
                       "switched if the Unity 4K has the Relay Expansion Card installed.");
    chkTimeChange = makeCheck(
        central, "chkTimeChange", "Adjust Schedules for Time Change",
        "Updates schedules for time change for stations which do not observe Daylight Savings "
        "Time.   Check this box ONLY if your time zone does not observe DST.");
    Label11 = new QLabel(central);
    Label11->setObjectName("Label11");
    lstDrv = makeList(central, "lstDrv", "Save wave files to this drive.");
    cmdApply = new QPushButton("Apply", central);
    cmdApply->setObjectName("cmdApply");
    cmdApply->setToolTip("Exit ");
    cmdClose = new QPushButton("&Close", central);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setToolTip("Exit ");
    mnuFiles = menuBar()->addMenu("Files");
    mnuFiles->setObjectName("mnuFiles");
    mnuExit = mnuFiles->addAction("Exit");
    mnuExit->setObjectName("mnuExit");

    auto* cards = new QGroupBox("Select Sound Card", central);
    auto* cardLayout = new QGridLayout(cards);
    auto* lblMM1 = new QLabel("Program Play");
    lblMM1->setObjectName("lblMM1");
    cardLayout->addWidget(lblMM1, 0, 0);
    cardLayout->addWidget(lstMM1, 1, 0);
    cardLayout->addWidget(labelled("Audition Play", lstMM2), 0, 1, 2, 1);
    cardLayout->addWidget(labelled("Record Channel 1", lstMM3), 2, 0);
    cardLayout->addWidget(labelled("Record Channel 2", lstMM4), 2, 1);

    auto* grid = new QGridLayout;
    grid->addWidget(labelled("Record Audio Threshold", txtThreshold), 0, 0);
    grid->addWidget(labelled("Days to save wave files", List1), 1, 0);
    grid->addWidget(labelled("Save Activity Logs", List2), 1, 1);
    grid->addWidget(labelled("Save EbNo Logs", List3), 1, 2);
    grid->addWidget(labelled("Log EbNo", List4), 1, 3);
    grid->addWidget(labelled("Save wave files to drive", lstDrv), 1, 4);
    auto* checks = new QVBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{Check2, Check1, Check3, Check4, chkTimeChange, Label11})
        checks->addWidget(w);
    auto* middle = new QHBoxLayout;
    middle->addLayout(checks);
    middle->addWidget(Frame3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(cards);
    layout->addLayout(grid);
    layout->addLayout(middle);
    layout->addLayout(buttons);

    fill(lstDrv, waveDriveEntries(station_.paths().availableDrives()));
    fillNames(lstMM1, devices_.outputNames());
    fillNames(lstMM2, devices_.outputNames());
    fillNames(lstMM3, devices_.inputNames());
    fillNames(lstMM4, devices_.inputNames());
    std::vector<SettingsListEntry> days;
    for (int d = 1; d <= 7; ++d)
        days.push_back({QString::number(d), int16_t(d)});
    fill(List1, days);
    fill(List2, retentionPeriodEntries());
    fill(List3, retentionPeriodEntries());
    fillNames(List4, ebNoRateNames());
}

void frmMyComputer::connectClicks() {
    StationState& s = station_.state;
    const auto onRow = [this](QListWidget* list, auto effect) {
        connect(list, &QListWidget::currentRowChanged, this, [list, effect](int row) {
            if (row >= 0)
                effect(valueAt(list, row));
        });
    };
    onRow(List1, [&s](int16_t v) { s.WaveKeepDays = v; });
    onRow(List2, [&s](int16_t v) { s.ActivityLogKeep = v; });
    onRow(List3, [&s](int16_t v) { s.EbNoLogKeep = v; });
    onRow(List4, [&s](int16_t v) { s.EbNoLogInterval = v; });
    onRow(lstDrv, [this](int16_t v) { selectWaveDrive(station_, v); });
    connect(Check2, &QCheckBox::toggled, this, [&s](bool on) { s.ActivityLogOn = on ? 1 : 0; });
    connect(Check1, &QCheckBox::toggled, this,
            [this](bool on) { setPlayVisible(station_, on ? 1 : 0); });
    connect(Check3, &QCheckBox::toggled, this,
            [this](bool on) { setStopVisible(station_, on ? 1 : 0); });
    for (int i = 0; i < 3; ++i)
        connect(Option2[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                selectRemoteControl(station_, ports_, i);
        });
    connect(chkTimeChange, &QCheckBox::toggled, this, [this](bool on) {
        Label11->setText(
            on ? timeChangeText(station_.state.SpringChangeDate, station_.state.FallChangeDate)
               : QString());
    });
    connect(cmdApply, &QPushButton::clicked, this, &frmMyComputer::apply);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
}

void frmMyComputer::load() {
    selectRow(List4, station_.state.EbNoLogInterval);
    const StoredSettings r = readSettingsForWindow(station_);
    selectRow(lstMM1, r[Setting::PlayDevice]);
    selectRow(lstMM2, r[Setting::AuditionDevice]);
    selectRow(lstMM3, r[Setting::RecDevice1]);
    selectRow(lstMM4, r[Setting::RecDevice2]);
    txtThreshold->setText(QString::number(r[Setting::RecordThreshold]));
    selectRow(List1, r[Setting::WaveKeepDays] - 1);
    selectRow(List2, r[Setting::ActivityLogKeep] - 1);
    selectRow(List3, r[Setting::EbNoLogKeep] - 1);
    selectRow(List4, r[Setting::EbNoLogInterval]);
    Check2->setChecked(r[Setting::ActivityLogOn] == 1);
    if (const int card = r[Setting::RelayCardType]; card >= 0 && card < 3)
        Option2[size_t(card)]->setChecked(true);
    Check1->setChecked(r[Setting::PlayButtonVisible] == 1);
    Check3->setChecked(r[Setting::StopButtonVisible] == 1);
    Check4->setChecked(r[Setting::ResetExpansionRelays] == 1);
    chkTimeChange->setChecked(r[Setting::TimeChangeAdjust] == 1);
    int drive = -1;
    for (int row = 0; row < lstDrv->count(); ++row)
        if (valueAt(lstDrv, row) == r[Setting::WaveDriveNo])
            drive = row;
    selectRow(lstDrv, drive);
}

void frmMyComputer::apply() {
    SettingsChoice c;
    QListWidget* const cards[] = {lstMM1, lstMM2, lstMM3, lstMM4};
    for (int i = 0; i < 4; ++i)
        c.devices[i] = selectedValue(cards[i]);
    c.daysSelected = List1->currentRow() >= 0;
    c.driveSelected = lstDrv->currentRow() >= 0;
    c.threshold = txtThreshold->text();
    c.playVisible = checked(Check1);
    c.stopVisible = checked(Check3);
    c.resetRelays = checked(Check4);
    c.timeChange = checked(chkTimeChange);
    applySettings(station_, c);
}

void frmMyComputer::showEvent(QShowEvent* event) {
    if (stale_ && !event->spontaneous()) {
        stale_ = false;
        load();
    }
    QMainWindow::showEvent(event);
}

void frmMyComputer::closeEvent(QCloseEvent* event) {
    stale_ = true;
    QMainWindow::closeEvent(event);
}
