#include "audition/frmAudition.h"

#include "platform/timers.h"
#include "station/station.h"
#include "windows/level_meter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int Timer1Ms = 100;

template <class W> W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& tip = {}) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const char* name) {
    auto* l = named(new QLabel(parent), name);
    // Names come from files and are never markup.
    l->setTextFormat(Qt::PlainText);
    l->setMinimumWidth(90);
    return l;
}

// No colour: the button's own. Restyling only on a change spares a repolish
// every 100 ms.
void setColor(QPushButton* b, const std::optional<AuditionDisplay::Rgb>& c) {
    QString style;
    if (c)
        style = QString("background-color: rgb(%1, %2, %3);").arg(c->r).arg(c->g).arg(c->b);
    if (style != b->styleSheet())
        b->setStyleSheet(style);
}

} // namespace

frmAudition::frmAudition(Station& station, Audition::PlayerFactory makePlayer, QWidget* parent)
    : QDialog(parent), lstDay(named(new QListWidget(this), "lstDay")),
      lstSchedule(named(new QListWidget(this), "lstSchedule")),
      cmdPlay(button(this, "cmdPlay", "&Play")), cmdPause(button(this, "cmdPause", "Pause")),
      cmdStopPlay(button(this, "cmdStopPlay", "&Stop")),
      cmdEOM(button(this, "cmdEOM", "&EOM", "Set the EOM")),
      cmdTrim(button(this, "cmdTrim", "Trim", "Set the End of File")),
      cmdClose(button(this, "cmdClose", "&Close")), lblWave(label(this, "lblWave")),
      lblMode(label(this, "lblMode")), lblTime(label(this, "lblTime")),
      lblDown(label(this, "lblDown")), lblNumber(label(this, "lblNumber")),
      TrackBar(named(new QSlider(Qt::Horizontal, this), "TrackBar")),
      Level1(new LevelMeter("Level1", LevelMeter::Style::Bar, this)),
      Level2(new LevelMeter("Level2", LevelMeter::Style::Bar, this)),
      MMLevelScaleX1(new LevelMeter("MMLevelScaleX1", LevelMeter::Style::Scale, this)),
      Timer1(station.timers().create(Timer1Ms)), station_(station),
      audition_(station, std::move(makePlayer)) {
    setObjectName("frmAudition");
    setWindowTitle("Audition");

    TrackBar->setRange(0, 0);
    connect(lstDay, &QListWidget::currentRowChanged, this,
            [this](int row) { act([&] { audition_.chooseDay(row); }); });
    connect(lstSchedule, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        act([&] { audition_.chooseSchedule(item ? item->data(Qt::UserRole).toLongLong() : 0); });
    });
    connect(cmdPlay, &QPushButton::clicked, this, [this] { act([&] { audition_.Play(); }); });
    connect(cmdPause, &QPushButton::clicked, this, [this] { act([&] { audition_.Pause(); }); });
    connect(cmdStopPlay, &QPushButton::clicked, this,
            [this] { act([&] { audition_.StopAudPlay(); }); });
    connect(cmdEOM, &QPushButton::clicked, this, [this] { act([&] { audition_.SetEom(); }); });
    connect(cmdTrim, &QPushButton::clicked, this, [this] { act([&] { audition_.Trim(); }); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(TrackBar, &QSlider::valueChanged, this, [this](int ms) { audition_.seek(ms); });
    Timer1->setHandler([this] { act([&] { audition_.Timer1Tick(); }); });
    audition_.setChangedHandler([this] { render(); });

    auto* lists = new QHBoxLayout;
    lists->addWidget(lstDay);
    lists->addWidget(lstSchedule, 2);
    auto* meters = new QHBoxLayout;
    meters->addWidget(Level1);
    meters->addWidget(Level2);
    meters->addWidget(MMLevelScaleX1);
    lists->addLayout(meters);

    auto* labels = new QGridLayout;
    int row = 0;
    for (auto [caption, l] : {std::pair{"Slot", lblNumber},
                              {"Format", lblMode},
                              {"Elapsed", lblTime},
                              {"To EOM", lblDown}}) {
        labels->addWidget(new QLabel(caption, this), row, 0);
        labels->addWidget(l, row++, 1);
    }
    labels->addWidget(lblWave, row, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdPlay, cmdPause, cmdStopPlay, cmdEOM, cmdTrim})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(labels);
    layout->addWidget(TrackBar);
    layout->addLayout(buttons);
}

frmAudition::~frmAudition() {
    Timer1->setEnabled(false);
    audition_.setChangedHandler({});
}

void frmAudition::showEvent(QShowEvent* event) {
    // A window restored from the task bar is not being opened.
    if (!event->spontaneous())
        Form_Load();
    QDialog::showEvent(event);
}

void frmAudition::Form_Load() {
    audition_.Open();
    {
        const QSignalBlocker days(lstDay), programmes(lstSchedule);
        lstDay->clear();
        for (size_t d = 1; d <= 7; ++d)
            lstDay->addItem(station_.state.DayNames[d]);
        lstSchedule->clear();
        for (const auto& [name, slot] : audition_.schedules()) {
            auto* item = new QListWidgetItem(name, lstSchedule);
            item->setData(Qt::UserRole, slot);
        }
    }
    audition_.chooseDay(-1);
    audition_.chooseSchedule(0);
    Timer1->setInterval(Timer1Ms);
    Timer1->setEnabled(true);
    render();
}

void frmAudition::choose(int weekday, ScheduleNo slot) {
    lstDay->setCurrentRow(weekday);
    for (int i = 0; i < lstSchedule->count(); ++i)
        if (lstSchedule->item(i)->data(Qt::UserRole).toLongLong() == slot) {
            lstSchedule->setCurrentRow(i);
            return;
        }
    lstSchedule->setCurrentRow(-1);
    act([&] { audition_.chooseSchedule(slot); });
}

void frmAudition::done(int result) {
    Timer1->setEnabled(false);
    audition_.Close();
    render();
    QDialog::done(result);
}

void frmAudition::render() {
    const AuditionDisplay& d = audition_.display;
    for (auto [l, text] : {std::pair{lblWave, &d.lblWave},
                           {lblMode, &d.lblMode},
                           {lblTime, &d.lblTime},
                           {lblDown, &d.lblDown},
                           {lblNumber, &d.lblNumber}})
        l->setText(*text);
    setColor(cmdPlay, d.cmdPlayColor);
    setColor(cmdPause, d.cmdPauseColor);
    setColor(cmdEOM, d.cmdEOMColor);
    {
        // The player is already where the display says; moving the slider
        // to match must not seek it again.
        const QSignalBlocker quiet(TrackBar);
        TrackBar->setMaximum(int(d.sliderMaximum));
        // The operator's hold on the slider wins over the player.
        if (!TrackBar->isSliderDown())
            TrackBar->setValue(int(d.sliderPosition));
    }
    Level1->setLevel(d.levelLeft);
    Level2->setLevel(d.levelRight);
}
