#pragma once

#include "station/source_codes.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class Station;

// The list of programme source codes in Source.dat: add (upper-cased) and
// delete; every change is saved at once.
class frmProgramSourceCodes : public QWidget {
public:
    explicit frmProgramSourceCodes(Station& station, QWidget* parent = nullptr);

    QListWidget* List1;
    QLineEdit* text1;
    QPushButton *cmdNew, *cmdApply, *cmdDelete, *cmdClose;

private:
    void add();
    void remove();
    void render(int selected);
    void report(const QString& failure);

    Station& station_;
    SourceCodeList codes_;
};
