#include "windows/window_messages.h"

#include <QMessageBox>

bool WindowMessages::AskYesNo(const QString& question, const QString& title) {
    return QMessageBox::question(nullptr, title, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}
