#pragma once

#include "station/messages.h"
#include "windows/frmError.h"

// Messages for the running program: the error window and real message boxes.
class WindowMessages : public Messages {
public:
    void ShowMessage(const QString& text) override { errorWindow_.showMessage(text); }
    bool AskYesNo(const QString& question, const QString& title) override;

    frmError& errorWindow() { return errorWindow_; }

private:
    frmError errorWindow_;
};
