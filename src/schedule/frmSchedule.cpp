#include "schedule/frmSchedule.h"

#include "platform/clock.h"
#include "platform/file_system.h"
#include "schedule/frmDialog1.h"
#include "schedule/frmScheduleConflicts.h"
#include "schedule/schedule_print.h"
#include "schedule/schedule_views.h"
#include "schedule/schedule_widgets.h"
#include "station/messages.h"
#include "station/source_codes.h"
#include "station/station.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

const QStringList RecordDayItems{"Off", "Sun", "Mon", "Tue", "Wed", "Thur", "Fri", "Sat"};
const char* const RowLabelNames[7] = {"lblPlaySun", "lblPlayMon", "lblPlayTue", "lblPlayWed",
                                      "lblPlayThu", "lblPlayFri", "lblPlaySat"};

QLineEdit* lineEdit(QWidget* parent, const QString& name, int maxLength) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    return e;
}

QComboBox* comboBox(QWidget* parent, const QString& name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    return c;
}

QLabel* captionLabel(QWidget* parent, const QString& text, const QString& toolTip = {}) {
    QLabel* l = plainLabel(parent, {}, text);
    l->setToolTip(toolTip);
    return l;
}

// Time boxes in the fixed-pitch face, just wide enough for "HH:MM:SS".
void sizeTimeBox(QLineEdit* box) {
    box->setFont(fixedPitchFont(10));
    box->setFixedWidth(box->fontMetrics().horizontalAdvance("00:00:00") + 14);
}

