#include "export/frmAutoExport.h"

#include "schedule/schedule_widgets.h"
#include "station/messages.h"
#include "station/station.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QColor WinjockGrey(0xC0, 0xC0, 0xC0);

// Keeps pasted or dropped text to the characters a destination may hold
// when typed; text the program put there (a Winjock name) stays editable.
class DestinationValidator : public QValidator {
public:
    explicit DestinationValidator(QLineEdit* box) : QValidator(box) {
        before_ = box->text();
        QObject::connect(box, &QLineEdit::textChanged, this,
                         [this](const QString& t) { before_ = t; });
    }
    State validate(QString& input, int&) const override {
        return refused(input) > refused(before_) ? Invalid : Acceptable;
    }

private:
    static qsizetype refused(const QString& text) {
        return std::count_if(text.begin(), text.end(),
                             [](QChar c) { return !DestinationCharAccepted(c); });
    }
    QString before_;
};

QLineEdit* lineEdit(QWidget* parent, const QString& name, int maxLength) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    return e;
}

} // namespace

frmAutoExport::frmAutoExport(Station& station, QWidget* parent)
    : QMainWindow(parent), station_(station) {
    setObjectName("frmAutoExport");
    setWindowTitle("Export SetUp");
    buildControls();
    buildMenus();
    for (size_t d = 0; d < 7; ++d)
        chkDay[d]->setText(station_.state.DayNames[d + 1]);
    arrange(ExportInactive);
    LoadPrograms();
}

void frmAutoExport::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    lstName = new QListWidget(central);
    lstName->setObjectName("lstName");
    lstName->setFont(fixedPitchFont(10));
    lstName->setMinimumWidth(340);
    // Only a selected entry counts: the list makes its first entry current,
    // unselected, when it takes the focus.
    connect(lstName, &QListWidget::itemSelectionChanged, this, [this] {
        const auto selected = lstName->selectedItems();
        if (!selected.isEmpty())
            select(lstName->row(selected.first()));
    });

    auto* naming = new QGroupBox("Naming", central);
    auto* namingLayout = new QVBoxLayout(naming);
    const char* captions[] = {"Inactive", "User Defined", "Winjock"};
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        Option1[size_t(i)] = new QRadioButton(captions[i], naming);
        Option1[size_t(i)]->setObjectName(QString("Option1_%1").arg(i));
        group->addButton(Option1[size_t(i)], i);
        namingLayout->addWidget(Option1[size_t(i)]);
        connect(Option1[size_t(i)], &QRadioButton::clicked, this, [this, i] { chooseMode(i); });
    }

    auto* days = new QGridLayout;
    lblDestination = plainLabel(central, "lblDestination", "Destination");
    days->addWidget(lblDestination, 0, 1);
    for (size_t d = 0; d < 7; ++d) {
        chkDay[d] = new QCheckBox(central);
        chkDay[d]->setObjectName(QString("chkDay_%1").arg(d + 1));
        // Toggled on release of the mouse (or by the space bar), never by the window itself.
        connect(chkDay[d], &QCheckBox::clicked, this, &frmAutoExport::dayToggled);
        txtPath[d] = lineEdit(central, QString("txtPath_%1").arg(d + 1), ExportRecord::PathLength);
        txtPath[d]->setValidator(new DestinationValidator(txtPath[d]));
        txtPath[d]->installEventFilter(this);
        txtPath[d]->setMinimumWidth(240);
        days->addWidget(chkDay[d], int(d) + 1, 0);
        days->addWidget(txtPath[d], int(d) + 1, 1);
    }

    chkFade = new QCheckBox("Fade", central);
    chkFade->setObjectName("chkFade");
    lblLength = plainLabel(central, "lblLength", "Length");
    txtLength = lineEdit(central, "txtLength", ExportRecord::LengthTextLength);
    lblNumber = plainLabel(central, "lblNumber", "Winjock Number");
    txtNumber = lineEdit(central, "txtNumber", 5);
    // The number is stored in 16 bits.
    txtNumber->setValidator(new QIntValidator(0, 32767, txtNumber));

    cmdApply = namedButton(central, "cmdApply", "Apply");
    cmdClose = namedButton(central, "cmdClose", "Close");
    connect(cmdApply, &QPushButton::clicked, this, &frmAutoExport::apply);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    // The naming mode shows and hides these, and LoadPrograms hides the list
    // while it fills it: the rest of the window stays where it is.
    for (QWidget* c : std::initializer_list<QWidget*>{lstName, lblNumber, txtNumber})
        keepPlaceWhenHidden(c);
    for (QLineEdit* box : txtPath)
        keepPlaceWhenHidden(box);

    auto* settings = new QGridLayout;
    settings->addWidget(chkFade, 0, 0);
    settings->addWidget(lblLength, 1, 0);
    settings->addWidget(txtLength, 1, 1);
    settings->addWidget(lblNumber, 2, 0);
    settings->addWidget(txtNumber, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdClose);

    auto* right = new QVBoxLayout;
    right->addWidget(naming);
    right->addLayout(days);
    right->addLayout(settings);
    right->addStretch();
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(central);
    layout->addWidget(lstName, 1);
    layout->addLayout(right);
}

