#include "schedule/frmProgramSourceCodes.h"

#include "schedule/schedule_widgets.h"
#include "station/messages.h"
#include "station/station.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmProgramSourceCodes::frmProgramSourceCodes(Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window), station_(station), codes_(station.paths()) {
    setObjectName("frmProgramSourceCodes");
    setWindowTitle("Program Source Codes");

    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    List1->setToolTip("Source Codes.  Unity 4K manual calls these codes \"LANG\"");
    List1->setFont(fixedPitchFont(10));
    text1 = new QLineEdit(this);
    text1->setObjectName("text1");
    text1->setMaxLength(SourceCodeList::MaxLength);
    text1->setToolTip("Add a new source code....up to 3 characters");
    text1->hide();
    cmdNew = namedButton(this, "cmdNew", "New");
    cmdApply = namedButton(this, "cmdApply", "Apply");
    cmdDelete = namedButton(this, "cmdDelete", "Delete");
    cmdClose = namedButton(this, "cmdClose", "&Close");

    connect(cmdNew, &QPushButton::clicked, this, [this] {
        text1->clear();
        text1->show();
        text1->setFocus();
    });
    connect(cmdApply, &QPushButton::clicked, this, &frmProgramSourceCodes::add);
    connect(text1, &QLineEdit::returnPressed, this, &frmProgramSourceCodes::add);
    connect(cmdDelete, &QPushButton::clicked, this, &frmProgramSourceCodes::remove);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdNew, cmdApply, cmdDelete, cmdClose})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(List1, 1);
    left->addWidget(text1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    codes_.load();
    render(codes_.codes().isEmpty() ? -1 : 0);
}

void frmProgramSourceCodes::add() {
    text1->hide();
    if (text1->text().trimmed().isEmpty())
        return;
    const QString failure = codes_.add(text1->text());
    if (failure.isEmpty())
        text1->clear();
    render(codes_.codes().selected);
    report(failure);
}

void frmProgramSourceCodes::remove() {
    // No confirmation, so nothing at all without a selection.
    const int row =
        List1->currentItem() && List1->currentItem()->isSelected() ? List1->currentRow() : -1;
    if (row < 0)
        return;
    const QString failure = codes_.removeAt(row);
    render(-1);
    report(failure);
}

void frmProgramSourceCodes::render(int selected) {
    List1->clear();
    for (const SortedList::Item& item : codes_.codes().items())
        List1->addItem(item.text);
    List1->setCurrentRow(selected);
}

void frmProgramSourceCodes::report(const QString& failure) {
    if (!failure.isEmpty())
        station_.messages().ShowMessage(failure);
}
