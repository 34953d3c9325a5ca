#pragma once

#include "station/messages.h"

#include <QStringList>
#include <deque>

// Records what the station told the operator and answers questions from a
// preset queue (No when nothing is queued).
class FakeMessages : public Messages {
public:
    void ShowMessage(const QString& text) override { shown << text; }
    bool AskYesNo(const QString& question, const QString& title) override {
        asked << question + "|" + title;
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }

    QStringList shown;
    QStringList asked;
    std::deque<bool> answers;
};
