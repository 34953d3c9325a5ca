// varnola-ioport: the one small program that holds the right to the machine's
// I/O ports, so the station console never has to run as root. It opens the
// port device once, then serves single-byte reads and writes of the ports in
// its allow-list, over a Unix socket, to members of one group only. Anything
// else is refused, logged on standard error (the journal under systemd) and
// never reaches the device.
#include "ioport/protocol.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* DefaultConfig = "/etc/varnola/ioport.conf";
constexpr size_t MaxClients = 32;

struct Config {
    std::string device = "/dev/port";
    std::string socket = "/run/varnola/ioport.sock";
    std::string group; // empty: the helper's own group
    // The relay card and the parallel port.
    std::vector<std::pair<int, int>> allowed = {{644, 647}, {888, 890}};
};

void say(const std::string& text) {
    std::fprintf(stderr, "varnola-ioport: %s\n", text.c_str());
}

[[noreturn]] void fail(const std::string& text, int status = 1) {
    say(text);
    std::exit(status);
}

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    return b == std::string::npos ? std::string()
                                  : s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

int portNumber(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int n = std::stoi(text);
    return n <= 0xffff ? n : -1;
}

// "644-647, 888-890": numbers and ranges; false on anything else.
bool parsePorts(const std::string& text, std::vector<std::pair<int, int>>& out) {
    out.clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = trim(text.substr(start, comma - start));
        const size_t dash = item.find('-');
        const int low = portNumber(trim(item.substr(0, dash)));
        const int high = dash == std::string::npos ? low : portNumber(trim(item.substr(dash + 1)));
        if (low < 0 || high < low)
            return false;
        out.emplace_back(low, high);
        start = comma + 1;
    }
    return !out.empty();
}

Config readConfig(const std::string& path, bool mustExist) {
    Config c;
    std::ifstream in(path);
    if (!in) {
        if (mustExist)
            fail("cannot read " + path + ": " + std::strerror(errno), 2);
        return c;
    }
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        line = trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t eq = line.find('=');
        const std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        const std::string where = path + " line " + std::to_string(n) + ": ";
        if (eq == std::string::npos || value.empty())
            fail(where + "expected key=value", 2);
        if (key == "device")
            c.device = value;
        else if (key == "socket")
            c.socket = value;
        else if (key == "group")
            c.group = value;
        else if (key != "ports" || !parsePorts(value, c.allowed))
            fail(where + (key == "ports" ? "ports are numbers 0 to 65535 and ranges like 644-647"
                                         : "unknown key " + key),
                 2);
    }
    return c;
}

gid_t groupId(const std::string& name) {
    if (name.empty())
        return getegid();
    if (name.size() < 10 && name.find_first_not_of("0123456789") == std::string::npos)
        return gid_t(std::stoul(name));
    const group* g = getgrnam(name.c_str());
    if (!g)
        fail("no group named " + name, 2);
    return g->gr_gid;
}

struct Client {
    int fd;
    ucred peer;
};

std::string who(const ucred& c) {
    return "pid " + std::to_string(c.pid) + " (uid " + std::to_string(c.uid) + ", gid " +
           std::to_string(c.gid) + ")";
}

// The peer's primary group from SO_PEERCRED, and its supplementary groups
// (where a station's user is usually added) from SO_PEERGROUPS.
bool inGroup(int fd, gid_t group, ucred& peer) {
    socklen_t len = sizeof peer;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &len) != 0)
        return false;
    if (peer.gid == group)
        return true;
    gid_t groups[256];
    len = sizeof groups;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERGROUPS, groups, &len) != 0)
        return false;
    for (size_t i = 0; i < len / sizeof(gid_t); ++i)
        if (groups[i] == group)
            return true;
    return false;
}

void reply(int fd, uint8_t status, uint8_t value) {
    const uint8_t bytes[ioport::ReplySize] = {status, value};
    send(fd, bytes, sizeof bytes, MSG_DONTWAIT | MSG_NOSIGNAL);
}

