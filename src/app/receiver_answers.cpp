#include "app/receiver_answers.h"

#include "receiver.h"

struct ReceiverAnswers::Model {
    Receiver receiver{Receiver::Options{}};
};

ReceiverAnswers::ReceiverAnswers() : model_(std::make_unique<Model>()) {}

ReceiverAnswers::~ReceiverAnswers() = default;

QByteArray ReceiverAnswers::answer(const QByteArray& command) {
    return QByteArray::fromStdString(model_->receiver.answer(
        std::string_view(command.constData(), size_t(command.size())), {19200, 1}));
}
