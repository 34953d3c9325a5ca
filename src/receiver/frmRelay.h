#pragma once

#include "receiver/receiver_link.h"
#include "station/station.h"

#include <QDialog>
#include <QString>
#include <array>

class QLabel;
class QPushButton;
class QShowEvent;

// Opens and closes the receiver's own relays ("R R") or those of its
// expansion card ("R ER"), whichever query the window is made for, and shows
// the receiver's relay report after each change.
class frmRelay : public QDialog {
    Q_OBJECT
public:
    static constexpr int ButtonCount = 28;

    frmRelay(Station& station, ReceiverLink& link, const QString& query, QWidget* parent = nullptr);

    // Lays the rows out for the window's query and sends it, as the window
    // does each time it is shown from hidden.
    void query();
    bool asks(const QString& query) const { return query_ == query; }

    QLabel* lblRelay;
    // Buttons 2k and 2k+1 act on relay k+1: "Open" and "Close" for the
    // receiver's relays, "Disable" and "Enable" for the expansion card's.
    std::array<QPushButton*, ButtonCount> cmdR{};
    QPushButton* cmdClose;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void press(int button);
    void runAndShow(const ReceiverExchange& exchange);

    Station& station_;
    ReceiverLink& link_;
    QString query_;
    std::array<QLabel*, ButtonCount / 2> rowNames_{};
};