void frmAutoExport::buildMenus() {
    mnuFiles = menuBar()->addMenu("&Files");
    mnuFiles->setObjectName("mnuFiles");
    mnuExit = mnuFiles->addAction("E&xit");
    mnuExit->setObjectName("mnuExit");
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    mnuView = menuBar()->addMenu("View");
    mnuView->setObjectName("mnuView");
    mnuViewNames = mnuView->addAction("Names");
    mnuViewNames->setObjectName("mnuViewNames");
    mnuViewNumber = mnuView->addAction("Number");
    mnuViewNumber->setObjectName("mnuViewNumber");
    connect(mnuViewNames, &QAction::triggered, this, [this] {
        view_ = ExportListView::Names;
        LoadPrograms();
    });
    connect(mnuViewNumber, &QAction::triggered, this, [this] {
        view_ = ExportListView::Number;
        LoadPrograms();
    });
}

void frmAutoExport::LoadPrograms() {
    const QSignalBlocker quiet(lstName);
    lstName->hide();
    lstName->clear();
    for (const ExportProgramEntry& e : ExportProgramList(station_.state.SatListFile, view_)) {
        auto* item = new QListWidgetItem(e.text, lstName);
        item->setData(Qt::UserRole, qlonglong(e.n));
    }
    lstName->show();
    current_ = 0;
}

void frmAutoExport::select(int row) {
    if (row < 0 || !lstName->item(row))
        return;
    current_ = lstName->item(row)->data(Qt::UserRole).toLongLong();
    const ExportRecord rule = ReadExportRecord(station_.state.ExportFile, current_);
    mode_ = rule.ExportMode;
    if (mode_ >= 0 && mode_ < 3) {
        Option1[size_t(mode_)]->setChecked(true);
    } else if (QAbstractButton* checked = Option1[0]->group()->checkedButton()) {
        // A mode this window does not know shows no option.
        Option1[0]->group()->setExclusive(false);
        checked->setChecked(false);
        Option1[0]->group()->setExclusive(true);
    }
    arrange(mode_);
    for (size_t d = 0; d < 7; ++d) {
        chkDay[d]->setChecked(rule.ExportDays[d] == 1);
        txtPath[d]->setText(rule.ExportPaths[d].trimmed());
    }
    chkFade->setChecked(rule.ExportFade == 1);
    txtLength->setText(rule.ExportLength.trimmed());
    txtNumber->setText(QString::number(rule.WinjockNumber));
}

void frmAutoExport::chooseMode(int mode) {
    mode_ = int16_t(mode);
    QString error;
    if (current_ != 0 && !WriteExportMode(station_.state.ExportFile, current_, mode_, &error))
        report(error);
    arrange(mode);
}

void frmAutoExport::arrange(int mode) {
    const bool userDefined = mode == ExportUserDefined;
    const bool winjock = mode == ExportWinjock;
    for (QLineEdit* box : txtPath) {
        box->setVisible(userDefined);
        if (userDefined)
            setPathBox(box, true, false);
    }
    lblNumber->setVisible(winjock);
    txtNumber->setVisible(winjock);
    if (userDefined || winjock) {
        const ExportRecord rule = ReadExportRecord(station_.state.ExportFile, current_);
        for (size_t d = 0; d < 7; ++d)
            chkDay[d]->setChecked(current_ != 0 && rule.ExportDays[d] == 1);
        return;
    }
    for (size_t d = 0; d < 7; ++d) {
        chkDay[d]->setChecked(false);
        txtPath[d]->clear();
    }
    txtLength->clear();
    chkFade->setChecked(false);
}

void frmAutoExport::dayToggled() {
    for (size_t d = 0; d < 7; ++d) {
        QLineEdit* box = txtPath[d];
        const bool ticked = chkDay[d]->isChecked();
        if (mode_ == ExportUserDefined) {
            setPathBox(box, true, false);
            if (!ticked)
                box->clear();
        } else if (mode_ == ExportWinjock) {
            setPathBox(box, false, true);
            box->setText(ticked ? WinjockPathText(current_) : QString());
        } else {
            // An inactive rule has no days.
            setPathBox(box, false, false);
            chkDay[d]->setChecked(false);
            box->clear();
        }
    }
}

void frmAutoExport::setPathBox(QLineEdit* box, bool enabled, bool grey) {
    box->setEnabled(enabled);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, grey ? WinjockGrey : palette().color(QPalette::Base));
    box->setPalette(p);
}

void frmAutoExport::apply() {
    QListWidgetItem* item = lstName->currentItem();
    if (!item || !item->isSelected() || current_ == 0) {
        station_.messages().ShowMessage("Select a Program");
        return;
    }
    ExportForm form;
    form.mode = mode_;
    for (size_t d = 0; d < 7; ++d) {
        form.days[d] = chkDay[d]->isChecked();
        form.paths[d] = txtPath[d]->text();
    }
    form.fade = chkFade->isChecked();
    form.length = txtLength->text();
    form.number = txtNumber->text();
    QString error;
    if (!WriteExportRecord(station_.state.ExportFile, current_, BuildExportRecord(form), &error))
        report(error);
}

void frmAutoExport::report(const QString& failure) {
    station_.messages().ShowMessage(
        QString("The export rule of schedule %1 was not saved: %2").arg(current_).arg(failure));
}

bool frmAutoExport::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const QString text = static_cast<QKeyEvent*>(event)->text();
    // Keys without a printable character (moving, deleting, copy and paste
    // shortcuts) are the box's own business.
    if (text.size() != 1 || !text.at(0).isPrint() || DestinationCharAccepted(text.at(0)))
        return QMainWindow::eventFilter(watched, event);
    station_.messages().ShowMessage(RefusedKeyMessage(text.at(0)));
    return true;
}
