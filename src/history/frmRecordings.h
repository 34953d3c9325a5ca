#pragma once

#include "history/take_list.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class Station;
class TakeHistory;

// History -> Recordings: the takes of the last days, newest first, failures
// marked by colour and by their outcome word, filtered by outcome and by
// programme. A double-click hands a take whose recording still exists to
// the audition.
class frmRecordings : public QDialog {
    Q_OBJECT
public:
    using OpenTake = std::function<void(const TakeRow& take)>;
    frmRecordings(Station& station, const TakeHistory& history, OpenTake openTake,
                  QWidget* parent = nullptr);

    QComboBox* cboOutcome;
    QLineEdit* txtProgramme;
    QSpinBox* spnDays;
    QTableWidget* grdTakes;
    QLabel* lblCount;
    QPushButton *cmdRefresh, *cmdClose;

    // Reads the history again.
    void refresh();

private:
    void showRows();
    void open(int row);

    Station& station_;
    const TakeHistory& history_;
    OpenTake openTake_;
    QList<TakeRow> rows_, shown_;
};
