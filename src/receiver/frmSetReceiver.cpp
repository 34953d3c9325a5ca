#include "receiver/frmSetReceiver.h"

#include "receiver/receiver_commands.h"
#include "station/messages.h"
#include "station/source_codes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The receiver's code for each route, in the order of the route list.
const char* const RouteCodes[] = {"1", "2", "S", "R"};

void fill(QListWidget* list, const QString& name, const QStringList& items) {
    list->setObjectName(name);
    list->addItems(items);
    list->setCurrentRow(0);
}

} // namespace

frmSetReceiver::frmSetReceiver(Station& station, ReceiverLink& link,
                               std::function<void(const QString& query)> showDataWindow,
                               QWidget* parent)
    : QDialog(parent), lstPort(new QListWidget(this)), lstRoute(new QListWidget(this)),
      lstAtt(new QListWidget(this)), lstLang(new QListWidget(this)), cmdSet(new QPushButton(this)),
      cmdClose(new QPushButton(this)), station_(station), link_(link),
      showDataWindow_(std::move(showDataWindow)) {
    setObjectName("frmSetReceiver");
    setWindowTitle("Set Receiver");

    fill(lstPort, "lstPort", {"Port 1", "Port 2", "Port 3", "Port 4"});
    fill(lstRoute, "lstRoute", {"Left", "Right", "Stereo", "Reverse"});
    QStringList attenuations;
    for (int db = 0; db <= 14; ++db)
        attenuations << QString::number(db);
    fill(lstAtt, "lstAtt", attenuations);
    // The attenuation is picked at a glance: every step stays in view, none
    // half cut off or scrolled away.
    lstAtt->setMinimumHeight(lstAtt->sizeHintForRow(0) * lstAtt->count() +
                             2 * lstAtt->frameWidth());
    fill(lstLang, "lstLang", readSourceCodes(station.paths()));

    cmdSet->setObjectName("cmdSet");
    cmdSet->setText("&Set");
    connect(cmdSet, &QPushButton::clicked, this, &frmSetReceiver::setAudio);

    cmdClose->setObjectName("cmdClose");
    cmdClose->setText("&Close");
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto* grid = new QGridLayout;
    const QList<std::pair<QString, QListWidget*>> columns = {
        {"Port", lstPort}, {"Route", lstRoute}, {"Source", lstLang}, {"Attenuation", lstAtt}};
    for (int c = 0; c < columns.size(); ++c) {
        grid->addWidget(new QLabel(columns[c].first, this), 0, c);
        grid->addWidget(columns[c].second, 1, c);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSet);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void frmSetReceiver::setAudio() {
    const QListWidgetItem* source = lstLang->currentItem();
    // A command without a source would be refused by the receiver or, worse,
    // read with the attenuation as the source.
    if (!source) {
        station_.messages().ShowMessage(NoSourceCodesText);
        return;
    }
    const int port = std::max(0, lstPort->currentRow()) + 1;
    const QString route = RouteCodes[std::clamp(lstRoute->currentRow(), 0, 3)];
    const QString attenuation = lstAtt->currentItem() ? lstAtt->currentItem()->text() : "0";

    StationState& s = station_.state;
    s.ReceiverCommand = setupSetAudioCommand(port, route, source->text(), attenuation);
    SendReceiverCommand(station_, link_);
    // Switching a port always releases the expansion relays that belong to it.
    for (int relay : expansionRelaysOfPort(QString::number(port))) {
        s.ReceiverCommand = "ER D " + QString::number(relay);
        SendReceiverCommand(station_, link_);
    }
    if (showDataWindow_)
        showDataWindow_("R M");
}
