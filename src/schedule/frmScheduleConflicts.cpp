#include "schedule/frmScheduleConflicts.h"

#include "schedule/schedule_widgets.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmScheduleConflicts::frmScheduleConflicts(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmScheduleConflicts");
    setWindowTitle("Schedule Conflicts");
    lstConflicts = new QListWidget(this);
    lstConflicts->setObjectName("lstConflicts");
    lstConflicts->setMinimumSize(480, 160);
    cmdClose = namedButton(this, "cmdClose", "&Close");
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstConflicts, 1);
    layout->addLayout(buttons);
}

void frmScheduleConflicts::showConflicts(const QStringList& lines) {
    lstConflicts->clear();
    lstConflicts->addItems(lines);
    if (lines.isEmpty())
        return;
    show();
    raise();
}
