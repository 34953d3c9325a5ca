#include "command_reader.h"

std::vector<std::string> CommandReader::feed(const char* data, std::size_t size) {
    std::vector<std::string> commands;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        switch (c) {
        case '\r':
            commands.push_back(std::move(partial_));
            partial_.clear();
            break;
        case '\n':
            // A terminal program typing at us sends CR LF; the LF is not part
            // of the next command.
            break;
        case '\b':
        case '\x7f':
            // So that someone typing at a terminal can correct a typo.
            if (!partial_.empty())
                partial_.pop_back();
            break;
        default:
            if (partial_.size() < MaxCommand)
                partial_ += c;
            break;
        }
    }
    return commands;
}
