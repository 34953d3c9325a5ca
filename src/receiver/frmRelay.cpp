#include "receiver/frmRelay.h"

#include "platform/clock.h"
#include "receiver/receiver_commands.h"
#include "station/messages.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
constexpr const char* ReceiverRelaysQuery = "R R";
// The receiver's own card has two relays; the rest are the expansion card's.
constexpr int ReceiverRelayButtons = 4;
// A relay needs this long to switch before the report shows its new state.
constexpr int RelaySettleMs = 1000;
constexpr int RelayAnswerTimeoutMs = 2000;
} // namespace

frmRelay::frmRelay(Station& station, ReceiverLink& link, const QString& query, QWidget* parent)
    : QDialog(parent), lblRelay(new QLabel(this)), cmdClose(new QPushButton(this)),
      station_(station), link_(link), query_(query) {
    setObjectName("frmRelay");
    setWindowTitle("Unity 4K Receiver Relay Status");

    lblRelay->setObjectName("lblRelay");
    // Receiver text is never markup, whatever characters it holds.
    lblRelay->setTextFormat(Qt::PlainText);
    lblRelay->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblRelay->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lblRelay->setMinimumWidth(320);

    auto* rows = new QGridLayout;
    for (int i = 0; i < ButtonCount; ++i) {
        const int row = i / 2;
        if (i % 2 == 0) {
            rowNames_[size_t(row)] = new QLabel(this);
            rows->addWidget(rowNames_[size_t(row)], row, 0);
        }
        QPushButton* b = new QPushButton(this);
        b->setObjectName(QString("cmdR_%1").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { press(i); });
        rows->addWidget(b, row, 1 + i % 2);
        cmdR[size_t(i)] = b;
    }
    rows->setRowStretch(ButtonCount / 2, 1);

    cmdClose->setObjectName("cmdClose");
    cmdClose->setText("&Close");
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto* top = new QHBoxLayout;
    top->addLayout(rows);
    top->addWidget(lblRelay, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

void frmRelay::showEvent(QShowEvent* event) {
    // A window restored from the task bar is not being opened.
    if (!event->spontaneous())
        query();
    QDialog::showEvent(event);
}

void frmRelay::query() {
    const bool receiverRelays = query_ == ReceiverRelaysQuery;
    // The captions say what the report will show after a press: the
    // receiver's relays read OPEN or CLOSED, the expansion card's DISABLED or
    // ENABLED.
    for (int i = 0; i < ButtonCount; ++i) {
        const bool first = i % 2 == 0;
        cmdR[size_t(i)]->setText(receiverRelays ? (first ? "Open" : "Close")
                                                : (first ? "Disable" : "Enable"));
        cmdR[size_t(i)]->setVisible(!receiverRelays || i < ReceiverRelayButtons);
    }
    for (int row = 0; row < ButtonCount / 2; ++row) {
        rowNames_[size_t(row)]->setText(
            QString(receiverRelays ? "Receiver Relay %1" : "Expansion Relay %1").arg(row + 1));
        rowNames_[size_t(row)]->setVisible(!receiverRelays || row < ReceiverRelayButtons / 2);
    }

    lblRelay->clear();
    ReceiverExchange exchange;
    exchange.writes = {query_.toLatin1() + '\r'};
    exchange.collect = true;
    exchange.endMarkFrom = 1;
    exchange.timeoutMs = windowAnswerTimeoutMs(station_.clock().secondsSinceMidnight());
    runAndShow(exchange);
}

void frmRelay::press(int button) {
    const QString command = relayButtonCommand(query_, button);
    if (command.isEmpty())
        return;
    // The command's own prompt comes back ahead of the report and is dropped,
    // so the report shown is the one taken after the relay has switched.
    ReceiverExchange exchange;
    exchange.writes = {command.toLatin1() + '\r', query_.toLatin1() + '\r'};
    exchange.collect = true;
    exchange.settleMs = RelaySettleMs;
    exchange.dropEarlyPrompt = true;
    exchange.timeoutMs = RelayAnswerTimeoutMs;
    exchange.endMarkFrom = 1;
    runAndShow(exchange);
}

void frmRelay::runAndShow(const ReceiverExchange& exchange) {
    RunStatusQuery(station_, link_, exchange, [self = QPointer(this)](const QString& answer) {
        if (self)
            self->lblRelay->setText(answer);
    });
}
