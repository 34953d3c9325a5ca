#include "app/mnuMenu.h"

#include "app/frmWeekAhead.h"
#include "app/station_assembly.h"

#include "audition/frmAudition.h"
#include "backup/frmLoadData.h"
#include "backup/frmSaveData.h"
#include "console/playback.h"
#include "export/frmAutoExport.h"
#include "history/frmRecordings.h"
#include "logs/frmActivityLog.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "receiver/frmComSelect.h"
#include "receiver/frmDisplayReceiver.h"
#include "receiver/frmRelay.h"
#include "receiver/frmSetReceiver.h"
#include "recording/record_channel.h"
#include "schedule/frmProgramSourceCodes.h"
#include "schedule/frmSchedule.h"
#include "schedule/frmWeeklySchedule.h"
#include "settings/frmMyComputer.h"
#include "windows/frmAbout.h"
#include "windows/frmError.h"
#include "windows/frmHelp.h"
#include "windows/level_meter.h"
#include "windows/system_info.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ConsoleParts ConsoleParts::of(StationAssembly& parts) {
    return {&parts.receiver, &parts.recording, &parts.playback, &parts.audio,
            &parts.ports,    &parts.devices,   &parts.history};
}

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    // Labels show schedule names and receiver text: never as markup.
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QAction* entry(QMenu* menu, const char* name, const QString& caption, bool enabled) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setEnabled(enabled);
    return a;
}

QFont fixedFont(int pointSize, bool bold = false) {
    QFont f("Courier New", pointSize);
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(bold);
    return f;
}

void setButtonColor(QPushButton* b, const ConsoleDisplay::Rgb& c) {
    // Selected by type, so the button's tooltip keeps its own colours and
    // stays legible on the green Play button. The border makes the style
    // sheet draw the whole button: a bare background colour is handed to the
    // platform style as a new palette at every change, and that style keeps
    // a picture of the button per palette, so each play left more of them.
    const QString style = QString("QPushButton { background-color: rgb(%1, %2, %3); "
                                  "border: 1px solid rgb(96, 96, 96); border-radius: 3px; "
                                  "padding: 4px 12px; }")
                              .arg(c.r)
                              .arg(c.g)
                              .arg(c.b);
    if (b->styleSheet() != style)
        b->setStyleSheet(style);
}

void setText(QLabel* l, const QString& text) {
    if (l->text() != text)
        l->setText(text);
}

} // namespace

