#pragma once

#include <QDialog>

class QChartView;
class QDate;
class QListWidget;
class QPushButton;
class QRadioButton;
class Station;
class TakeHistory;

// Shows one day of the activity ("AL"), error ("ER") or Eb/No ("EB") log.
// Beside the Eb/No log's lines, a chart of its readings with the day's takes
// shaded, so a fade in the feed can be set against what was being recorded.
class frmActivityLog : public QDialog {
    Q_OBJECT
public:
    // Without a history the chart shows the readings alone.
    frmActivityLog(Station& station, const QString& kind, const TakeHistory* history = nullptr,
                   QWidget* parent = nullptr);

    QListWidget* lstDate;
    QRadioButton *Option1, *Option2;
    QPushButton* cmdOk;
    QListWidget* lstActivityLog;
    QPushButton* cmdClose;
    QChartView* chtEbNo; // shown for the Eb/No log only

    // Reloads only for another kind than the one shown: a History entry
    // chosen while the viewer is open.
    void showKind(const QString& kind);

private:
    void load();
    void showDay();
    void chartEbNo(const QDate& day);

    Station& station_;
    QString kind_;
    const TakeHistory* history_;
};
