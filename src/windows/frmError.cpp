#include "windows/frmError.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmError::frmError(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmError");
    setWindowTitle("Error Message");
    // A message about a refused key must not take the keyboard from the box
    // the operator is typing into: what is typed next belongs there.
    setAttribute(Qt::WA_ShowWithoutActivating);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName("lblMessage");
    // Messages may quote receiver answers or file names: never interpret them.
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);
    lblMessage->setMinimumWidth(320);
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage, 1);
    layout->addLayout(buttons);
}

void frmError::showMessage(const QString& text) {
    show();
    raise();
    lblMessage->setText(text);
}
