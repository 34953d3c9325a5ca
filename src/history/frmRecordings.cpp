#include "history/frmRecordings.h"

#include "platform/clock.h"
#include "station/messages.h"
#include "station/station.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int OutcomeColumn = 4, HandOffColumn = 11;
const QColor FailureText(176, 0, 0);
const QColor FailureRow(255, 232, 232);

template <class W> W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

// Colour alone would not do: the marked cell also carries its word in bold.
void mark(QTableWidgetItem* item) {
    QFont f = item->font();
    f.setBold(true);
    item->setFont(f);
    item->setForeground(FailureText);
}

} // namespace

frmRecordings::frmRecordings(Station& station, const TakeHistory& history, OpenTake openTake,
                             QWidget* parent)
    : QDialog(parent), cboOutcome(named(new QComboBox(this), "cboOutcome")),
      txtProgramme(named(new QLineEdit(this), "txtProgramme")),
      spnDays(named(new QSpinBox(this), "spnDays")),
      grdTakes(named(new QTableWidget(this), "grdTakes")),
      lblCount(named(new QLabel(this), "lblCount")),
      cmdRefresh(named(new QPushButton("&Refresh", this), "cmdRefresh")),
      cmdClose(named(new QPushButton("&Close", this), "cmdClose")), station_(station),
      history_(history), openTake_(std::move(openTake)) {
    setObjectName("frmRecordings");
    setWindowTitle("Recordings");
    for (const auto& [caption, value] : takeOutcomeChoices())
        cboOutcome->addItem(caption, value);
    txtProgramme->setPlaceholderText("Programme name contains");
    txtProgramme->setClearButtonEnabled(true);
    spnDays->setRange(1, 366);
    spnDays->setValue(7);
    spnDays->setSuffix(" days");

    grdTakes->setColumnCount(int(TakeColumns.size()));
    grdTakes->setHorizontalHeaderLabels(TakeColumns);
    for (int c = 0; c < TakeColumnTips.size(); ++c)
        grdTakes->horizontalHeaderItem(c)->setToolTip(TakeColumnTips[c]);
    grdTakes->setWordWrap(false);
    grdTakes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdTakes->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdTakes->setSelectionMode(QAbstractItemView::SingleSelection);
    grdTakes->verticalHeader()->hide();
    grdTakes->horizontalHeader()->setStretchLastSection(true);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel("Show", this));
    filters->addWidget(cboOutcome);
    filters->addWidget(new QLabel("Programme", this));
    filters->addWidget(txtProgramme, 1);
    filters->addWidget(new QLabel("of the last", this));
    filters->addWidget(spnDays);
    filters->addWidget(cmdRefresh);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblCount, 1);
    bottom->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(grdTakes, 1);
    layout->addLayout(bottom);
    resize(1270, 520);

    connect(cboOutcome, &QComboBox::currentIndexChanged, this, &frmRecordings::showRows);
    connect(txtProgramme, &QLineEdit::textChanged, this, &frmRecordings::showRows);
    connect(spnDays, &QSpinBox::valueChanged, this, &frmRecordings::refresh);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmRecordings::refresh);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(grdTakes, &QTableWidget::cellDoubleClicked, this, [this](int row) { open(row); });
    refresh();
}

void frmRecordings::refresh() {
    rows_ = takeRows(history_.since(takesFrom(station_.clock().now().date(), spnDays->value())),
                     station_);
    showRows();
}

void frmRecordings::showRows() {
    shown_ = filtered(rows_, {cboOutcome->currentData().toString(), txtProgramme->text()});
    grdTakes->clearContents();
    grdTakes->setRowCount(int(shown_.size()));
    for (int r = 0; r < shown_.size(); ++r) {
        const TakeRow& take = shown_[r];
        for (int c = 0; c < take.texts.size(); ++c) {
            auto* item = new QTableWidgetItem(take.texts[c]);
            item->setToolTip(take.texts[c]); // the whole of a text cut short
            if (take.failure)
                item->setBackground(FailureRow);
            if ((c == OutcomeColumn && take.failure) || (c == HandOffColumn && take.handOffFailed))
                mark(item);
            grdTakes->setItem(r, c, item);
        }
    }
    grdTakes->resizeColumnsToContents();
    lblCount->setText(QString("%1 of %2 takes").arg(shown_.size()).arg(rows_.size()));
}

void frmRecordings::open(int row) {
    if (row < 0 || row >= shown_.size())
        return;
    const QString refusal = auditionRefusal(shown_[row]);
    if (!refusal.isEmpty())
        station_.messages().ShowMessage(refusal);
    else if (openTake_)
        openTake_(shown_[row]);
}
