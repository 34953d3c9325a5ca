#pragma once

#include "export/export_copy.h"
#include "history/take_history.h"
#include "platform/timers.h"
#include "recording/record_channel.h"
#include "station/station.h"

#include <QObject>
#include <array>
#include <deque>
#include <memory>
#include <optional>

class Station;

// The gauge's new value for a copy at position of total, as a whole percent;
// nothing (the gauge keeps its value) while the total is not known.
std::optional<int> ExportGaugeValue(qint64 position, qint64 total);

// Hands finished recordings to the playout store by their schedule's export
// rule: first to the rule's destination, then to the same path on drive P.
// Each channel copies one file at a time on worker threads; its export timer
// (tmrExport, tmrExport2) shows the progress in the console's gauge, and the
// end of a copy is handled on the UI thread, which then starts the next.
class ExportHandOff : public RecordingHandOff, public FileUser {
public:
    // Each destination's outcome goes to history, when given, against the
    // take's row.
    explicit ExportHandOff(Station& station, TakeHistory* history = nullptr);
    // Stops copies still running; nothing half-copied is left behind.
    ~ExportHandOff() override;

    // HandOffRecording1 / HandOffRecording2.
    void RecordingFinished(const FinishedRecording& recording) override;

    // Copies waiting or running on a channel (1 or 2).
    bool busy(int channel) const;
    // Blocks up to ms for the channel's running copy to end (for shut-down
    // and tests); true when no copy is running any more.
    bool waitForCopy(int channel, int ms);
    // Ends what is being copied, each with an error-log line.
    void shutDown();

    // The recordings being copied or waiting to be.
    QStringList filesInUse() const override;

    // tmrExport, tmrExport2: channel 1's and channel 2's.
    const Timer& exportTimer(int number) const { return *channel(number).timer; }

private:
    // One file to put into the playout store.
    struct Job {
        QString destination; // station path of the wave file
        QString companion;   // station path of the data file; empty for none
        QByteArray companionBytes;
        QString source; // station path of the recording
        qint64 lengthMs = 0;
        bool fade = false;
        qint64 takeId = 0;
    };
    struct Channel {
        int number;
        std::unique_ptr<Timer> timer;
        std::deque<Job> waiting;
        std::unique_ptr<ExportCopy> copy;
        Job running;
    };

    Channel& channel(int number) { return channels_.at(size_t(number - 1)); }
    const Channel& channel(int number) const { return channels_.at(size_t(number - 1)); }
    // The files a recording goes to under its rule; none, with an error-log
    // line, when a name cannot be formed.
    std::vector<Job> jobsFor(const FinishedRecording& recording);
    void startNext(Channel& ch);
    // The export timer's tick.
    void tick(Channel& ch);
    void finish(Channel& ch);
    // Removes the destination files of a job that was not copied.
    void removeStale(const Job& job);
    // Tells the history how one destination's copy ended.
    void report(qint64 takeId, const QString& destination, const QString& why = {});

    Station& station_;
    TakeHistory* history_;
    // Lives on the UI thread: a copy that ends wakes its channel through it
    // at once rather than at the timer's next tick.
    QObject wake_;
    std::array<Channel, 2> channels_;
};
