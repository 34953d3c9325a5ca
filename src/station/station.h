#pragma once

#include "station/console_display.h"
#include "station/station_state.h"
#include "station/weekly_lists.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class Clock;
class Timers;
class DrivePaths;
class Messages;

// Receives the device numbers of the settings at start-up, as they are read.
class AudioDeviceChoice {
public:
    virtual ~AudioDeviceChoice() = default;
    virtual void usePlayDevice(int device) = 0;
    // channel 1 or 2
    virtual void useRecordDevice(int channel, int device) = 0;
};

// A part that may hold recordings open (a record channel, a player, a copy
// to the playout store): the daily purge asks every one before it deletes.
class FileUser {
public:
    virtual ~FileUser() = default;
    // Host paths of the files the part has open, or is about to open, now.
    virtual QStringList filesInUse() const = 0;
};

struct StartUpResult {
    bool ok = true;
    // Names the path and the system's reason when ok is false.
    QString message;
};

// This year's change to daylight-saving time and back: the second Sunday of
// March and the first of November (April's first and October's last in 2006).
std::pair<QDate, QDate> ComputeTimeChangeDates(int year);

// The composition root: owns the station state and the console model, and
// holds the platform services every procedure works with.
class Station {
public:
    Station(Clock& clock, Timers& timers, const DrivePaths& paths, Messages& messages);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    StationState state;
    ConsoleDisplay display;
    WeeklyScheduleLists weeklyLists;
    // Hears each activity ("AL") and error ("ER") line as it is said, whether
    // the logs are switched on or not.
    std::function<void(const QString& prefix, const QString& text)> logLineHeard;
    // The daily purge's word to the take history: the takes scheduled before
    // the date go, as the activity logs of those days have.
    std::function<void(const QDate& date)> purgeTakesBefore;

    Clock& clock() const { return clock_; }
    Timers& timers() const { return timers_; }
    const DrivePaths& paths() const { return paths_; }
    Messages& messages() const { return messages_; }

    void setAudioDeviceChoice(AudioDeviceChoice* choice) { audioDevices_ = choice; }

    // Folders, the two files open for the run, the settings, the tables and
    // the time-change dates. A failure names the path and the reason; the
    // files opened so far are closed again.
    StartUpResult StartUp();

    // Asks "Exit Varnola?"; true when the operator said Yes.
    bool ConfirmExit();

    // Parts register while they exist; fileInUse asks each of them.
    void addFileUser(const FileUser* user) { fileUsers_.push_back(user); }
    void removeFileUser(const FileUser* user) { std::erase(fileUsers_, user); }
    bool fileInUse(const QString& hostPath) const;

    // Work that begins once start-up has succeeded: a console refused at
    // start-up (another one runs on the data folder) must leave it alone.
    void addStartUpHook(std::function<void()> hook) { startUpHooks_.push_back(std::move(hook)); }
    // Work that must happen before the program ends (closing recordings, ...).
    void addShutdownHook(std::function<void()> hook) { shutdownHooks_.push_back(std::move(hook)); }
    // Runs the hooks once, in the order they were added, and closes the files.
    // The owner calls it while the hooked parts still exist; destroying the
    // station only closes its files.
    void ShutDown();
    bool isShutDown() const { return shutDown_; }

private:
    Clock& clock_;
    Timers& timers_;
    const DrivePaths& paths_;
    Messages& messages_;
    AudioDeviceChoice* audioDevices_ = nullptr;
    std::vector<std::function<void()>> startUpHooks_, shutdownHooks_;
    std::vector<const FileUser*> fileUsers_;
    bool shutDown_ = false;
};
