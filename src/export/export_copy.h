#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <thread>

// What one copy into the playout store does.
struct CopyOrder {
    QString source;      // host path of the recording
    QString destination; // host path the wave file is put at
    qint64 lengthMs = 0; // from the start; a shorter recording goes out whole
    bool fade = false;   // ramp the last five seconds down to silence
    // Written beside the wave file once it is in place; empty for none.
    QString companion;
    QByteArray companionBytes;
};

struct CopyResult {
    bool ok = false;
    QString error;
    qint64 frames = 0;
};

// One copy of a recording, on threads of its own so that the clock tick
// never waits for the disk: reader, fade and writer under a temporary name in
// the destination folder, checksumming what it writes, while a second thread
// reads the copy back behind it and checksums what is stored; when the frames
// in the header and the checksums agree the copy is renamed into place. Until
// then the previous file stays untouched, and a copy that fails or is stopped
// leaves no file behind.
class ExportCopy {
public:
    static constexpr int FadeMs = 5000;

    // finished, when given, is called on the copy's thread once the result is
    // ready.
    explicit ExportCopy(CopyOrder order, std::function<void()> finished = {});
    // Stops a copy still running and waits for its threads; nothing is put
    // in place.
    ~ExportCopy();
    ExportCopy(const ExportCopy&) = delete;
    ExportCopy& operator=(const ExportCopy&) = delete;

    // Frames written so far, and the frames the copy will write (0 until the
    // recording has been opened).
    qint64 position() const { return position_.load(std::memory_order_relaxed); }
    qint64 total() const { return total_.load(std::memory_order_relaxed); }

    bool finished() const;
    // Blocks up to ms for the copy to end; true when it has.
    bool waitFor(int ms) const;
    // Once finished: how it went.
    CopyResult result();

private:
    CopyResult run(std::stop_token stop);

    const CopyOrder order_;
    std::atomic<qint64> position_{0};
    std::atomic<qint64> total_{0};
    std::future<CopyResult> result_;
    std::jthread thread_; // last: joined before the rest goes
};

// Fades the last fadeFrames of a copy of totalFrames frames linearly down to
// silence (the final frame is 0); chunk holds frames from firstFrame on,
// interleaved. Frames before the fade are left exactly as they were.
void FadeChunk(int16_t* chunk, qint64 frames, int channels, qint64 firstFrame, qint64 totalFrames,
               qint64 fadeFrames);

// A checksum of audio, fed in order; two sums agree when they were fed the
// same bytes in the same chunks.
class AudioChecksum {
public:
    void add(const void* data, size_t bytes);
    uint64_t value() const {
        uint64_t v = tail_;
        for (size_t lane = 0; lane < Lanes; ++lane)
            v ^= h_[lane] * (2 * lane + 1);
        return v;
    }

private:
    static constexpr size_t Lanes = 8;
    uint64_t h_[Lanes] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint64_t tail_ = 0;
};