namespace {
// A window that is already open is brought forward rather than opened twice.
template <typename Window, typename Make> void showWindow(QPointer<Window>& window, Make make) {
    // A window closed a moment ago is only waiting to be deleted: open a new one.
    if (window && !window->isVisible())
        window = nullptr;
    if (!window) {
        window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

mnuMenu::mnuMenu(Station& station, ClockDispatcher& dispatcher, frmError* errorWindow,
                 ConsoleParts parts, QWidget* parent)
    : QMainWindow(parent), station_(station), dispatcher_(dispatcher), errorWindow_(errorWindow),
      receiver_(parts.receiver), recording_(parts.recording), playback_(parts.playback),
      parts_(parts) {
    setObjectName("mnuMenu");
    setWindowTitle("Varnola");
    buildMenus();
    buildDisplays();
    dispatcher_.setAfterTick([this] {
        render();
        if (afterTick_)
            afterTick_();
    });
}

mnuMenu::~mnuMenu() = default;

void mnuMenu::buildMenus() {
    // Entries whose windows are not part of this build stay visible but
    // disabled, so the operator sees the whole console.
    mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuSaveData = entry(mnuFile, "mnuSaveData", "Save Data Files", false);
    mnuLoadData = entry(mnuFile, "mnuLoadData", "Load Data Files", false);
    mnuFileExit = entry(mnuFile, "mnuFileExit", "E&xit", true);
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);

    mnuSetUp = menuBar()->addMenu("SetUp");
    mnuSetUp->setObjectName("mnuSetUp");
    mnuMyComputer = entry(mnuSetUp, "mnuMyComputer", "My Computer", false);
    mnuSourceCodes = entry(mnuSetUp, "mnuSourceCodes", "Program Source Codes", false);
    mnuCommunications = entry(mnuSetUp, "mnuCommunications", "Communications", false);
    mnuLoadPlayList = entry(mnuSetUp, "mnuLoadPlayList", "&Load Play List", playback_ != nullptr);
    connect(mnuLoadPlayList, &QAction::triggered, this, [this] {
        playback_->LoadPlayList();
        render();
    });
    mnuAudition = entry(mnuSetUp, "mnuAudition", "&Audition", false);
    mnuAutoExport = entry(mnuSetUp, "mnuAutoExport", "AutoExport", false);
    mnuSchedule = entry(mnuSetUp, "mnuSchedule", "&Schedule", false);
    mnuSetReceiver = entry(mnuSetUp, "mnuSetReceiver", "Set &Receiver", false);

    mnuView = menuBar()->addMenu("&View");
    mnuView->setObjectName("mnuView");
    mnuPlaySchedule = entry(mnuView, "mnuPlaySchedule", "&Play Schedule", false);
    mnuRecordSchedule = entry(mnuView, "mnuRecordSchedule", "&Record Schedule", false);
    mnuWeekAhead = entry(mnuView, "mnuWeekAhead", "&Week Ahead", false);
    mnuReceiverStatus = mnuView->addMenu("Receiver &Status");
    mnuReceiverStatus->setObjectName("mnuReceiverStatus");
    mnuCarrierStatus = entry(mnuReceiverStatus, "mnuCarrierStatus", "&Carrier", false);
    mnuMPEGStatus = entry(mnuReceiverStatus, "mnuMPEGStatus", "&MPEG", false);
    mnuRelayStatus = entry(mnuReceiverStatus, "mnuRelayStatus", "&Relays", false);
    mnuExtendedRelays = entry(mnuReceiverStatus, "mnuExtendedRelays", "&Extended Relays", false);
    mnuReceiverSerialPort =
        entry(mnuReceiverStatus, "mnuReceiverSerialPort", "Receiver Serial  &Port", false);
    mnuSettings = entry(mnuReceiverStatus, "mnuSettings", "&Settings", false);

    mnuHistory = menuBar()->addMenu("H&istory");
    mnuHistory->setObjectName("mnuHistory");
    mnuEbNo = entry(mnuHistory, "mnuEbNo", "&Eb/No", false);
    ActivityLog = entry(mnuHistory, "ActivityLog", "&Activity Log", false);
    mnuErrorLog = entry(mnuHistory, "mnuErrorLog", "Error Log", false);
    mnuRecordings = entry(mnuHistory, "mnuRecordings", "&Recordings", false);

    mnuHelp = menuBar()->addAction("&Help");
    mnuHelp->setObjectName("mnuHelp");
    connect(mnuHelp, &QAction::triggered, this, &mnuMenu::openHelp);

    const auto enable = [this](QAction* a, auto slot) {
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, slot);
    };
    enable(mnuSourceCodes, [this] {
        showWindow(sourceCodes_, [this] { return new frmProgramSourceCodes(station_, this); });
    });
    enable(mnuSchedule, [this] {
        showWindow(schedule_, [this] {
            return new frmSchedule(station_, dispatcher_.handoffs().playList, this);
        });
    });
    const auto weekly = [this](frmWeeklySchedule::View view) {
        showWindow(weekly_, [this, view] { return new frmWeeklySchedule(station_, view, this); });
        weekly_->showView(view);
    };
    enable(mnuSaveData,
           [this] { showWindow(saveData_, [this] { return new frmSaveData(station_, this); }); });
    enable(mnuLoadData, [this] {
        showWindow(loadData_, [this] { return new frmLoadData(station_, parts_.devices, this); });
    });
    if (parts_.audio) {
        enable(mnuMyComputer, [this] {
            showWindow(myComputer_, [this] {
                return new frmMyComputer(station_, *parts_.audio, parts_.ports, this);
            });
        });
    }
    const auto logViewer = [this](const char* kind) {
        showWindow(activityLog_, [this, kind] {
            return new frmActivityLog(station_, kind, parts_.history, this);
        });
        activityLog_->showKind(kind);
    };
    enable(mnuEbNo, [logViewer] { logViewer("EB"); });
    enable(ActivityLog, [logViewer] { logViewer("AL"); });
    enable(mnuErrorLog, [logViewer] { logViewer("ER"); });
    const auto audition = [this] {
        showWindow(audition_, [this] { return new frmAudition(station_, {}, this); });
    };
    if (parts_.history) {
        enable(mnuRecordings, [this, audition] {
            showWindow(recordings_, [this, audition] {
                return new frmRecordings(
                    station_, *parts_.history,
                    [this, audition](const TakeRow& take) {
                        audition();
                        audition_->choose(take.weekday, take.slot);
                    },
                    this);
            });
            // Chosen again while open: the takes since it opened show too.
            recordings_->refresh();
        });
    }
    enable(mnuAutoExport, [this] {
        showWindow(autoExport_, [this] { return new frmAutoExport(station_, this); });
    });
    enable(mnuAudition, audition);
    enable(mnuPlaySchedule, [weekly] { weekly(frmWeeklySchedule::View::Play); });
    enable(mnuRecordSchedule, [weekly] { weekly(frmWeeklySchedule::View::Record); });
    enable(mnuWeekAhead, [this] {
        showWindow(weekAhead_, [this] {
            return new frmWeekAhead(station_.paths().config(),
                                    station_.paths().resolve(ScheduleFile::StationPath), this);
        });
    });

    if (receiver_) {
        enable(mnuCommunications, [this] {
            showWindow(comSelect_, [this] { return new frmComSelect(station_, this); });
        });
        enable(mnuSetReceiver, [this] {
            showWindow(setReceiver_, [this] {
                return new frmSetReceiver(
                    station_, *receiver_,
                    [this](const QString& query) { openDataWindow(query, true); }, this);
            });
        });
        enable(mnuCarrierStatus, [this] { openDataWindow("RT C", true); });
        enable(mnuMPEGStatus, [this] { openDataWindow("R M", false); });
        enable(mnuReceiverSerialPort, [this] { openDataWindow("R SP", false); });
        enable(mnuSettings, [this] { openDataWindow("R S", false); });
        enable(mnuRelayStatus, [this] { openRelayWindow("R R", false); });
        enable(mnuExtendedRelays, [this] { openRelayWindow("R ER", true); });
    }
    mnuAbout = menuBar()->addAction("&About");
    mnuAbout->setObjectName("mnuAbout");
    connect(mnuAbout, &QAction::triggered, this, &mnuMenu::openAbout);
}

void mnuMenu::buildDisplays() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);

    lblClock = label(central, "lblClock");
    lblClock->setFont(fixedFont(14, true));
    lblClock->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblClock);
    lblSetUp = label(central, "lblSetUp");
    lblSetUp->setStyleSheet("QLabel { color: rgb(160, 0, 0); font-weight: bold; }");
    lblSetUp->setAlignment(Qt::AlignCenter);
    lblSetUp->setWordWrap(true);
    lblSetUp->setVisible(false);
    layout->addWidget(lblSetUp);

    // The controls each record channel has, by their names.
    struct Names {
        const char *next, *countdown, *heading, *caption, *name, *timer, *left, *right, *scale,
            *cue, *cueCaption, *stop, *stopCaption, *gauge;
    };
    static constexpr Names names[2] = {
        {"lblNextToRecord", "lblRecTime", "Label3", "Record Chan 1", "lblRecordNameOne",
         "lblRecordTimerOne", "MMLevelX3", "MMLevelX4", "MMLevelScaleX2", "Command1", "Cue Rec 1",
         "Command2", "Stop 1", "Gauge"},
        {"lblNextRecordTwo", "lblRecTimeTwo", "Label6", "Record Chan 2", "lblRecordNameTwo",
         "lblRecordTimerTwo", "MMLevelX5", "MMLevelX6", "MMLevelScaleX3", "cmdCueTwo", "Cue Rec 2",
         "cmdStopTwo", "Stop 2", "Gauge2"}};

    auto* next = new QGridLayout;
    const auto countdownLabel = [&](const char* name) {
        QLabel* countdown = label(central, name);
        countdown->setFont(fixedFont(11, true));
        countdown->setMinimumWidth(120);
        countdown->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return countdown;
    };
    for (int channel = 1; channel <= 2; ++channel) {
        const Names& n = names[channel - 1];
        RecordChannelControls& c = RecordChannel[size_t(channel - 1)];
        c.lblNextToRecord = label(central, n.next, station_.display.Rec(channel).lblNextToRecord);
        c.lblRecTime = countdownLabel(n.countdown);
        next->addWidget(c.lblNextToRecord, channel - 1, 0);
        next->addWidget(c.lblRecTime, channel - 1, 1);
    }
    lblNextSwitch = label(central, "lblNextSwitch", station_.display.lblNextSwitch);
    lblSwitchTimer = countdownLabel("lblSwitchTimer");
    next->addWidget(lblNextSwitch, 2, 0);
    next->addWidget(lblSwitchTimer, 2, 1);
    next->setColumnStretch(0, 1);
    layout->addLayout(next);

    auto* middle = new QHBoxLayout;
    layout->addLayout(middle, 1);

    auto* gauges = new QHBoxLayout;
    for (int channel = 1; channel <= 2; ++channel) {
        const Names& n = names[channel - 1];
        RecordChannelControls& c = RecordChannel[size_t(channel - 1)];
        auto* box = new QGroupBox(central);
        auto* grid = new QGridLayout(box);
        c.heading = label(box, n.heading, n.caption);
        c.heading->setAlignment(Qt::AlignCenter);
        c.lblRecordName = label(box, n.name);
        c.lblRecordTimer = label(box, n.timer);
        c.lblRecordTimer->setFont(fixedFont(11, true));
        c.levelLeft = new LevelMeter(n.left, LevelMeter::Style::Bar, box);
        c.levelRight = new LevelMeter(n.right, LevelMeter::Style::Bar, box);
        c.levelScale = new LevelMeter(n.scale, LevelMeter::Style::Scale, box);
        c.cue = button(box, n.cue, n.cueCaption);
        c.stop = button(box, n.stop, n.stopCaption);
        c.cue->setEnabled(recording_ != nullptr);
        c.stop->setEnabled(recording_ != nullptr);
        grid->addWidget(c.heading, 0, 0, 1, 3);
        grid->addWidget(c.lblRecordName, 1, 0, 1, 3);
        grid->addWidget(c.lblRecordTimer, 2, 0, 1, 3);
        auto* meters = new QHBoxLayout;
        meters->addWidget(c.levelLeft);
        meters->addWidget(c.levelRight);
        meters->addWidget(c.levelScale);
        grid->addLayout(meters, 3, 0, 1, 3);
        grid->addWidget(c.cue, 4, 0);
        grid->addWidget(c.stop, 4, 2);
        middle->addWidget(box);
        if (recording_) {
            connect(c.cue, &QPushButton::clicked, this, [this, channel] {
                recording_->channel(channel).CueAndArm();
                render();
            });
            connect(c.stop, &QPushButton::clicked, this, [this, channel] {
                recording_->StopRecordChannel(channel);
                render();
            });
        }
        c.gauge = new QProgressBar(central);
        c.gauge->setObjectName(n.gauge);
        c.gauge->setRange(0, 100);
        c.gauge->setVisible(false);
        gauges->addWidget(c.gauge);
    }

    auto* playBox = new QGroupBox(central);
    auto* play = new QGridLayout(playBox);
    Label1 = label(playBox, "Label1", "Playlist");
    lblPlayDay = label(playBox, "lblPlayDay");
    PlayList = new QListWidget(playBox);
    PlayList->setObjectName("PlayList");
    PlayList->setFont(fixedFont(10));
    PlayList->setMinimumWidth(320);
    Label2 = label(playBox, "Label2", "Play");
    lblPlayTime = label(playBox, "lblPlayTime");
    lblPlayTime->setFont(fixedFont(11, true));
    MMLevelX1 = new LevelMeter("MMLevelX1", LevelMeter::Style::Bar, playBox);
    MMLevelX2 = new LevelMeter("MMLevelX2", LevelMeter::Style::Bar, playBox);
    MMLevelScaleX1 = new LevelMeter("MMLevelScaleX1", LevelMeter::Style::Scale, playBox);
    cmdPlay = button(playBox, "cmdPlay", "Play");
    cmdPlay->setToolTip("Plays the first item in the playlist");
    cmdStop = button(playBox, "cmdStop", "&Stop");
    cmdPlay->setEnabled(playback_ != nullptr);
    cmdStop->setEnabled(playback_ != nullptr);
    if (playback_) {
        connect(cmdPlay, &QPushButton::clicked, this, [this] {
            playback_->PlayProgramme();
            render();
        });
        connect(cmdStop, &QPushButton::clicked, this, [this] {
            playback_->StopPlayer();
            render();
        });
        connect(PlayList, &QListWidget::currentRowChanged, this,
                [this](int row) { station_.display.PlayList.selected = row; });
        PlayList->installEventFilter(this);
    }
    lblPlayRelay = label(playBox, "lblPlayRelay");
    lblRecordRelay = label(playBox, "lblRecordRelay");
    lblPort = label(playBox, "lblPort");
    auto* contacts = new QHBoxLayout;
    contacts->addWidget(lblPlayRelay);
    contacts->addWidget(lblRecordRelay);
    contacts->addWidget(lblPort);
    contacts->addStretch();
    play->addLayout(contacts, 5, 0, 1, 3);
    play->addWidget(Label1, 0, 0);
    play->addWidget(lblPlayDay, 0, 1);
    play->addWidget(PlayList, 1, 0, 3, 2);
    auto* playMeters = new QHBoxLayout;
    playMeters->addWidget(MMLevelX1);
    playMeters->addWidget(MMLevelX2);
    playMeters->addWidget(MMLevelScaleX1);
    play->addWidget(Label2, 0, 2);
    play->addWidget(lblPlayTime, 1, 2);
    play->addLayout(playMeters, 2, 2);
    auto* playButtons = new QHBoxLayout;
    playButtons->addWidget(cmdPlay);
    playButtons->addWidget(cmdStop);
    play->addLayout(playButtons, 4, 0, 1, 3);
    // A wider console gives its room to the playlist, not to the meters.
    play->setColumnStretch(1, 1);
    middle->addWidget(playBox, 1);
    // Hidden parts of the playlist area keep their place, so the console does
    // not jump about as programmes come and go.
    for (QWidget* w :
         std::initializer_list<QWidget*>{PlayList, Label1, Label2, lblPlayTime, MMLevelX1,
                                         MMLevelX2, MMLevelScaleX1, cmdPlay, cmdStop}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }

    layout->addLayout(gauges);

    render();
}

