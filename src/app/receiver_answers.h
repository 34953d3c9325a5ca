#pragma once

#include <QByteArray>
#include <memory>

// The receiver's answers, from the simulator's model of it (kept in a file
// of its own: both name a LineSettings).
class ReceiverAnswers {
public:
    ReceiverAnswers();
    ~ReceiverAnswers();
    // The whole answer to one command given without its carriage return.
    QByteArray answer(const QByteArray& command);

private:
    struct Model;
    std::unique_ptr<Model> model_;
};
