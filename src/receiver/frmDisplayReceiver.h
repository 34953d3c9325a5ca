#pragma once

#include "receiver/receiver_link.h"
#include "station/station.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollArea;
class QShowEvent;

// The heading naming a status query by its View, Receiver Status entry;
// a query no entry sends is named as sent.
QString receiverQueryHeading(const QString& query);

// Shows the receiver's answer to the status query the menu chose exactly as
// it came, prompt included. The exchange runs on the receiver link; the
// window fills in when it ends and never waits.
class frmDisplayReceiver : public QDialog {
    Q_OBJECT
public:
    frmDisplayReceiver(Station& station, ReceiverLink& link, const QString& query,
                       QWidget* parent = nullptr);

    // Sends the window's query as the window does each time it is shown from
    // hidden. Call it to ask again while the window is already on screen.
    void query();
    // Asks at once only for another query than the one shown, so a window
    // brought forward follows the menu.
    void showQuery(const QString& query);

    QLabel* lblQuery;
    QScrollArea* scrDisplayReceiver;
    QLabel* lblDisplayReceiver;
    QPushButton* cmdDisplayReceiverRefresh;
    QPushButton* cmdDisplayReceiverExit;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ask(int endMarkFrom);

    Station& station_;
    ReceiverLink& link_;
    QString query_;
    // Answers to anything but the latest question are stale.
    quint64 asked_ = 0;
};