StartUpResult mnuMenu::Form_Load() {
    return dispatcher_.Form_Load();
}

void mnuMenu::render() {
    const ConsoleDisplay& d = station_.display;
    setText(lblClock, d.lblClock);
    setText(lblSetUp, d.lblSetUp);
    lblSetUp->setVisible(!d.lblSetUp.isEmpty());
    setText(lblNextSwitch, d.lblNextSwitch);
    setText(lblSwitchTimer, d.lblSwitchTimer);
    setText(lblPlayDay, d.lblPlayDay);
    setText(lblPlayTime, d.lblPlayTime);
    setText(lblPlayRelay, d.lblPlayRelay);
    setText(lblRecordRelay, d.lblRecordRelay);
    setText(lblPort, d.lblPort);

    const auto& items = d.PlayList.items();
    bool same = PlayList->count() == int(items.size());
    for (int i = 0; same && i < PlayList->count(); ++i)
        same = PlayList->item(i)->text() == items[size_t(i)].text;
    if (!same) {
        PlayList->clear();
        for (const auto& item : items)
            PlayList->addItem(item.text);
    }
    if (PlayList->currentRow() != d.PlayList.selected)
        PlayList->setCurrentRow(d.PlayList.selected);

    const auto show = [](QWidget* w, bool visible) {
        if (w->isVisibleTo(w->parentWidget()) != visible)
            w->setVisible(visible);
    };
    show(PlayList, d.PlayListVisible);
    show(Label1, d.PlayListVisible);
    show(Label2, d.PlayingVisible);
    show(lblPlayTime, d.PlayingVisible);
    show(MMLevelX1, d.PlayingVisible);
    show(MMLevelX2, d.PlayingVisible);
    show(MMLevelScaleX1, d.PlayingVisible);
    for (int channel = 1; channel <= 2; ++channel) {
        const RecordChannelDisplay& shown = d.Rec(channel);
        const RecordChannelControls& c = RecordChannel[size_t(channel - 1)];
        setText(c.lblNextToRecord, shown.lblNextToRecord);
        setText(c.lblRecTime, shown.lblRecTime);
        setText(c.lblRecordName, shown.lblRecordName);
        setText(c.lblRecordTimer, shown.lblRecordTimer);
        for (QWidget* w :
             std::initializer_list<QWidget*>{c.heading, c.levelLeft, c.levelRight, c.levelScale})
            show(w, shown.PanelVisible);
        c.levelLeft->setLevel(shown.LevelLeft);
        c.levelRight->setLevel(shown.LevelRight);
        show(c.gauge, shown.GaugeVisible);
        if (c.gauge->value() != shown.Gauge)
            c.gauge->setValue(shown.Gauge);
    }
    show(lblPort, d.lblPortVisible);
    show(cmdPlay, d.cmdPlayVisible);
    show(cmdStop, d.cmdStopVisible);
    setButtonColor(cmdPlay, d.cmdPlayColor);
    setButtonColor(cmdStop, d.cmdStopColor);

    MMLevelX1->setLevel(d.PlayLevelLeft);
    MMLevelX2->setLevel(d.PlayLevelRight);
}