// A combo box item for a stored number, or none when it is out of range.
void selectIndex(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

// Stored fields keep their width; a box gets the text alone, so an empty
// time leaves its box empty to type in.
QString withoutTrailingBlanks(QString text) {
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

frmSchedule::frmSchedule(Station& station, PlayListControl* playList, QWidget* parent)
    : QMainWindow(parent), station_(station), playList_(playList) {
    setObjectName("frmSchedule");
    setWindowTitle("Schedule");
    buildMenus();
    buildControls();
    open();
}

frmSchedule::~frmSchedule() = default;

frmScheduleConflicts* frmSchedule::conflictsWindow() const {
    return conflicts_;
}

frmDialog1* frmSchedule::deleteDialog() const {
    return dialog_;
}

void frmSchedule::buildMenus() {
    mnuFiles = menuBar()->addMenu("Files");
    mnuFiles->setObjectName("mnuFiles");
    mnuPrint = mnuFiles->addAction("Print");
    mnuPrint->setObjectName("mnuPrint");
    mnuExit = mnuFiles->addAction("Exit");
    mnuExit->setObjectName("mnuExit");
    mnuView = menuBar()->addMenu("View");
    mnuView->setObjectName("mnuView");
    mnuViewName = mnuView->addAction("Name");
    mnuViewName->setObjectName("mnuViewName");
    mnuViewNumber = mnuView->addAction("Number");
    mnuViewNumber->setObjectName("mnuViewNumber");
    mnuHiddenPopupMenu = new QMenu(this);
    mnuHiddenPopupMenu->setObjectName("mnuHiddenPopupMenu");
    mnuHiddenPopupDelete = mnuHiddenPopupMenu->addAction("Delete");
    mnuHiddenPopupDelete->setObjectName("mnuHiddenPopupDelete");

    connect(mnuPrint, &QAction::triggered, this, &frmSchedule::print);
    connect(mnuExit, &QAction::triggered, this, &frmSchedule::closeWithConflicts);
    connect(mnuViewName, &QAction::triggered, this, [this] {
        view_ = ScheduleListView::ByName;
        LoadSchedules();
    });
    connect(mnuViewNumber, &QAction::triggered, this, [this] {
        view_ = ScheduleListView::ByNumber;
        LoadSchedules();
    });
    connect(mnuHiddenPopupDelete, &QAction::triggered, this, [this] { askDelete(true); });
}

void frmSchedule::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    lstDisplaySchedule = new QListWidget(central);
    lstDisplaySchedule->setObjectName("lstDisplaySchedule");
    lstDisplaySchedule->setFont(fixedPitchFont(10));
    lstDisplaySchedule->setToolTip("Select one");
    lstDisplaySchedule->setMinimumWidth(
        lstDisplaySchedule->fontMetrics().horizontalAdvance(QString(30, 'M')) + 24);
    lstDisplaySchedule->installEventFilter(this);
    lstDisplaySchedule->viewport()->installEventFilter(this);
    // Only a selected entry loads: the list makes its first entry current,
    // unselected, when it takes the focus, and that must not replace a new
    // schedule being typed.
    connect(lstDisplaySchedule, &QListWidget::itemSelectionChanged, this, [this] {
        const auto chosen = lstDisplaySchedule->selectedItems();
        if (!chosen.isEmpty())
            select(lstDisplaySchedule->row(chosen.first()));
    });
    connect(lstDisplaySchedule, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { select(lstDisplaySchedule->row(item)); });

    lblScheduleNo = plainLabel(central, "lblScheduleNo");
    lblScheduleNo->setMinimumWidth(40);
    txtSatName = lineEdit(central, "txtSatName", 25);
    txtSatName->setMinimumWidth(txtSatName->fontMetrics().horizontalAdvance(QString(25, 'M')));
    txtSatLen = lineEdit(central, "txtSatLen", 5);
    sizeTimeBox(txtSatLen);
    lblPgmLen = plainLabel(central, "lblPgmLen", "Length  MM:SS");
    lblPgmLen->setToolTip("Enter the length of the record window in minutes and seconds");
    // Switch Only hides the length; nothing else may move.
    keepPlaceWhenHidden(txtSatLen);
    keepPlaceWhenHidden(lblPgmLen);

    cboSatLang = comboBox(central, "cboSatLang");
    cboSatLang->setEditable(true);
    cboSatLang->setInsertPolicy(QComboBox::NoInsert);
    cboSatLang->setCompleter(nullptr);
    // A code has three characters at most; further typing is dropped.
    cboSatLang->lineEdit()->setMaxLength(3);
    cboSatPort = comboBox(central, "cboSatPort");
    cboSatRoute = comboBox(central, "cboSatRoute");
    cboSatAtt = comboBox(central, "cboSatAtt");
    cboSatPlayStart = comboBox(central, "cboSatPlayStart");
    cboSatRecordStart = comboBox(central, "cboSatRecordStart");
    lstRecChan = new QListWidget(central);
    lstRecChan->setObjectName("lstRecChan");
    lstRecChan->setFixedHeight(lstRecChan->fontMetrics().height() * 3 + 18);
    lstRecChan->setMaximumWidth(120);
    connect(lstRecChan, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            channel(row);
    });
    // A click on the entry already shown still chooses it (after New).
    connect(lstRecChan, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { channel(lstRecChan->row(item)); });

    auto* fields = new QGridLayout;
    fields->addWidget(captionLabel(central, "Schedule No."), 0, 0);
    fields->addWidget(lblScheduleNo, 0, 1);
    fields->addWidget(captionLabel(central, "Program Name", "Enter the name of the program"), 1, 0);
    fields->addWidget(txtSatName, 1, 1, 1, 3);
    fields->addWidget(lblPgmLen, 2, 0);
    fields->addWidget(txtSatLen, 2, 1);
    fields->addWidget(captionLabel(central, "Source", "Select a Source Code"), 2, 2);
    fields->addWidget(cboSatLang, 2, 3);
    fields->addWidget(captionLabel(central, "Unity Port", "Select the Unity 4K audio port"), 3, 0);
    fields->addWidget(cboSatPort, 3, 1);
    fields->addWidget(captionLabel(central, "Route", "Configure the Unity 4 K audio"), 3, 2);
    fields->addWidget(cboSatRoute, 3, 3);
    fields->addWidget(
        captionLabel(central, "Attenuation",
                     "Insert audio  attenuation in the Unity 4K receiver output for selected  "
                     "port"),
        4, 0);
    fields->addWidget(cboSatAtt, 4, 1);
    fields->addWidget(captionLabel(central, "Play Start"), 5, 0);
    fields->addWidget(cboSatPlayStart, 5, 1);
    fields->addWidget(captionLabel(central, "Record Start"), 5, 2);
    fields->addWidget(cboSatRecordStart, 5, 3);
    fields->addWidget(captionLabel(central, "Record Channel",
                                   "Select Computer channel to record audio to.  None will "
                                   "switch the receiver but not record."),
                      0, 4);
    fields->addWidget(lstRecChan, 1, 4, 3, 1, Qt::AlignTop);
    fields->setColumnStretch(5, 1);

    // The week: a row per day, its four play times, then one record row.
    auto* week = new QGridLayout;
    week->setHorizontalSpacing(4);
    week->addWidget(captionLabel(central, "Play Times HH:MM:SS"), 0, 1, 1, 4, Qt::AlignCenter);
    Label2 = plainLabel(central, "Label2", "Record Time HH:MM:SS");
    // Wide enough for each of its texts, so a channel change moves no column.
    int label2Width = 0;
    for (const char* text :
         {"Record Time HH:MM:SS", "Record Time  HH:MM:SS", "Switch Time  HH:MM:SS"})
        label2Width = std::max(label2Width, Label2->fontMetrics().horizontalAdvance(text));
    Label2->setMinimumWidth(label2Width);
    week->addWidget(Label2, 0, 6, 1, 2, Qt::AlignCenter);
    week->setColumnMinimumWidth(5, 16);
    for (int r = 0; r < 7; ++r) {
        lblPlay[size_t(r)] = plainLabel(central, RowLabelNames[r], station_.state.DayNames[r + 1]);
        week->addWidget(lblPlay[size_t(r)], r + 1, 0);
        for (int c = 0; c < 4; ++c) {
            const int k = 4 * r + c;
            QLineEdit* box = lineEdit(central, QString("txtPlay_%1").arg(k), 8);
            sizeTimeBox(box);
            box->installEventFilter(this);
            txtPlay[size_t(k)] = box;
            week->addWidget(box, r + 1, c + 1);
        }
        QComboBox* day = comboBox(central, QString("cboRec_%1").arg(r));
        day->installEventFilter(this);
        cboRec[size_t(r)] = day;
        week->addWidget(day, r + 1, 6);
        QLineEdit* time = lineEdit(central, QString("txtRec_%1").arg(r), 8);
        sizeTimeBox(time);
        time->installEventFilter(this);
        txtRec[size_t(r)] = time;
        week->addWidget(time, r + 1, 7);
    }
    week->setColumnStretch(8, 1);
    txtSatName->installEventFilter(this);
    txtSatLen->installEventFilter(this);

    cmdNew = namedButton(central, "cmdNew", "&New");
    cmdDelete = namedButton(central, "cmdDelete", "&Delete");
    cmdApply = namedButton(central, "cmdApply", "&Apply");
    cmdScheduleClose = namedButton(central, "cmdScheduleClose", "&Close");
    connect(cmdNew, &QPushButton::clicked, this, &frmSchedule::newSchedule);
    connect(cmdDelete, &QPushButton::clicked, this, [this] { askDelete(true); });
    connect(cmdApply, &QPushButton::clicked, this, &frmSchedule::apply);
    connect(cmdScheduleClose, &QPushButton::clicked, this, &frmSchedule::closeWithConflicts);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdNew, cmdDelete, cmdApply, cmdScheduleClose})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* fieldsBox = new QGroupBox(central);
    fieldsBox->setLayout(fields);
    auto* weekBox = new QGroupBox(central);
    weekBox->setLayout(week);
    auto* right = new QVBoxLayout;
    right->addWidget(fieldsBox);
    right->addWidget(weekBox);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(lstDisplaySchedule, 1);
    layout->addLayout(right);
}

