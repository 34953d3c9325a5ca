#pragma once

#include "audition/audition.h"

#include <QDialog>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QShowEvent;
class QSlider;
class LevelMeter;
class Station;
class Timer;

// Listens to a stored recording on the audition card and moves its EOM and
// end-of-file marks. Opened without blocking; closing stops the audition.
class frmAudition : public QDialog {
    Q_OBJECT
public:
    // Without a factory the players come from the configured audio backend.
    explicit frmAudition(Station& station, Audition::PlayerFactory makePlayer = {},
                         QWidget* parent = nullptr);
    ~frmAudition() override;

    Audition& audition() { return audition_; }
    // Chooses a recording as the operator would: its day (0 = Sunday), then
    // its slot, listed or not (a schedule deleted since it was recorded).
    void choose(int weekday, ScheduleNo slot);
    void render();

    QListWidget *lstDay, *lstSchedule;
    QPushButton *cmdPlay, *cmdPause, *cmdStopPlay, *cmdEOM, *cmdTrim, *cmdClose;
    QLabel *lblWave, *lblMode, *lblTime, *lblDown, *lblNumber;
    QSlider* TrackBar;
    LevelMeter *Level1, *Level2, *MMLevelScaleX1;
    std::unique_ptr<Timer> Timer1;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    // Runs a handler of the audition, then shows what it changed.
    template <class F> void act(F&& f) {
        f();
        render();
    }

    Station& station_;
    Audition audition_;
};
