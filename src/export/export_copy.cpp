#include "export/export_copy.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sndfile.h>
#include <vector>

namespace {

// The check reads the stored little-endian samples straight into memory.
static_assert(std::endian::native == std::endian::little);

// Large enough that the copy is disk-bound, small enough that a stop is
// noticed at once.
constexpr qint64 ChunkBytes = 1 << 18;

struct SndFile {
    SNDFILE* f = nullptr;
    ~SndFile() {
        if (f)
            sf_close(f);
    }
    // Closes and reports the library's complaint about the file, if any.
    bool close() {
        const int rc = f ? sf_close(f) : 0;
        f = nullptr;
        return rc == 0;
    }
};

QString sndError(SNDFILE* f) {
    return QString::fromLocal8Bit(sf_strerror(f));
}

// How far the writer has got, for the check that follows it.
class Progress {
public:
    void advance(qint64 bytes) {
        {
            const std::lock_guard lock(mutex_);
            written_ = bytes;
        }
        changed_.notify_all();
    }
    // Blocks until the writer has written bytes of audio; false when stopped first.
    bool reached(qint64 bytes, std::stop_token stop) {
        std::unique_lock lock(mutex_);
        return changed_.wait(lock, stop, [&] { return written_ >= bytes; });
    }

private:
    std::mutex mutex_;
    std::condition_variable_any changed_;
    qint64 written_ = 0;
};

struct Check {
    QString error; // empty when the copy was read back through
    uint64_t stored = 0;
};

// Reads the copy back as stored, chunk by chunk behind the writer, and sums
// it in the writer's chunks, so that the two sums agree when the file holds
// what was written.
Check checkBehind(const QString& copyPath, qint64 dataAt, qint64 bytes, qint64 chunk,
                  Progress& progress, std::stop_token stop) {
    QFile copy(copyPath);
    if (!copy.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !copy.seek(dataAt))
        return {"the copy cannot be read back: " + copy.errorString()};
    std::vector<char> stored(static_cast<size_t>(chunk));
    AudioChecksum sum;
    for (qint64 done = 0; done < bytes;) {
        const qint64 want = std::min(chunk, bytes - done);
        if (!progress.reached(done + want, stop))
            return {"stopped before it was complete"};
        if (copy.read(stored.data(), want) != want)
            return {QString("the copy reads back short at byte %1").arg(dataAt + done)};
        sum.add(stored.data(), size_t(want));
        done += want;
    }
    return {QString(), sum.value()};
}

// Frames a player will find in a wave file, by its header; -1 when unreadable.
qint64 headerFrames(const QString& path, int channels) {
    SF_INFO info{};
    SndFile f{sf_open(path.toLocal8Bit().constData(), SFM_READ, &info)};
    return f.f && info.channels == channels ? qint64(info.frames) : -1;
}

// Puts a finished temporary file at its destination in one step, replacing
// what was there; readable by the playout side like any file it is given.
bool putInPlace(QTemporaryFile& temp, const QString& destination, QString* error) {
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(temp.fileName()).constData(),
                            QFile::encodeName(destination).constData(), ec);
    if (ec) {
        *error = QString("cannot rename %1 to %2: %3")
                     .arg(temp.fileName(), destination, QString::fromStdString(ec.message()));
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

QString tempTemplate(const QString& destination) {
    const QFileInfo d(destination);
    return d.absolutePath() + "/." + d.fileName() + ".XXXXXX.part";
}

bool writeCompanion(const QString& path, const QByteArray& bytes, QString* error) {
    QTemporaryFile temp(tempTemplate(path));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush()) {
        *error = QString("cannot write %1: %2").arg(path, temp.errorString());
        return false;
    }
    return putInPlace(temp, path, error);
}

} // namespace

void FadeChunk(int16_t* chunk, qint64 frames, int channels, qint64 firstFrame, qint64 totalFrames,
               qint64 fadeFrames) {
    const qint64 fadeFrom = totalFrames - fadeFrames;
    const qint64 from = std::max<qint64>(fadeFrom, firstFrame);
    const double steps = double(std::max<qint64>(1, fadeFrames - 1));
    for (qint64 f = from; f < firstFrame + frames; ++f) {
        const double gain = double(totalFrames - 1 - f) / steps;
        int16_t* frame = chunk + (f - firstFrame) * channels;
        for (int c = 0; c < channels; ++c)
            frame[c] = int16_t(std::nearbyint(frame[c] * gain));
    }
}

void AudioChecksum::add(const void* data, size_t bytes) {
    // Independent lanes let the processor overlap the multiplications, so
    // the check keeps up with the disk.
    constexpr uint64_t K = 0x9E3779B97F4A7C15ULL;
    const auto* p = static_cast<const unsigned char*>(data);
    size_t i = 0;
    for (; i + sizeof h_ <= bytes; i += sizeof h_) {
        uint64_t w[Lanes];
        std::memcpy(w, p + i, sizeof w);
        for (size_t lane = 0; lane < Lanes; ++lane)
            h_[lane] = std::rotl(h_[lane] ^ w[lane], 29) * K;
    }
    for (; i < bytes; ++i)
        tail_ = (tail_ ^ p[i]) * 0x100000001B3ULL;
}

