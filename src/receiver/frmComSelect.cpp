#include "receiver/frmComSelect.h"

#include "platform/drive_paths.h"
#include "station/messages.h"
#include "station/settings_file.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

frmComSelect::frmComSelect(Station& station, QWidget* parent)
    : QDialog(parent), lblTitle(new QLabel(this)), fraPort(new QGroupBox(this)),
      optSP1(new QRadioButton(fraPort)), optSP2(new QRadioButton(fraPort)),
      optSP3(new QRadioButton(fraPort)), optSP4(new QRadioButton(fraPort)),
      fraBaud(new QGroupBox(this)), optBaud1(new QRadioButton(fraBaud)),
      optBaud2(new QRadioButton(fraBaud)), cmdClose(new QPushButton(this)), station_(station) {
    setObjectName("frmComSelect");
    setWindowTitle("Communications");

    lblTitle->setObjectName("lblTitle");
    lblTitle->setText("Computer Port and Baud Rate to connect with Unity 4K");

    fraPort->setObjectName("fraPort");
    fraPort->setTitle("Select Port");
    auto* portLayout = new QVBoxLayout(fraPort);
    QRadioButton* const ports[] = {optSP1, optSP2, optSP3, optSP4};
    for (int i = 0; i < 4; ++i) {
        QRadioButton* b = ports[i];
        b->setObjectName(QString("optSP%1").arg(i + 1));
        b->setText(QString("Serial Port %1").arg(i + 1));
        portLayout->addWidget(b);
        connect(b, &QRadioButton::clicked, this, [this, i] { port_ = i + 1; });
    }

    fraBaud->setObjectName("fraBaud");
    fraBaud->setTitle("Select Baud");
    auto* baudLayout = new QVBoxLayout(fraBaud);
    optBaud1->setObjectName("optBaud1");
    optBaud1->setText("9600");
    optBaud2->setObjectName("optBaud2");
    optBaud2->setText("19200");
    baudLayout->addWidget(optBaud1);
    baudLayout->addWidget(optBaud2);
    baudLayout->addStretch();
    connect(optBaud1, &QRadioButton::clicked, this, [this] { baud_ = 1; });
    connect(optBaud2, &QRadioButton::clicked, this, [this] { baud_ = 2; });

    cmdClose->setObjectName("cmdClose");
    cmdClose->setText("Close");
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto* frames = new QHBoxLayout;
    frames->addWidget(fraPort);
    frames->addWidget(fraBaud);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addLayout(frames);
    layout->addLayout(buttons);

    load();
}

void frmComSelect::load() {
    port_ = station_.state.CommPortNo;
    baud_ = station_.state.BaudIndex;
    // Exclusivity would keep an old check when the stored value names no
    // button, showing a choice that is not the station's.
    for (QRadioButton* b : {optSP1, optSP2, optSP3, optSP4, optBaud1, optBaud2}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
    QRadioButton* const ports[] = {optSP1, optSP2, optSP3, optSP4};
    if (port_ >= 1 && port_ <= 4)
        ports[port_ - 1]->setChecked(true);
    if (baud_ == 1)
        optBaud1->setChecked(true);
    else if (baud_ == 2)
        optBaud2->setChecked(true);
    saved_ = false;
}

void frmComSelect::save() {
    if (saved_)
        return;
    saved_ = true;
    station_.state.CommPortNo = port_;
    station_.state.BaudIndex = baud_;

    const QString hostPath = station_.paths().resolve(SettingsFile::StationPath);
    SettingsFile file;
    QString reason;
    const bool written = file.open(hostPath, &reason) &&
                         file.write(Setting::CommPortNo, int16_t(port_), &reason) &&
                         file.write(Setting::BaudIndex, int16_t(baud_), &reason);
    file.close();
    // The link already uses the new choice; the operator must know it will
    // be gone at the next start.
    if (!written)
        station_.messages().ShowMessage(
            QString("The port and baud rate could not be saved in %1 (%2): %3")
                .arg(SettingsFile::StationPath, hostPath, reason));
}

// Esc, the close button and close() on a shown window all end here.
void frmComSelect::done(int result) {
    save();
    QDialog::done(result);
}

void frmComSelect::closeEvent(QCloseEvent* event) {
    // A shown dialog is closed through done(); one never shown is not.
    if (!isVisible())
        save();
    QDialog::closeEvent(event);
}

void frmComSelect::showEvent(QShowEvent* event) {
    if (saved_ && !event->spontaneous())
        load();
    QDialog::showEvent(event);
}
