#pragma once

#include "receiver.h"

#include <string>

// The receiver's end of the serial line: the master side of a pseudo-terminal
// whose slave device the station opens as its COM port.
class PtyLine {
public:
    PtyLine() = default;
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    bool open(std::string* error);
    int fd() const { return master_; }
    const std::string& devicePath() const { return path_; }

    // What the station last set the line to.
    LineSettings settings() const;

    // Throws away what we sent that no one read. On a real line, bytes sent
    // while the station has the port closed are gone; a pseudo-terminal keeps
    // them for the next opener, who would take them for the next answer.
    void discardUnread() const;

private:
    int master_ = -1;
    std::string path_;
};