ExportCopy::ExportCopy(CopyOrder order, std::function<void()> finished) : order_(std::move(order)) {
    std::promise<CopyResult> promise;
    result_ = promise.get_future();
    thread_ = std::jthread([this, promise = std::move(promise),
                            finished = std::move(finished)](std::stop_token stop) mutable {
        try {
            promise.set_value(run(stop));
        } catch (const std::exception& e) {
            promise.set_value({false, QString("the copy failed: %1").arg(e.what()), 0});
        }
        if (finished)
            finished();
    });
}

ExportCopy::~ExportCopy() = default;

bool ExportCopy::finished() const {
    return waitFor(0);
}

bool ExportCopy::waitFor(int ms) const {
    return result_.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
}

CopyResult ExportCopy::result() {
    return result_.valid() ? result_.get() : CopyResult{false, "no result", 0};
}

CopyResult ExportCopy::run(std::stop_token stop) {
    const auto failed = [](const QString& why) { return CopyResult{false, why, 0}; };

    SF_INFO info{};
    SndFile in{sf_open(order_.source.toLocal8Bit().constData(), SFM_READ, &info)};
    if (!in.f)
        return failed(
            QString("cannot open the recording %1: %2").arg(order_.source, sndError(nullptr)));
    const int channels = info.channels;
    const qint64 frames =
        std::clamp<qint64>(order_.lengthMs * info.samplerate / 1000, 0, info.frames);
    const qint64 fadeFrames =
        order_.fade ? std::min<qint64>(frames, qint64(FadeMs) * info.samplerate / 1000) : 0;
    total_.store(frames, std::memory_order_relaxed);

    QTemporaryFile temp(tempTemplate(order_.destination));
    if (!temp.open())
        return failed(QString("cannot create a file in %1: %2")
                          .arg(QFileInfo(order_.destination).absolutePath(), temp.errorString()));
    SF_INFO outInfo{};
    outInfo.samplerate = info.samplerate;
    outInfo.channels = channels;
    outInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SndFile out{sf_open_fd(temp.handle(), SFM_WRITE, &outInfo, SF_FALSE)};
    if (!out.f)
        return failed(QString("cannot write %1: %2").arg(temp.fileName(), sndError(nullptr)));
    // The header is written on opening; the audio follows it.
    const qint64 dataAt = temp.size();
    const qint64 bytesPerFrame = channels * qint64(sizeof(int16_t));
    // Reserving the space up front makes the writes cheaper and a full disk
    // known before anything is written; a file system that cannot reserve
    // simply goes without.
    if (::fallocate(temp.handle(), FALLOC_FL_KEEP_SIZE, 0,
                    off_t(dataAt + frames * bytesPerFrame)) != 0 &&
        errno == ENOSPC)
        return failed(QString("there is no room for %1 frames in %2")
                          .arg(frames)
                          .arg(QFileInfo(order_.destination).absolutePath()));

    const qint64 chunkFrames = ChunkBytes / bytesPerFrame;
    Progress progress;
    std::packaged_task<Check(std::stop_token)> check(
        [&, path = temp.fileName()](std::stop_token checkStop) {
            return checkBehind(path, dataAt, frames * bytesPerFrame, chunkFrames * bytesPerFrame,
                               progress, checkStop);
        });
    std::future<Check> checked = check.get_future();
    std::jthread checker(std::move(check)); // stopped and joined on any early return

    std::vector<int16_t> buffer(size_t(chunkFrames * channels));
    AudioChecksum written;
    for (qint64 done = 0; done < frames;) {
        if (stop.stop_requested())
            return failed("stopped before it was complete");
        const qint64 want = std::min(chunkFrames, frames - done);
        const sf_count_t got = sf_readf_short(in.f, buffer.data(), want);
        if (got != want)
            return failed(QString("the recording %1 ended early at frame %2: %3")
                              .arg(order_.source)
                              .arg(done + std::max<sf_count_t>(got, 0))
                              .arg(sndError(in.f)));
        if (fadeFrames > 0)
            FadeChunk(buffer.data(), got, channels, done, frames, fadeFrames);
        if (sf_writef_short(out.f, buffer.data(), got) != got)
            return failed(QString("writing %1 failed: %2").arg(temp.fileName(), sndError(out.f)));
        written.add(buffer.data(), size_t(got * bytesPerFrame));
        done += got;
        position_.store(done, std::memory_order_relaxed);
        progress.advance(done * bytesPerFrame);
    }
    if (!out.close())
        return failed(QString("finishing %1 failed").arg(temp.fileName()));

    const Check c = checked.get();
    if (!c.error.isEmpty())
        return failed(c.error);
    const qint64 inHeader = headerFrames(temp.fileName(), channels);
    if (inHeader != frames || c.stored != written.value())
        return failed(QString("the copy does not match the recording (%1 of %2 frames%3)")
                          .arg(inHeader)
                          .arg(frames)
                          .arg(c.stored != written.value() ? ", checksums differ" : ""));
    if (stop.stop_requested())
        return failed("stopped before it was complete");
    QString error;
    if (!putInPlace(temp, order_.destination, &error))
        return failed(error);
    if (!order_.companion.isEmpty() &&
        !writeCompanion(order_.companion, order_.companionBytes, &error))
        return failed(error);
    return {true, QString(), frames};
}
