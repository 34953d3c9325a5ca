#include "schedule/frmWeeklySchedule.h"

#include "schedule/schedule_views.h"
#include "schedule/schedule_widgets.h"
#include "station/station.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

frmWeeklySchedule::frmWeeklySchedule(Station& station, View view, QWidget* parent)
    : QMainWindow(parent), station_(station) {
    setObjectName("frmWeeklySchedule");
    mnuFiles = menuBar()->addMenu("Files");
    mnuFiles->setObjectName("mnuFiles");
    mnuExit = mnuFiles->addAction("Exit");
    mnuExit->setObjectName("mnuExit");
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    lstWeeklySchedule = new QListWidget(central);
    lstWeeklySchedule->setObjectName("lstWeeklySchedule");
    lstWeeklySchedule->setFont(fixedPitchFont(10));
    lstWeeklySchedule->setMinimumSize(520, 360);
    // The heads start where the list's text starts, past its frame and the
    // margin before an entry's text.
    lblHeadings = plainLabel(central, "lblHeadings");
    lblHeadings->setFont(lstWeeklySchedule->font());
    lblHeadings->setContentsMargins(
        lstWeeklySchedule->frameWidth() +
            style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstWeeklySchedule) + 1,
        0, 0, 0);
    lstSort = new QListWidget(central);
    lstSort->setObjectName("lstSort");
    lstSort->hide();
    cmdClose = namedButton(central, "cmdClose", "Close");
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(central);
    layout->setSpacing(2);
    layout->addWidget(lblHeadings);
    layout->addWidget(lstWeeklySchedule, 1);
    layout->addLayout(buttons);

    showView(view);
}

void frmWeeklySchedule::showView(View view) {
    // The window keeps lists of its own: the finders' work lists change
    // whenever the station looks for its next event.
    const WeeklyScheduleLists lists = view == View::Play ? WeeklyPlaySchedule(station_.state)
                                                         : WeeklyRecordSchedule(station_.state);
    setWindowTitle(view == View::Play ? "Weekly Play Schedule" : "Weekly Record Schedule");
    lblHeadings->setText(view == View::Play ? WeeklyPlayHeadings() : WeeklyRecordHeadings());
    lstSort->clear();
    for (const SortedList::Item& item : lists.lstSort.items())
        lstSort->addItem(item.text);
    lstWeeklySchedule->clear();
    lstWeeklySchedule->addItems(lists.lstWeeklySchedule);
}