void frmSchedule::open() {
    view_ = ScheduleListView::ByName;
    current_ = 0;
    recChan_.clear();
    cmdApply->setEnabled(false);
    LoadBoxes();
    LoadSchedules();
}

void frmSchedule::LoadBoxes() {
    for (QComboBox* day : cboRec) {
        day->clear();
        day->addItems(RecordDayItems);
    }
    cboSatPort->clear();
    cboSatPort->addItems({"1", "2", "3", "4"});
    cboSatRoute->clear();
    cboSatRoute->addItems({"Left", "Right", "Stereo", "Reverse"});
    cboSatAtt->clear();
    for (int db = 0; db <= 14; ++db)
        cboSatAtt->addItem(QString::number(db));
    for (QComboBox* mode : {cboSatPlayStart, cboSatRecordStart}) {
        mode->clear();
        mode->addItems({"M", "T"});
    }
    lstRecChan->clear();
    lstRecChan->addItems({"1", "2", "Switch Only"});

    cboSatLang->clear();
    if (!files::fileExists(station_.paths(), SourceCodesStationPath)) {
        station_.messages().ShowMessage(
            "Missing file-->c:\\satfile\\Source.dat  The program source codes (AA1, FN1, SR1, "
            "etc.)  are missing.");
        return;
    }
    for (const QString& code : readSourceCodes(station_.paths()))
        cboSatLang->addItem(fixedWidth(code, 3));
}

