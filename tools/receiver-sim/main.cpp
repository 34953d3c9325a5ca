// A satellite receiver on a pseudo-terminal. It speaks the receiver's
// command language well enough for the station to run against it, and can
// misbehave on request (never answer, answer late, drop the prompt, babble)
// so that the station's handling of a faulty receiver can be tried out.
#include "command_reader.h"
#include "pty_line.h"
#include "receiver.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const char* const Usage = R"(Usage: receiver-sim [options]

Simulates the station's satellite receiver on a pseudo-terminal. Prints the
terminal's device path as the first line on standard output, then answers
commands until SIGTERM or SIGINT.

Options:
  --link PATH       also make PATH a symbolic link to the device (replaces an
                    existing link; removed on exit)
  --log FILE        append every command received to FILE, one a line
  --ebno VALUE      Eb/No shown in the carrier status (default 9.8)
  --slow MS         wait MS milliseconds before answering each command
  --silent          never answer
  --no-prompt       leave the prompt ">" off every answer
  --babble          after the first command, send text without end and never
                    a prompt
  --short-carrier   make the detailed carrier answer (RT C) shorter than 700
                    characters
  --help            show this text

Example, for a demo:
  receiver-sim --link /tmp/receiver --log /tmp/receiver.log
and set COM1=/tmp/receiver under [serial] in the station's configuration.
)";

struct Options {
    std::string link;
    std::string log;
    int slowMs = 0;
    bool silent = false;
    bool noPrompt = false;
    bool babble = false;
    Receiver::Options receiver;
};

// 0: go on; otherwise the exit code.
int parseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= argc)
                return false;
            value = argv[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return -1;
        } else if (arg == "--silent") {
            o->silent = true;
        } else if (arg == "--no-prompt") {
            o->noPrompt = true;
        } else if (arg == "--babble") {
            o->babble = true;
        } else if (arg == "--short-carrier") {
            o->receiver.shortCarrier = true;
        } else if (arg == "--link" && takeValue() && !value.empty()) {
            o->link = value;
        } else if (arg == "--log" && takeValue() && !value.empty()) {
            o->log = value;
        } else if (arg == "--ebno" && takeValue() && !value.empty() &&
                   value.find_first_of(">\r\n") == std::string::npos) {
            o->receiver.ebNo = value;
        } else if (arg == "--slow" && takeValue()) {
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), o->slowMs);
            if (ec != std::errc() || end != value.data() + value.size() || o->slowMs < 0) {
                std::fprintf(stderr, "receiver-sim: --slow wants milliseconds, not \"%s\"\n",
                             value.c_str());
                return 2;
            }
        } else {
            std::fprintf(stderr, "receiver-sim: bad option \"%s\"\n\n%s", argv[i], Usage);
            return 2;
        }
    }
    return 0;
}

// Signals only wake the loop; the loop does the cleaning up.
int wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
    const int saved = errno;
    const char c = 0;
    [[maybe_unused]] const ssize_t n = ::write(wakePipe[1], &c, 1);
    errno = saved;
}

bool installSignals() {
    if (::pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        if (::sigaction(sig, &sa, nullptr) != 0)
            return false;
    }
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

// Replaces an older link in one step, so a station that opens the path at the
// wrong moment finds either the old device or ours, never nothing.
bool makeLink(const std::string& link, const std::string& target) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        std::fprintf(stderr, "receiver-sim: %s exists and is not a symbolic link\n", link.c_str());
        return false;
    }
    const std::string temporary = link + ".receiver-sim." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "receiver-sim: cannot link %s: %s\n", link.c_str(),
                     std::strerror(errno));
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// Leaves the link alone when another simulator has taken it over since.
void removeLink(const std::string& link, const std::string& target) {
    char buf[4096];
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    if (n >= 0 && std::string(buf, std::size_t(n)) == target)
        ::unlink(link.c_str());
}

class CommandLog {
public:
    ~CommandLog() {
        if (file_)
            std::fclose(file_);
    }
    bool open(const std::string& path) {
        file_ = std::fopen(path.c_str(), "a");
        return file_ != nullptr;
    }
    // Flushed at once: a test reads the file while we run.
    void append(const std::string& command) {
        if (!file_)
            return;
        std::fwrite(command.data(), 1, command.size(), file_);
        std::fputc('\n', file_);
        std::fflush(file_);
    }

private:
    std::FILE* file_ = nullptr;
};

// Endless text without a prompt, made a line at a time so that a reader who
// stops reading costs us nothing but a blocked write.
std::string babbleLine(unsigned long n) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%08lu SYNC LOST  PID 0x%04lX  CC %02lu  RESYNC PENDING\r\n", n,
                  (n * 37) % 0x2000, n % 16);
    return buf;
}

struct PendingCommand {
    std::string text;
    Clock::time_point due;
};

class Simulator {
public:
    Simulator(const Options& options, PtyLine& line, CommandLog& log)
        : options_(options), line_(line), log_(log), receiver_(options.receiver) {}

