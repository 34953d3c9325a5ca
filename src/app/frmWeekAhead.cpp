#include "app/frmWeekAhead.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QStringList Kinds = {"receiver", "cue",      "arm",      "record",  "stop",  "dump",
                           "switch",   "handoff",  "playlist", "rebuild", "purge", "timechange",
                           "shift",    "conflict", "error",    "message"};

} // namespace

// The shown events as table rows, read by the view as it scrolls: a week of
// tens of thousands of events costs nothing to put up.
class WeekAheadModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(std::vector<const WeekAheadEvent*> events) {
        beginResetModel();
        events_ = std::move(events);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(events_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 5;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const WeekAheadEvent& e = *events_[size_t(index.row())];
        if (role == Qt::BackgroundRole && e.marked())
            return QColor(e.kind == "conflict" ? QColor(255, 200, 200) : QColor(255, 240, 170));
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return e.at.toString("ddd yyyy-MM-dd");
        case 1:
            return e.at.toString("HH:mm:ss");
        case 2:
            return e.kind;
        case 3:
            return e.channel;
        default:
            return e.details;
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const QStringList headings = {"Day", "Time", "Kind", "Channel", "Details"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return headings.value(section);
    }

private:
    std::vector<const WeekAheadEvent*> events_;
};

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
    model_ = new WeekAheadModel(this);
    lstWeekAhead = new QTableView(this);
    lstWeekAhead->setObjectName("lstWeekAhead");
    lstWeekAhead->setModel(model_);
    lstWeekAhead->setWordWrap(false);
    lstWeekAhead->horizontalHeader()->setStretchLastSection(true);
    lstWeekAhead->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (const auto& [column, width] : {std::pair{0, 130}, {1, 80}, {2, 90}, {3, 60}})
        lstWeekAhead->setColumnWidth(column, width);
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
        model_->show({});
        return;
    }
    auto events = FilterWeekAhead(shown_->events, cboKind->currentData().toString(),
                                  cboChannel->currentData().toString());
    const auto marked = std::count_if(events.begin(), events.end(),
                                      [](const WeekAheadEvent* e) { return e->marked(); });
    lblStatus->setText(QString("%1 of %2 events; %3 conflicts or shifts marked")
                           .arg(events.size())
                           .arg(shown_->events.size())
                           .arg(marked));
    model_->show(std::move(events));
}