void frmSchedule::LoadSchedules() {
    const SortedList entries = ScheduleListEntries(station_.state.SatListFile, view_);
    const QSignalBlocker quiet(lstDisplaySchedule);
    lstDisplaySchedule->clear();
    for (const SortedList::Item& entry : entries.items()) {
        auto* item = new QListWidgetItem(entry.text, lstDisplaySchedule);
        item->setData(Qt::UserRole, qint64(entry.number));
    }
    if (lstDisplaySchedule->count() > 0) {
        lstDisplaySchedule->setCurrentRow(0);
        select(0);
    }
}

void frmSchedule::select(int row) {
    QListWidgetItem* item = lstDisplaySchedule->item(row);
    if (!item)
        return;
    cmdApply->setEnabled(true);
    // The record is read afresh: the station's own readers work between
    // the operator's clicks.
    current_ = item->data(Qt::UserRole).toLongLong();
    lblScheduleNo->setText(QString::number(current_));
    const auto record = station_.state.SatListFile.read(current_);
    if (!record)
        return;
    const ScheduleFields f = record->parse();
    txtSatName->setText(f.SatName);
    txtSatLen->setText(withoutTrailingBlanks(f.SatLen));
    cboSatLang->setCurrentText(f.SatLang);
    selectIndex(cboSatPort, StoredNumber(f.SatPort) - 1);
    if (const int route = RouteIndex(f.SatRoute); route >= 0)
        cboSatRoute->setCurrentIndex(route);
    selectIndex(cboSatAtt, StoredNumber(f.SatAtt));
    for (auto [box, mode] : {std::pair{cboSatPlayStart, f.SatPlayStart},
                             std::pair{cboSatRecordStart, f.SatRecordStart}})
        if (const int index = box->findText(mode); index >= 0)
            box->setCurrentIndex(index);

    // A channel the list does not offer counts as none chosen.
    const int chan = StoredNumber(f.RecChan) - 1;
    recChan_.clear();
    if (chan >= 0 && chan < lstRecChan->count()) {
        lstRecChan->setCurrentRow(chan);
        channel(chan);
    } else {
        lstRecChan->setCurrentRow(-1);
        lstRecChan->clearSelection();
    }

    for (size_t k = 0; k < txtPlay.size(); ++k)
        txtPlay[k]->setText(withoutTrailingBlanks(f.PlayTimes[k]));
    for (size_t r = 0; r < cboRec.size(); ++r) {
        // A stray 8 or 9 counts as Off everywhere else too.
        const int d = f.RecDays[r];
        cboRec[r]->setCurrentIndex(d >= 0 && d <= 7 ? d : 0);
        txtRec[r]->setText(withoutTrailingBlanks(f.RecTimes[r]));
    }
}