    void run() {
        while (!stopRequested) {
            const short revents = waitForLine();
            if (stopRequested)
                break;
            bool hungUp = (revents & POLLHUP) != 0;
            if (revents & (POLLIN | POLLHUP | POLLERR))
                hungUp = readCommands() || hungUp;
            if (hungUp)
                stationLeft();
            else
                stationListening_ = true;
            answerDueCommands();
            if (stationListening_ && !writeOutput())
                stationLeft();
        }
    }

private:
    void stationLeft() {
        if (!stationListening_)
            return;
        stationListening_ = false;
        output_.clear();
        line_.discardUnread();
    }

    // The master's events; none when only the clock or a signal woke us.
    short waitForLine() {
        int timeoutMs = -1;
        if (!pending_.empty()) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(pending_.front().due - Clock::now());
            timeoutMs = int(std::max<long long>(0, left.count()));
        }
        pollfd fds[2] = {{wakePipe[0], POLLIN, 0}, {line_.fd(), POLLIN, 0}};
        if (!stationListening_) {
            // With no one on the slave the master reports a hang-up at once
            // and for as long as that lasts: look again every few
            // milliseconds instead of spinning on it.
            const int nap = timeoutMs < 0 ? ReopenCheckMs : std::min(timeoutMs, ReopenCheckMs);
            ::poll(fds, 1, nap);
            if (stopRequested)
                return 0;
            ::poll(&fds[1], 1, 0);
            return fds[1].revents;
        }
        if (!output_.empty() || (babbling_ && !options_.silent))
            fds[1].events |= POLLOUT;
        if (::poll(fds, 2, timeoutMs) <= 0)
            return 0;
        return fds[1].revents;
    }

    // True when the station has closed its end.
    bool readCommands() {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(line_.fd(), buf, sizeof buf);
            if (n > 0) {
                for (std::string& c : reader_.feed(buf, std::size_t(n)))
                    accept(std::move(c));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return false;
            return true; // EIO: the slave side is closed
        }
    }

    void accept(std::string command) {
        log_.append(command);
        if (pending_.size() >= MaxPending)
            return; // a real receiver's input buffer overflows too
        Clock::time_point due = Clock::now();
        if (!pending_.empty())
            due = std::max(due, pending_.back().due);
        due += std::chrono::milliseconds(options_.slowMs);
        pending_.push_back({std::move(command), due});
    }

    void answerDueCommands() {
        while (!pending_.empty() && pending_.front().due <= Clock::now()) {
            // Answered in order even when no one listens: the state changes
            // count, only the text is lost.
            std::string text = receiver_.answer(pending_.front().text, line_.settings());
            pending_.pop_front();
            if (options_.babble) {
                babbling_ = true;
                continue;
            }
            if (options_.silent || !stationListening_ || output_.size() > MaxOutput)
                continue;
            if (options_.noPrompt && !text.empty() && text.back() == '>')
                text.pop_back();
            output_ += text;
        }
    }

    // False when the station has closed its end.
    bool writeOutput() {
        for (;;) {
            if (output_.empty() && babbling_ && !options_.silent)
                output_ = babbleLine(++babbleCount_);
            if (output_.empty())
                return true;
            const ssize_t n = ::write(line_.fd(), output_.data(), output_.size());
            if (n > 0) {
                output_.erase(0, std::size_t(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return true;
            output_.clear();
            return false;
        }
    }

    static constexpr int ReopenCheckMs = 10;
    // Bounds what a flood of commands can queue up while answers are slow.
    static constexpr std::size_t MaxPending = 256;
    // A peer that sends commands and never reads cannot make us hoard answers.
    static constexpr std::size_t MaxOutput = 64 * 1024;

    const Options& options_;
    PtyLine& line_;
    CommandLog& log_;
    Receiver receiver_;
    CommandReader reader_;
    std::deque<PendingCommand> pending_;
    std::string output_;
    bool stationListening_ = false;
    bool babbling_ = false;
    unsigned long babbleCount_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int code = parseOptions(argc, argv, &options))
        return code < 0 ? 0 : code;

    CommandLog log;
    if (!options.log.empty() && !log.open(options.log)) {
        std::fprintf(stderr, "receiver-sim: cannot open %s: %s\n", options.log.c_str(),
                     std::strerror(errno));
        return 1;
    }
    if (!installSignals()) {
        std::fprintf(stderr, "receiver-sim: cannot set up signals: %s\n", std::strerror(errno));
        return 1;
    }
    PtyLine line;
    std::string error;
    if (!line.open(&error)) {
        std::fprintf(stderr, "receiver-sim: %s\n", error.c_str());
        return 1;
    }
    if (!options.link.empty() && !makeLink(options.link, line.devicePath()))
        return 1;

    // The path goes out only once the line is raw and the link exists, so
    // whoever reads it can open the port at once.
    std::printf("%s\n", line.devicePath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "receiver-sim: answering on %s%s%s\n", line.devicePath().c_str(),
                 options.link.empty() ? "" : " via ", options.link.c_str());

    Simulator(options, line, log).run();

    if (!options.link.empty())
        removeLink(options.link, line.devicePath());
    return 0;
}
