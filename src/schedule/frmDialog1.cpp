#include "schedule/frmDialog1.h"

#include "schedule/schedule_widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmDialog1::frmDialog1(const QString& scheduleName, QWidget* parent) : QDialog(parent) {
    setObjectName("frmDialog1");
    setWindowTitle("Delete " + scheduleName.trimmed() + " Schedule?");
    lblQuestion = plainLabel(this, "lblQuestion", "Are You Sure?");
    lblQuestion->setAlignment(Qt::AlignCenter);
    OKButton = namedButton(this, "OKButton", "OK");
    CancelButton = namedButton(this, "CancelButton", "Cancel");
    // Enter must not delete: the safe answer is the default.
    CancelButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblQuestion);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}