void frmSchedule::channel(int row) {
    if (row < 0 || row > 2)
        return;
    recChan_ = QString::number(row + 1);
    const bool records = row < 2;
    txtSatLen->setVisible(records);
    lblPgmLen->setVisible(records);
    Label2->setText(records ? "Record Time  HH:MM:SS" : "Switch Time  HH:MM:SS");
    // A switch only plays nothing; its play times stay and are still saved.
    for (QLineEdit* box : txtPlay)
        box->setEnabled(records);
}

void frmSchedule::newSchedule() {
    LoadSchedules();
    const ScheduleNo slot = NewScheduleSlot(station_);
    if (slot == 0)
        return;
    current_ = slot;
    recChan_.clear();
    // No entry of the list is the schedule being typed.
    lstDisplaySchedule->setCurrentRow(-1);
    lstDisplaySchedule->clearSelection();
    txtSatName->setFocus();
    lblScheduleNo->setText(QString::number(slot));
    txtSatName->clear();
    txtSatLen->clear();
    cboSatPort->setCurrentIndex(0);
    if (cboSatLang->count() > 0)
        cboSatLang->setCurrentIndex(0);
    else
        cboSatLang->setCurrentText({});
    cboSatRoute->setCurrentIndex(0);
    cboSatAtt->setCurrentIndex(0);
    for (QLineEdit* box : txtPlay)
        box->clear();
    for (size_t r = 0; r < txtRec.size(); ++r) {
        txtRec[r]->clear();
        cboRec[r]->setCurrentIndex(0);
    }
    cmdApply->setEnabled(true);
}

ScheduleForm frmSchedule::form() const {
    ScheduleForm f;
    f.SatName = txtSatName->text();
    f.SatLen = txtSatLen->text();
    f.SatLang = cboSatLang->currentText();
    f.SatPort = cboSatPort->currentText();
    f.route = cboSatRoute->currentIndex();
    f.SatAtt = cboSatAtt->currentText();
    f.RecChan = recChan_;
    for (size_t k = 0; k < txtPlay.size(); ++k)
        f.PlayTimes[k] = txtPlay[k]->text();
    for (size_t r = 0; r < txtRec.size(); ++r) {
        f.RecDays[r] = std::max(0, cboRec[r]->currentIndex());
        f.RecTimes[r] = txtRec[r]->text();
    }
    return f;
}

