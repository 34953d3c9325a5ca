#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Cuts what arrives on the line into commands. The station ends each command
// with one carriage return but the line hands over bytes in whatever pieces
// it likes, so a command may span reads and one read may hold several.
class CommandReader {
public:
    // Longer input is cut here: a peer that never sends a carriage return
    // must not grow our memory.
    static constexpr std::size_t MaxCommand = 256;

    std::vector<std::string> feed(const char* data, std::size_t size);

private:
    std::string partial_;
};
