#pragma once

// What the console and varnola-ioport say to each other over the helper's
// socket. Plain C++ with no Qt: the privileged helper links nothing it does
// not need. The socket is SOCK_SEQPACKET, so a message arrives whole or not
// at all, and a request of any other size is refused rather than guessed at.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace ioport {

// Request: operation, port number (high byte first), value (0 for a read).
constexpr size_t RequestSize = 4;
// Reply: status, value (the byte read, or the byte written).
constexpr size_t ReplySize = 2;

enum Op : uint8_t { Read = 'R', Write = 'W' };

enum Status : uint8_t {
    Ok = 0,
    PortRefused = 1,  // not in the helper's allow-list
    Malformed = 2,    // wrong size or unknown operation
    PeerRefused = 3,  // the caller is not in the helper's group
    DeviceFailed = 4, // the port device did not take the access
};

struct Request {
    Op op;
    uint16_t port;
    uint8_t value;
};

inline std::array<uint8_t, RequestSize> encode(const Request& r) {
    return {r.op, uint8_t(r.port >> 8), uint8_t(r.port & 0xff), r.value};
}

inline std::optional<Request> decode(const uint8_t* data, size_t size) {
    if (size != RequestSize || (data[0] != Read && data[0] != Write))
        return std::nullopt;
    return Request{Op(data[0]), uint16_t(data[1] << 8 | data[2]), data[3]};
}

inline const char* describe(uint8_t status) {
    switch (status) {
    case Ok:
        return "done";
    case PortRefused:
        return "the port is not in its allow-list";
    case Malformed:
        return "the request was malformed";
    case PeerRefused:
        return "this user is not in its group";
    case DeviceFailed:
        return "the port device failed";
    }
    return "unknown status";
}

} // namespace ioport
