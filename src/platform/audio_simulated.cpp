#include "platform/audio.h"

#include "platform/station_config.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtEndian>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How often the simulated card hands over what is due.
constexpr int TickMs = 10;
// A source that falls further behind than this is not caught up in a burst.
constexpr qint64 MaxBacklogFrames = AudioSampleRate;

// Reads raw 16-bit stereo 44.1 kHz PCM from a file or FIFO, paced in real
// time: a regular file replays from its start, a FIFO gives what its writer
// sends, and anything missing or ended is silence.
class SimulatedInput : public AudioInput {
public:
    explicit SimulatedInput(QString path, bool exists) : path_(std::move(path)), exists_(exists) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(TickMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] { pump(); });
    }
    ~SimulatedInput() override { stop(); }

    bool start(int channels, QString* error) override {
        stop();
        if (!exists_) {
            *error = "No such audio input device";
            return false;
        }
        channels_ = channels;
        if (!path_.isEmpty()) {
            fd_ = ::open(path_.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            struct stat st {};
            fifo_ = fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISFIFO(st.st_mode);
        }
        delivered_ = 0;
        clock_.start();
        timer_.start();
        return true;
    }

    void stop() override {
        timer_.stop();
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        pending_.clear();
    }

    bool isRunning() const override { return timer_.isActive(); }

private:
    int framesPerBuffer() const { return AudioBufferBytes / (2 * channels_); }

    void pump() {
        const qint64 due = clock_.elapsed() * AudioSampleRate / 1000;
        if (due - delivered_ > MaxBacklogFrames)
            delivered_ = due - framesPerBuffer();
        while (timer_.isActive() && due - delivered_ >= framesPerBuffer()) {
            QByteArray stereo;
            if (!take(qsizetype(framesPerBuffer()) * 4, &stereo))
                return; // the FIFO's writer is late: wait for it
            delivered_ += framesPerBuffer();
            deliver(channels_ == 2 ? stereo : toMono(stereo), channels_);
        }
    }

    // Source bytes for one buffer; false when a FIFO has not sent them yet.
    bool take(qsizetype bytes, QByteArray* out) {
        bool ended = fd_ < 0;
        while (!ended && pending_.size() < bytes) {
            char chunk[16384];
            const ssize_t got = ::read(fd_, chunk, sizeof chunk);
            if (got > 0) {
                pending_.append(chunk, got);
            } else if (got == 0) {
                ended = true; // end of file, or no writer on the FIFO
            } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (fifo_)
                    return false;
                ended = true;
            } else if (errno != EINTR) {
                ended = true;
            }
        }
        *out = pending_.left(bytes);
        pending_.remove(0, out->size());
        if (out->size() < bytes)
            out->append(QByteArray(bytes - out->size(), '\0'));
        return true;
    }

    static QByteArray toMono(const QByteArray& stereo) {
        QByteArray mono(stereo.size() / 2, '\0');
        const auto* in = reinterpret_cast<const uchar*>(stereo.constData());
        auto* out = reinterpret_cast<uchar*>(mono.data());
        for (qsizetype f = 0; f < stereo.size() / 4; ++f) {
            const int l = qFromLittleEndian<qint16>(in + 4 * f);
            const int r = qFromLittleEndian<qint16>(in + 4 * f + 2);
            qToLittleEndian<qint16>(qint16((l + r) / 2), out + 2 * f);
        }
        return mono;
    }

    QString path_;
    bool exists_;
    int channels_ = 2;
    int fd_ = -1;
    bool fifo_ = false;
    QByteArray pending_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 delivered_ = 0;
};

class SimulatedDevices : public AudioDevices {
public:
    explicit SimulatedDevices(const StationConfig& config)
        : inputs_{config.audioInputs[0], config.audioInputs[1]} {}

    QStringList inputNames() const override {
        return {"Simulated input 1", "Simulated input 2"};
    }
    QStringList outputNames() const override {
        return {"Simulated output 1", "Simulated output 2"};
    }
    std::unique_ptr<AudioInput> createInput(int device) override {
        const bool exists = device == 0 || device == 1;
        return std::make_unique<SimulatedInput>(exists ? inputs_[device] : QString(), exists);
    }

private:
    QString inputs_[2];
};

} // namespace

std::unique_ptr<AudioDevices> makeSimulatedAudioDevices(const StationConfig& config) {
    return std::make_unique<SimulatedDevices>(config);
}
