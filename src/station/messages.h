#pragma once

#include <QString>

// How core code speaks to the operator without popping dialogs itself: the
// window layer shows messages in the error window and asks questions in a
// message box; tests preset the answers.
class Messages {
public:
    virtual ~Messages() = default;
    // Non-blocking: the error window shows text; the last message wins.
    virtual void ShowMessage(const QString& text) = 0;
    // Modal Yes/No question; true for Yes.
    virtual bool AskYesNo(const QString& question, const QString& title) = 0;
};
