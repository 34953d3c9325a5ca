#pragma once

#include "station/station.h"

#include <QDialog>
#include <cstdint>

class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QShowEvent;

// Chooses the computer's serial port and speed for the receiver. The choice
// is kept in the window until it closes, however it is closed, and only then
// becomes the station's and is saved, so the receiver link never sees a
// half-made choice.
class frmComSelect : public QDialog {
    Q_OBJECT
public:
    explicit frmComSelect(Station& station, QWidget* parent = nullptr);

    // The working pair, as the buttons have set it so far.
    int32_t workingPort() const { return port_; }
    int32_t workingBaud() const { return baud_; }

    QLabel* lblTitle;
    QGroupBox* fraPort;
    QRadioButton *optSP1, *optSP2, *optSP3, *optSP4;
    QGroupBox* fraBaud;
    QRadioButton *optBaud1, *optBaud2;
    QPushButton* cmdClose;

protected:
    void done(int result) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void load();
    void save();

    Station& station_;
    int32_t port_ = 0;
    int32_t baud_ = 0;
    // Set once the choice has been saved; the next showing starts afresh.
    bool saved_ = false;
};
