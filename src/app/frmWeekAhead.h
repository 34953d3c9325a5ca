#pragma once

#include "app/week_ahead.h"
#include "platform/station_config.h"

#include <QFileSystemWatcher>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QTableView;
class WeekAheadModel;

// What the station will do in the next seven days, by day and time, from a
// dry run on a worker thread: filterable by kind and channel, conflicts and
// time-change shifts marked. Runs again whenever the schedule file changes.
class frmWeekAhead : public QWidget {
public:
    frmWeekAhead(const StationConfig& config, const QString& scheduleHostPath,
                 QWidget* parent = nullptr);
    // A run still going is cancelled and waited for.
    ~frmWeekAhead() override;

    QComboBox *cboKind, *cboChannel;
    QTableView* lstWeekAhead;
    QLabel* lblStatus;

    // Starts a dry run, or one more once the running one ends.
    void refresh();

private:
    void showEvents();

    StationConfig config_;
    QFileSystemWatcher watcher_;
    bool running_ = false, again_ = false;
    std::shared_ptr<WeekAhead> shown_;
    WeekAheadModel* model_;
    QPointer<QThread> worker_;
    std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
};
