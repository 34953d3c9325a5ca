#pragma once

#include "receiver/receiver_link.h"
#include "station/station.h"

#include <QDialog>
#include <functional>

class QListWidget;
class QPushButton;

// Switches a receiver audio port by hand: route, programme source and
// attenuation, then shows the receiver's port report so the operator sees
// the result. The source codes are read from Source.dat when the window is
// made.
class frmSetReceiver : public QDialog {
    Q_OBJECT
public:
    static inline const QString NoSourceCodesText =
        "No program source codes: add them in SetUp, Program Source Codes.";

    // showDataWindow (re)opens the receiver data window, which then sends
    // the query it is given.
    frmSetReceiver(Station& station, ReceiverLink& link,
                   std::function<void(const QString& query)> showDataWindow,
                   QWidget* parent = nullptr);

    QListWidget* lstPort;
    QListWidget* lstRoute;
    QListWidget* lstAtt;
    QListWidget* lstLang;
    QPushButton* cmdSet;
    QPushButton* cmdClose;

private:
    void setAudio();

    Station& station_;
    ReceiverLink& link_;
    std::function<void(const QString& query)> showDataWindow_;
};