// Says why, then closes so that nothing the peer already sent is read.
void refusePeer(int fd) {
    reply(fd, ioport::PeerRefused, 0);
    shutdown(fd, SHUT_RDWR);
    uint8_t sink[64];
    while (recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
    close(fd);
}

volatile sig_atomic_t stopping = 0;

class Server {
public:
    Server(Config config, int device, int listener, gid_t group)
        : config_(std::move(config)), device_(device), listener_(listener), group_(group) {}

    void run() {
        std::vector<pollfd> fds;
        while (!stopping) {
            fds.assign(1, pollfd{listener_, POLLIN, 0});
            for (const Client& c : clients_)
                fds.push_back(pollfd{c.fd, POLLIN, 0});
            if (poll(fds.data(), fds.size(), -1) < 0) {
                if (errno == EINTR)
                    continue;
                fail(std::string("poll: ") + std::strerror(errno));
            }
            // Served from the back, so that dropping a client keeps the
            // indexes of those not yet served.
            for (size_t i = fds.size() - 1; i > 0; --i)
                if (fds[i].revents && !serve(clients_[i - 1])) {
                    close(clients_[i - 1].fd);
                    clients_.erase(clients_.begin() + long(i - 1));
                }
            if (fds[0].revents & POLLIN)
                accept();
        }
    }

private:
    bool allowed(int port) const {
        for (const auto& [low, high] : config_.allowed)
            if (port >= low && port <= high)
                return true;
        return false;
    }

    void accept() {
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        ucred peer{};
        if (!inGroup(fd, group_, peer)) {
            say("refused " + who(peer) + ": not in group " + std::to_string(group_));
            refusePeer(fd);
        } else if (clients_.size() >= MaxClients) {
            say("refused " + who(peer) + ": " + std::to_string(MaxClients) + " clients already");
            close(fd);
        } else {
            clients_.push_back({fd, peer});
        }
    }

    // False when the client is gone or is to be dropped.
    bool serve(const Client& c) {
        uint8_t buf[64];
        const ssize_t n = recv(c.fd, buf, sizeof buf, MSG_DONTWAIT | MSG_TRUNC);
        if (n < 0)
            return errno == EAGAIN || errno == EINTR;
        if (n == 0)
            return false;
        const auto request = ioport::decode(buf, size_t(n));
        if (!request) {
            say("refused a malformed request of " + std::to_string(n) + " bytes from " +
                who(c.peer));
            reply(c.fd, ioport::Malformed, 0);
            return true;
        }
        if (!allowed(request->port)) {
            say("refused port " + std::to_string(request->port) + " to " + who(c.peer));
            reply(c.fd, ioport::PortRefused, 0);
            return true;
        }
        uint8_t value = request->value;
        const bool done = request->op == ioport::Read
                              ? pread(device_, &value, 1, request->port) == 1
                              : pwrite(device_, &value, 1, request->port) == 1;
        if (!done)
            say(config_.device + ": port " + std::to_string(request->port) + ": " +
                std::strerror(errno));
        reply(c.fd, done ? ioport::Ok : ioport::DeviceFailed, value);
        return true;
    }

    Config config_;
    int device_, listener_;
    gid_t group_;
    std::vector<Client> clients_;
};

int listenOn(const std::string& path, gid_t group) {
    sockaddr_un addr{};
    if (path.size() >= sizeof addr.sun_path)
        fail("socket path too long: " + path, 2);
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    addr.sun_family = AF_UNIX;
    // A socket left by an earlier run goes; any other file stays.
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode))
            fail(path + " exists and is not a socket");
        unlink(path.c_str());
    }
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // Created owner and group only, never for a moment open to others.
    const mode_t old = umask(0117);
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    umask(old);
    if (!bound || listen(fd, 16) != 0)
        fail(path + ": " + std::strerror(errno));
    if (group != getegid() && chown(path.c_str(), uid_t(-1), group) != 0)
        fail("cannot give " + path + " to group " + std::to_string(group) + ": " +
             std::strerror(errno));
    return fd;
}

} // namespace

int main(int argc, char** argv) {
    std::string configPath = DefaultConfig;
    bool given = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "-c" || a == "--config") && i + 1 < argc) {
            configPath = argv[++i];
            given = true;
        } else {
            const bool help = a == "-h" || a == "--help";
            std::fprintf(
                help ? stdout : stderr,
                "usage: varnola-ioport [--config FILE]\n"
                "Serves the station's I/O ports to the console (see varnola-ioport(8)).\n");
            return help ? 0 : 2;
        }
    }
    const Config config = readConfig(configPath, given);
    const gid_t group = groupId(config.group);
    const int device = open(config.device.c_str(), O_RDWR | O_CLOEXEC);
    if (device < 0)
        fail("cannot open " + config.device + ": " + std::strerror(errno));

    struct sigaction stop {};
    stop.sa_handler = [](int) { stopping = 1; };
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    const int listener = listenOn(config.socket, group);
    std::string ports;
    for (const auto& [low, high] : config.allowed)
        ports += (ports.empty() ? "" : ",") + std::to_string(low) +
                 (high != low ? "-" + std::to_string(high) : "");
    say("serving ports " + ports + " of " + config.device + " on " + config.socket + " to group " +
        std::to_string(group));
    Server(config, device, listener, group).run();
    unlink(config.socket.c_str());
    return 0;
}
