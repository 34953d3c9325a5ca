#include "app/frmWeekAhead.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

namespace {

const QStringList Kinds = {"receiver", "cue",      "arm",      "record",  "stop",  "dump",
                           "switch",   "handoff",  "playlist", "rebuild", "purge", "timechange",
                           "shift",    "conflict", "error",    "message"};

} // namespace

frmWeekAhead::frmWeekAhead(const StationConfig& config, const QString& scheduleHostPath,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), config_(config) {
    setObjectName("frmWeekAhead");
    setWindowTitle("Week Ahead");
    cboKind = new QComboBox(this);
    cboKind->setObjectName("cboKind");
    cboKind->addItem("All kinds", QString());
    for (const QString& kind : Kinds)
        cboKind->addItem(kind, kind);
    cboChannel = new QComboBox(this);
    cboChannel->setObjectName("cboChannel");
    cboChannel->addItem("All channels", QString());
    cboChannel->addItem("Channel 1", "1");
    cboChannel->addItem("Channel 2", "2");
    cboChannel->addItem("Switch", "3");
    lblStatus = new QLabel(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setTextFormat(Qt::PlainText);
    lstWeekAhead = new QTableWidget(0, 5, this);
    lstWeekAhead->setObjectName("lstWeekAhead");
    lstWeekAhead->setHorizontalHeaderLabels({"Day", "Time", "Kind", "Channel", "Details"});
    lstWeekAhead->horizontalHeader()->setStretchLastSection(true);
    lstWeekAhead->verticalHeader()->hide();
    lstWeekAhead->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstWeekAhead->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* filters = new QHBoxLayout;
    filters->addWidget(cboKind);
    filters->addWidget(cboChannel);
    filters->addWidget(lblStatus, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(lstWeekAhead, 1);
    resize(900, 560);

    connect(cboKind, &QComboBox::currentIndexChanged, this, [this] { showEvents(); });
    connect(cboChannel, &QComboBox::currentIndexChanged, this, [this] { showEvents(); });
    // The editor saves in place; a file replaced by a restore is watched anew.
    watcher_.addPath(scheduleHostPath);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
        if (!watcher_.files().contains(path))
            watcher_.addPath(path);
        refresh();
    });
    refresh();
}

frmWeekAhead::~frmWeekAhead() {
    if (worker_) {
        *cancel_ = true;
        worker_->wait();
    }
}

void frmWeekAhead::refresh() {
    if (running_) {
        again_ = true;
        return;
    }
    running_ = true;
    lblStatus->setText("Working out the next seven days...");
    auto result = std::make_shared<WeekAhead>();
    QThread* worker = QThread::create([config = config_, result, cancel = cancel_] {
        *result = RunWeekAhead(config, QDateTime::currentDateTime(), 7, cancel.get());
    });
    worker_ = worker;
    // A window closed first takes its connection with it; the thread still
    // ends and goes.
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, result] {
        running_ = false;
        shown_ = result;
        showEvents();
        if (std::exchange(again_, false))
            refresh();
    });
    worker->start();
}

void frmWeekAhead::showEvents() {
    if (!shown_)
        return;
    if (!shown_->ok) {
        lblStatus->setText(shown_->error);
        lstWeekAhead->setRowCount(0);
        return;
    }
    const auto events = FilterWeekAhead(shown_->events, cboKind->currentData().toString(),
                                        cboChannel->currentData().toString());
    lstWeekAhead->setUpdatesEnabled(false);
    lstWeekAhead->setRowCount(int(events.size()));
    int marked = 0;
    for (int row = 0; row < int(events.size()); ++row) {
        const WeekAheadEvent& e = *events[size_t(row)];
        const QStringList cells = {e.at.toString("ddd yyyy-MM-dd"), e.at.toString("HH:mm:ss"),
                                   e.kind, e.channel, e.details};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (e.marked())
                item->setBackground(e.kind == "conflict" ? QColor(255, 200, 200)
                                                         : QColor(255, 240, 170));
            lstWeekAhead->setItem(row, column, item);
        }
        marked += e.marked() ? 1 : 0;
    }
    lstWeekAhead->resizeColumnsToContents();
    lstWeekAhead->setUpdatesEnabled(true);
    lblStatus->setText(QString("%1 of %2 events; %3 conflicts or shifts marked")
                           .arg(events.size())
                           .arg(shown_->events.size())
                           .arg(marked));
}
