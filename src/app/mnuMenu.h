#pragma once

#include "console/clock_tick.h"
#include "station/station.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class LevelMeter;
class Timer;
class ClockDispatcher;
class frmError;
class frmHelp;
class frmAbout;
class frmWeekAhead;
class frmComSelect;
class frmDisplayReceiver;
class frmRelay;
class frmSetReceiver;
class ReceiverLink;
class RecordingControl;
class Playback;
class frmProgramSourceCodes;
class frmSchedule;
class frmWeeklySchedule;
class frmAudition;
class frmAutoExport;
class frmSaveData;
class frmLoadData;
class frmMyComputer;
class frmActivityLog;
class frmRecordings;
class TakeHistory;
class AudioDevices;
class IoPorts;
class StationAssembly;

// The parts the console's menus and buttons reach; a part that is not there
// leaves its entries and buttons disabled.
struct ConsoleParts {
    ReceiverLink* receiver = nullptr;
    RecordingControl* recording = nullptr;
    Playback* playback = nullptr;
    AudioDevices* audio = nullptr;
    IoPorts* ports = nullptr;
    AudioDeviceChoice* devices = nullptr;
    const TakeHistory* history = nullptr;

    // All of an assembled station's.
    static ConsoleParts of(StationAssembly& parts);
};

// The station console. It renders the core's ConsoleDisplay and forwards the
// operator's clicks; the station's rules live in the core.
class mnuMenu : public QMainWindow {
public:
    mnuMenu(Station& station, ClockDispatcher& dispatcher, frmError* errorWindow,
            ConsoleParts parts = {}, QWidget* parent = nullptr);
    ~mnuMenu() override;

    // The load: start-up, the finders and the playlist, then the clock. On
    // failure nothing runs.
    StartUpResult Form_Load();

    // Copies the display model into the widgets.
    void render();

    // Called once the station has shut down after a Yes to "Exit Varnola?".
    void setExitHandler(std::function<void()> onExit) { onExit_ = std::move(onExit); }
    // Called after every tick once it is shown: the service watchdog's sign
    // that the clock still runs.
    void setAfterTick(std::function<void()> afterTick) { afterTick_ = std::move(afterTick); }

    Timer& tmrClock() { return *dispatcher_.tmrClock; }

    // Displays.
    QLabel* lblSetUp;
    QLabel *lblClock, *lblNextSwitch, *lblSwitchTimer;
    QLabel *Label1, *lblPlayDay, *Label2, *lblPlayTime;
    QLabel *lblPlayRelay, *lblRecordRelay, *lblPort;
    QListWidget* PlayList;
    LevelMeter *MMLevelX1, *MMLevelX2, *MMLevelScaleX1;
    // One record channel's controls; channel N's are RecordChannel[N - 1],
    // each with its control name (lblNextToRecord, lblRecordNameOne, Label3,
    // MMLevelX3, Command1, Gauge; lblNextRecordTwo, lblRecordNameTwo, ...).
    struct RecordChannelControls {
        QLabel *lblNextToRecord, *lblRecTime;
        QLabel *heading, *lblRecordName, *lblRecordTimer;
        LevelMeter *levelLeft, *levelRight, *levelScale;
        QPushButton *cue, *stop;
        QProgressBar* gauge;
    };
    std::array<RecordChannelControls, 2> RecordChannel{};

    // Buttons.
    QPushButton *cmdPlay, *cmdStop;

    // Menus.
    QMenu *mnuFile, *mnuSetUp, *mnuView, *mnuReceiverStatus, *mnuHistory;
    QAction *mnuSaveData, *mnuLoadData, *mnuFileExit;
    QAction *mnuMyComputer, *mnuSourceCodes, *mnuCommunications, *mnuLoadPlayList, *mnuAudition,
        *mnuAutoExport, *mnuSchedule, *mnuSetReceiver;
    QAction *mnuPlaySchedule, *mnuRecordSchedule, *mnuWeekAhead;
    QAction *mnuCarrierStatus, *mnuMPEGStatus, *mnuRelayStatus, *mnuExtendedRelays,
        *mnuReceiverSerialPort, *mnuSettings;
    QAction *mnuEbNo, *ActivityLog, *mnuErrorLog, *mnuRecordings;
    QAction *mnuHelp, *mnuAbout;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildDisplays();
    void openHelp();
    void openAbout();
    // Receiver windows: the query is set first; fresh reopens the window so
    // that it loads (and asks) again.
    void openDataWindow(const QString& query, bool fresh);
    void openRelayWindow(const QString& query, bool fresh);

    Station& station_;
    ClockDispatcher& dispatcher_;
    frmError* errorWindow_;
    std::function<void()> onExit_;
    std::function<void()> afterTick_;
    ReceiverLink* receiver_;
    RecordingControl* recording_;
    Playback* playback_;
    QPointer<frmHelp> help_;
    QPointer<frmAbout> about_;
    QPointer<frmComSelect> comSelect_;
    QPointer<frmDisplayReceiver> dataWindow_;
    QPointer<frmRelay> relayWindow_;
    QPointer<frmSetReceiver> setReceiver_;
    QPointer<frmProgramSourceCodes> sourceCodes_;
    QPointer<frmSchedule> schedule_;
    QPointer<frmWeeklySchedule> weekly_;
    QPointer<frmAudition> audition_;
    QPointer<frmAutoExport> autoExport_;
    QPointer<frmSaveData> saveData_;
    QPointer<frmLoadData> loadData_;
    QPointer<frmMyComputer> myComputer_;
    QPointer<frmActivityLog> activityLog_;
    QPointer<frmRecordings> recordings_;
    QPointer<frmWeekAhead> weekAhead_;
    ConsoleParts parts_;
};