void frmSchedule::apply() {
    const ApplyResult result = ApplySchedule(station_, current_, form());
    if (!result.saved)
        return;
    if (!conflicts_ && !result.conflicts.isEmpty()) {
        // Not a child of the editor: it stays when the editor is closed by
        // other means than its Close.
        conflicts_ = new frmScheduleConflicts(parentWidget());
        conflicts_->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (conflicts_)
        conflicts_->showConflicts(result.conflicts);

    const auto rowOf = [this](ScheduleNo n) {
        for (int row = 0; row < lstDisplaySchedule->count(); ++row)
            if (lstDisplaySchedule->item(row)->data(Qt::UserRole).toLongLong() == n)
                return row;
        return -1;
    };
    // A schedule saved for the first time is shown where it now sorts. For
    // one already listed the position is kept, not the schedule: after a
    // rename the entry now at the selected place is the one shown.
    const ScheduleNo saved = current_;
    const bool first = rowOf(saved) < 0;
    const int top = lstDisplaySchedule->verticalScrollBar()->value();
    const int selected = lstDisplaySchedule->currentRow();
    LoadSchedules();
    lstDisplaySchedule->verticalScrollBar()->setValue(top);
    if (first) {
        if (const int row = rowOf(saved); row >= 0) {
            lstDisplaySchedule->setCurrentRow(row);
            lstDisplaySchedule->scrollToItem(lstDisplaySchedule->item(row));
        }
    } else if (selected >= 0 && selected < lstDisplaySchedule->count()) {
        lstDisplaySchedule->setCurrentRow(selected);
        lstDisplaySchedule->verticalScrollBar()->setValue(top);
    }
}

void frmSchedule::askDelete(bool needSelection) {
    if (needSelection && lstDisplaySchedule->selectedItems().isEmpty()) {
        station_.messages().ShowMessage("Select a schedule");
        return;
    }
    // Only a saved schedule can be deleted: a new one not yet applied, or no
    // schedule at all, has nothing in the file to remove.
    const ScheduleNo n = current_;
    const auto record = n > 0 ? station_.state.SatListFile.read(n) : std::nullopt;
    if (!record || !record->inUse()) {
        station_.messages().ShowMessage("Select a schedule");
        return;
    }
    if (dialog_) {
        dialog_->show();
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    dialog_ = new frmDialog1(record->parse().SatName, this);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    // OK deletes the schedule the question named, whatever was selected
    // while the question waited.
    connect(dialog_, &QDialog::accepted, this, [this, n] {
        if (!DeleteSchedule(station_, n))
            return;
        // As closing and opening the editor again: the playlist follows the
        // file, and the lists are filled afresh.
        RebuildPlayListAfterEditing(station_, playList_);
        open();
    });
    dialog_->show();
}

void frmSchedule::print() {
    std::vector<ScheduleNo> order;
    for (int row = 0; row < lstDisplaySchedule->count(); ++row)
        order.push_back(lstDisplaySchedule->item(row)->data(Qt::UserRole).toLongLong());
    const QString failure = PrintLines(
        ScheduleListPrintout(station_.state, order, station_.clock().today()), printFile_);
    if (!failure.isEmpty())
        station_.messages().ShowMessage(failure);
}

void frmSchedule::closeWithConflicts() {
    if (conflicts_)
        conflicts_->close();
    close();
}

void frmSchedule::closeEvent(QCloseEvent* event) {
    RebuildPlayListAfterEditing(station_, playList_);
    QMainWindow::closeEvent(event);
}

void frmSchedule::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        raiseErrorWindow();
}

bool frmSchedule::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress)
        return keyPressed(watched, static_cast<QKeyEvent*>(event)->key());
    if (watched == lstDisplaySchedule->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            mnuHiddenPopupMenu->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// The editor's keyboard table. True when the key is consumed.
bool frmSchedule::keyPressed(QObject* watched, int key) {
    if (watched == lstDisplaySchedule && key == Qt::Key_Delete) {
        askDelete(false);
        return true;
    }
    if (watched == txtSatName && isEnter(key)) {
        txtSatLen->setFocus();
        return true;
    }
    if (watched == txtSatLen && isEnter(key)) {
        cboSatLang->setFocus();
        return true;
    }
    for (int k = 0; k < 28; ++k) {
        if (watched != txtPlay[size_t(k)])
            continue;
        const auto focus = [this](int to) { txtPlay[size_t((to + 28) % 28)]->setFocus(); };
        if (isEnter(key))
            focus(k + 1);
        else if (key == Qt::Key_Down)
            focus(k + 4);
        else if (key == Qt::Key_Up)
            focus(k - 4);
        else if (key == Qt::Key_Backspace) {
            // The key still works on the box it was typed in.
            focus(k - 1);
            return false;
        } else
            return false;
        return true;
    }
    for (int r = 0; r < 7; ++r) {
        if (watched == txtRec[size_t(r)] && (key == Qt::Key_Down || key == Qt::Key_Up)) {
            txtRec[size_t((r + (key == Qt::Key_Down ? 1 : 6)) % 7)]->setFocus();
            return true;
        }
        if (watched == cboRec[size_t(r)] && key == Qt::Key_Backspace) {
            txtPlay[size_t(4 * r + 3)]->setFocus();
            return true;
        }
    }
    return false;
}