void mnuMenu::openHelp() {
    showWindow(help_, [this] { return new frmHelp(station_.paths(), this); });
}

void mnuMenu::openAbout() {
    showWindow(about_,
               [this] { return new frmAbout(station_.messages(), systemSearchPath(), this); });
}

void mnuMenu::openDataWindow(const QString& query, bool fresh) {
    if (fresh)
        delete dataWindow_;
    showWindow(dataWindow_,
               [&] { return new frmDisplayReceiver(station_, *receiver_, query, this); });
    dataWindow_->showQuery(query);
}

void mnuMenu::openRelayWindow(const QString& query, bool fresh) {
    // An open window laid out for the other card's relays would only be
    // raised, showing the wrong rows and asking nothing.
    if (fresh || (relayWindow_ && !relayWindow_->asks(query)))
        delete relayWindow_;
    showWindow(relayWindow_, [&] { return new frmRelay(station_, *receiver_, query, this); });
}

void mnuMenu::closeEvent(QCloseEvent* event) {
    if (!station_.isShutDown() && !station_.ConfirmExit()) {
        event->ignore();
        return;
    }
    dispatcher_.tmrClock->setEnabled(false);
    station_.ShutDown();
    event->accept();
    if (onExit_)
        onExit_();
}

bool mnuMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PlayList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && playback_) {
        playback_->DeleteSelected();
        render();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void mnuMenu::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && errorWindow_ &&
        errorWindow_->isVisible())
        errorWindow_->raise();
}
