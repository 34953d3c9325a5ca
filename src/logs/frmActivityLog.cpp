#include "logs/frmActivityLog.h"

#include "logs/log_viewer.h"
#include "station/messages.h"
#include "station/station.h"

#include <QFont>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

frmActivityLog::frmActivityLog(Station& station, const QString& kind, QWidget* parent)
    : QDialog(parent), lstDate(new QListWidget(this)), Option1(new QRadioButton("By Time", this)),
      Option2(new QRadioButton("By Event", this)), cmdOk(new QPushButton("OK", this)),
      lstActivityLog(new QListWidget(this)), cmdClose(new QPushButton("&Close", this)),
      station_(station), kind_(kind) {
    setObjectName("frmActivityLog");
    setWindowTitle("Log Viewer");
    lstDate->setObjectName("lstDate");
    Option1->setObjectName("Option1");
    Option2->setObjectName("Option2");
    cmdOk->setObjectName("cmdOk");
    lstActivityLog->setObjectName("lstActivityLog");
    QFont courier("Courier New");
    courier.setStyleHint(QFont::TypeWriter);
    lstActivityLog->setFont(courier);
    cmdClose->setObjectName("cmdClose");

    auto* left = new QVBoxLayout;
    left->addWidget(lstDate);
    left->addWidget(Option1);
    left->addWidget(Option2);
    left->addWidget(cmdOk);
    left->addWidget(cmdClose);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(lstActivityLog, 1);
    resize(760, 420);

    connect(cmdOk, &QPushButton::clicked, this, &frmActivityLog::showDay);
    connect(lstDate, &QListWidget::itemDoubleClicked, this, &frmActivityLog::showDay);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    load();
}

void frmActivityLog::showKind(const QString& kind) {
    if (kind == kind_)
        return;
    kind_ = kind;
    load();
}

void frmActivityLog::load() {
    lstDate->clear();
    lstActivityLog->clear();
    lstDate->addItems(logDays(station_.paths(), kind_));
    lstDate->scrollToTop();
    lstDate->setCurrentRow(0);
    Option1->setChecked(true);
    setWindowTitle(logWindowCaption(kind_));
}

void frmActivityLog::showDay() {
    QListWidgetItem* item = lstDate->currentItem();
    if (item && item->text() == NoLogsFound) {
        lstActivityLog->clear();
        return;
    }
    if (!item || !item->isSelected()) {
        station_.messages().ShowMessage(logSelectPrompt(kind_));
        return;
    }
    setWindowTitle(logDayCaption(kind_, item->text()));
    lstActivityLog->clear();
    lstActivityLog->addItems(
        logDayLines(station_.paths(), kind_, item->text(), Option2->isChecked()));
}
