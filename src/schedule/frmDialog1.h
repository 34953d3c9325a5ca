#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "Are You Sure?" before a schedule is deleted; shown without waiting.
class frmDialog1 : public QDialog {
public:
    explicit frmDialog1(const QString& scheduleName, QWidget* parent = nullptr);

    QLabel* lblQuestion;
    QPushButton *OKButton, *CancelButton;
};
