#include "windows/frmAbout.h"

#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

frmAbout::frmAbout(Messages& messages, QStringList searchPath, QWidget* parent)
    : QDialog(parent), picIcon(new QLabel(this)), lblTitle(new QLabel(this)),
      lblVersion(new QLabel(this)), lblDescription(new QLabel(this)), cmdOK(new QPushButton(this)),
      cmdSysInfo(new QPushButton(this)), messages_(messages), searchPath_(std::move(searchPath)) {
    setObjectName("frmAbout");
    setWindowTitle("About " + ApplicationTitle);

    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(drawIcon(48));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle->setObjectName("lblTitle");
    lblTitle->setText("DuzidazOda");
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion->setObjectName("lblVersion");
    lblVersion->setText(versionText());

    lblDescription->setObjectName("lblDescription");
    lblDescription->setWordWrap(true);
    lblDescription->setText(
        ApplicationTitle +
        " records programmes fed by a satellite network on two channels and plays them on air "
        "at their scheduled times, so that a station taking the network's programmes can run "
        "unattended.\n\n"
        "Audio recording and playback use Qt Multimedia; sound files are read and written "
        "with libsndfile.");

    cmdOK->setObjectName("cmdOK");
    cmdOK->setText("OK");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    cmdSysInfo->setObjectName("cmdSysInfo");
    cmdSysInfo->setText("&System Info...");
    cmdSysInfo->setAutoDefault(false);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::startSysInfo);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 3, 1);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(line, 3, 0, 1, 2);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    resize(420, 260);
}

QString frmAbout::versionText() {
    return QString("Version %1.%2.%3")
        .arg(VARNOLA_VERSION_MAJOR)
        .arg(VARNOLA_VERSION_MINOR)
        .arg(VARNOLA_VERSION_PATCH);
}

QPixmap frmAbout::drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // A receiving dish on a mast with the signal arriving from the top right.
    p.setPen(QPen(QColor(60, 60, 60), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(13, 20), QPointF(13, 30));
    p.drawLine(QPointF(8, 30), QPointF(18, 30));

    QPainterPath dish;
    dish.moveTo(3, 9);
    dish.quadTo(6, 26, 23, 23);
    dish.closeSubpath();
    p.setPen(QPen(QColor(20, 50, 110), 1.5));
    p.setBrush(QColor(70, 120, 200));
    p.drawPath(dish);

    p.setPen(QPen(QColor(60, 60, 60), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 20), QPointF(17, 12));
    p.setBrush(QColor(200, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(17, 12), 2, 2);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 40, 40), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(16, 1, 14, 14), 90 * 16, -90 * 16);
    p.drawArc(QRectF(19, 4, 8, 8), 90 * 16, -90 * 16);
    return pixmap;
}

void frmAbout::startSysInfo() {
    const QString viewer = findSystemInfoViewer(searchPath_);
    if (viewer.isEmpty() || !startSystemInfoViewer(viewer))
        messages_.ShowMessage(UnavailableText);
}
