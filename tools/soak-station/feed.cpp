// An input FIFO filled the way a sound card fills its buffer: in real time,
// from the feeder's start, whether anyone listens or not. Frame i carries
// the 16-bit value i mod 65536 on both sides (so a one-sided take reads the
// same), which is loud enough for every buffer to start a take and lets the
// report find any stretch lost inside a take.
//
// With no reader (between takes) the frames go by unwritten. With one, the
// feeder stays half a second ahead of the clock so that its own scheduling
// never starves the console. When the pipe is full and frames fall due that
// have no room, the console has fallen a pipe's worth behind: those frames
// are dropped and counted, as a card's overrun would lose them. Nothing
// here ever blocks: the open and the writes are non-blocking.
#include "soak.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto Tick = std::chrono::milliseconds(5);
constexpr qint64 PrimeFrames = AudioSampleRate / 2;
constexpr int ChunkFrames = 4096;
constexpr int PipeBytes = 1 << 20;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

struct FeedStats {
    qint64 connections = 0;
    qint64 bytesWritten = 0;
    qint64 framesDropped = 0;
    qint64 overruns = 0;
    qint64 longestPauseMs = 0;
    int pipeBytes = 0;

    void save(const QString& path) const {
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write(QString("connections %1\nframes_written %2\nframes_dropped %3\noverruns %4\n"
                        "longest_pause_ms %5\npipe_bytes %6\n")
                    .arg(connections)
                    .arg(bytesWritten / 4)
                    .arg(framesDropped)
                    .arg(overruns)
                    .arg(longestPauseMs)
                    .arg(pipeBytes)
                    .toLatin1());
        f.commit();
    }
};

void appendFrames(QByteArray* out, qint64 from, qint64 to) {
    const qsizetype at = out->size();
    out->resize(at + (to - from) * 4);
    auto* p = reinterpret_cast<uchar*>(out->data() + at);
    for (qint64 i = from; i < to; ++i, p += 4) {
        const auto v = uint16_t(i);
        p[0] = p[2] = uchar(v & 0xFF);
        p[1] = p[3] = uchar(v >> 8);
    }
}

} // namespace

int feed(const QStringList& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: soak-station feed FIFO STATS-FILE\n");
        return 2;
    }
    const QByteArray fifo = args[0].toLocal8Bit();
    const QString statsPath = args[1];
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTERM, requestStop);
    std::signal(SIGINT, requestStop);

    FeedStats stats;
    int fd = -1;
    qint64 next = 0;   // the next frame of the stream to go into the pipe
    QByteArray unsent; // made but not yet taken by the pipe; may start mid-frame
    qsizetype sentOfUnsent = 0;
    qint64 pipeStreamBytes = 0; // into the pipe since this reader came
    const Clock::time_point started = Clock::now();
    Clock::time_point lastWake = started, lastSaved = started;

    while (!stopRequested) {
        const Clock::time_point now = Clock::now();
        const auto pauseMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - lastWake - Tick).count();
        stats.longestPauseMs = std::max<qint64>(stats.longestPauseMs, pauseMs);
        lastWake = now;
        const qint64 due =
            std::chrono::duration_cast<std::chrono::microseconds>(now - started).count() *
            AudioSampleRate / 1000000;

        if (fd < 0) {
            fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ++stats.connections;
                ::fcntl(fd, F_SETPIPE_SZ, PipeBytes);
                stats.pipeBytes = ::fcntl(fd, F_GETPIPE_SZ);
            }
            next = due;
            unsent.clear();
            sentOfUnsent = 0;
            pipeStreamBytes = 0;
        }
        while (fd >= 0) {
            if (sentOfUnsent == unsent.size()) {
                unsent.clear();
                sentOfUnsent = 0;
                const qint64 to = std::min(next + ChunkFrames, due + PrimeFrames);
                if (to <= next)
                    break;
                appendFrames(&unsent, next, to);
                next = to;
            }
            const ssize_t n = ::write(fd, unsent.constData() + sentOfUnsent,
                                      size_t(unsent.size() - sentOfUnsent));
            if (n > 0) {
                sentOfUnsent += n;
                pipeStreamBytes += n;
                stats.bytesWritten += n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                // The first frame the pipe has not taken yet, and whether it
                // is overdue: the reader has left a whole pipe unread.
                const qint64 firstUnsent = next - (unsent.size() - sentOfUnsent) / 4;
                if (firstUnsent < due) {
                    ++stats.overruns;
                    stats.framesDropped += due - firstUnsent;
                    // A frame begun in the pipe is finished, or the reader
                    // would lose its footing in the stream.
                    const qsizetype partial = (4 - pipeStreamBytes % 4) % 4;
                    unsent = unsent.mid(sentOfUnsent, partial);
                    sentOfUnsent = 0;
                    next = due;
                }
                break;
            }
            // The reader has gone (its take has ended).
            ::close(fd);
            fd = -1;
        }

        if (now - lastSaved >= std::chrono::seconds(1)) {
            stats.save(statsPath);
            lastSaved = now;
        }
        std::this_thread::sleep_for(Tick);
    }
    if (fd >= 0)
        ::close(fd);
    stats.save(statsPath);
    return 0;
}
