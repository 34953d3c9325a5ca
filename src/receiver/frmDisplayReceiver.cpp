#include "receiver/frmDisplayReceiver.h"

#include "platform/clock.h"
#include "receiver/receiver_commands.h"
#include "station/messages.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>
#include <utility>

namespace {
// The carrier report runs long and carries ">" characters of its own before
// its end; only one from this position on ends it.
constexpr int LongAnswerEndMark = 700;
} // namespace

QString receiverQueryHeading(const QString& query) {
    static const std::pair<const char*, const char*> entries[] = {
        {"RT C", "Carrier"},
        {"R M", "MPEG"},
        {"R SP", "Receiver Serial Port"},
        {"R S", "Settings"},
    };
    QString name = query;
    for (const auto& [sent, caption] : entries)
        if (query == QLatin1String(sent))
            name = caption;
    return "Receiver Status: " + name;
}

frmDisplayReceiver::frmDisplayReceiver(Station& station, ReceiverLink& link, const QString& query,
                                       QWidget* parent)
    : QDialog(parent), lblQuery(new QLabel(this)), scrDisplayReceiver(new QScrollArea(this)),
      lblDisplayReceiver(new QLabel), cmdDisplayReceiverRefresh(new QPushButton(this)),
      cmdDisplayReceiverExit(new QPushButton(this)), station_(station), link_(link), query_(query) {
    setObjectName("frmDisplayReceiver");
    setWindowTitle("Receiver Data");

    lblQuery->setObjectName("lblQuery");
    lblQuery->setTextFormat(Qt::PlainText);
    QFont heading = lblQuery->font();
    heading.setBold(true);
    lblQuery->setFont(heading);

    lblDisplayReceiver->setObjectName("lblDisplayReceiver");
    // Receiver text is never markup, whatever characters it holds.
    lblDisplayReceiver->setTextFormat(Qt::PlainText);
    lblDisplayReceiver->setWordWrap(false);
    lblDisplayReceiver->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The reports are laid out in columns.
    lblDisplayReceiver->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    scrDisplayReceiver->setObjectName("scrDisplayReceiver");
    scrDisplayReceiver->setWidgetResizable(true);
    scrDisplayReceiver->setWidget(lblDisplayReceiver);

    cmdDisplayReceiverRefresh->setObjectName("cmdDisplayReceiverRefresh");
    cmdDisplayReceiverRefresh->setText("&Refresh");
    connect(cmdDisplayReceiverRefresh, &QPushButton::clicked, this,
            [this] { ask(LongAnswerEndMark); });

    cmdDisplayReceiverExit->setObjectName("cmdDisplayReceiverExit");
    cmdDisplayReceiverExit->setText("E&xit");
    connect(cmdDisplayReceiverExit, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDisplayReceiverRefresh);
    buttons->addWidget(cmdDisplayReceiverExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblQuery);
    layout->addWidget(scrDisplayReceiver);
    layout->addLayout(buttons);
    resize(640, 480);
}

void frmDisplayReceiver::showEvent(QShowEvent* event) {
    // A window restored from the task bar is not being opened.
    if (!event->spontaneous())
        query();
    QDialog::showEvent(event);
}

void frmDisplayReceiver::query() {
    ask(query_ == "RT C" ? LongAnswerEndMark : 1);
}

void frmDisplayReceiver::showQuery(const QString& query) {
    if (query == query_)
        return;
    query_ = query;
    this->query();
}

void frmDisplayReceiver::ask(int endMarkFrom) {
    lblQuery->setText(receiverQueryHeading(query_));
    lblDisplayReceiver->clear();
    ReceiverExchange exchange;
    exchange.writes = {query_.toLatin1() + '\r'};
    exchange.collect = true;
    exchange.endMarkFrom = endMarkFrom;
    exchange.timeoutMs = windowAnswerTimeoutMs(station_.clock().secondsSinceMidnight());
    const quint64 question = ++asked_;
    // The answer may come after the operator has closed the window, or after
    // another query has been asked in its place.
    RunStatusQuery(station_, link_, exchange,
                   [self = QPointer(this), question](const QString& answer) {
                       if (self && self->asked_ == question)
                           self->lblDisplayReceiver->setText(answer);
                   });
}
