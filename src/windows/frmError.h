#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The shared error window: shown without blocking whoever reports, and the
// last message wins.
class frmError : public QWidget {
public:
    explicit frmError(QWidget* parent = nullptr);

    void showMessage(const QString& text);

    QLabel* lblMessage;
    QPushButton* OKButton;
};
