#include "platform/wave_player.h"

#include "platform/audio.h"
#include "platform/station_config.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <sndfile.h>
#include <vector>

namespace {

// Where the decoded samples go: a sound card, or a file for the simulated one.
class PcmSink {
public:
    virtual ~PcmSink() = default;
    virtual bool open(int channels, int rate, QString* error) = 0;
    // Bytes that can be written now.
    virtual qint64 room() = 0;
    virtual qint64 write(const char* data, qint64 bytes) = 0;
    // Bytes written but not yet heard.
    virtual qint64 queued() = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    virtual void close() = 0;
};

// The simulated card: appends what it plays to a file, in real time.
class FileSink : public PcmSink {
public:
    explicit FileSink(QString path, bool exists) : path_(std::move(path)), exists_(exists) {}
    bool open(int channels, int rate, QString* error) override {
        if (!exists_) {
            *error = "No such audio output device";
            return false;
        }
        bytesPerSecond_ = qint64(channels) * rate * 2;
        written_ = 0;
        clock_.start();
        pausedMs_ = 0;
        if (!path_.isEmpty()) {
            file_.setFileName(path_);
            if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
                *error = file_.errorString();
                return false;
            }
        }
        return true;
    }
    qint64 due() const {
        const qint64 ms = (suspendedAt_ >= 0 ? suspendedAt_ : clock_.elapsed()) - pausedMs_;
        return ms * bytesPerSecond_ / 1000;
    }
    qint64 room() override { return std::max<qint64>(0, due() - written_); }
    qint64 write(const char* data, qint64 bytes) override {
        if (file_.isOpen())
            file_.write(data, bytes);
        written_ += bytes;
        return bytes;
    }
    qint64 queued() override { return 0; }
    void suspend() override {
        if (suspendedAt_ < 0)
            suspendedAt_ = clock_.elapsed();
    }
    void resume() override {
        if (suspendedAt_ >= 0)
            pausedMs_ += clock_.elapsed() - suspendedAt_;
        suspendedAt_ = -1;
    }
    void close() override {
        if (file_.isOpen()) {
            file_.flush();
            file_.close();
        }
    }

private:
    QString path_;
    bool exists_;
    QFile file_;
    QElapsedTimer clock_;
    qint64 bytesPerSecond_ = 0, written_ = 0, pausedMs_ = 0, suspendedAt_ = -1;
};

class QtSink : public PcmSink {
public:
    explicit QtSink(int device) : device_(device) {}
    bool open(int channels, int rate, QString* error) override {
        const QList<QAudioDevice> devices = QMediaDevices::audioOutputs();
        if (device_ < 0 || device_ >= devices.size()) {
            *error =
                QString("No audio output device %1 (%2 found)").arg(device_).arg(devices.size());
            return false;
        }
        QAudioFormat format;
        format.setSampleRate(rate);
        format.setChannelCount(channels);
        format.setSampleFormat(QAudioFormat::Int16);
        sink_ = std::make_unique<QAudioSink>(devices[device_], format);
        io_ = sink_->start();
        if (!io_) {
            *error =
                QString("Audio output \"%1\" did not start").arg(devices[device_].description());
            sink_.reset();
            return false;
        }
        return true;
    }
    qint64 room() override { return sink_ ? sink_->bytesFree() : 0; }
    qint64 write(const char* data, qint64 bytes) override {
        return io_ ? io_->write(data, bytes) : 0;
    }
    qint64 queued() override { return sink_ ? sink_->bufferSize() - sink_->bytesFree() : 0; }
    void suspend() override {
        if (sink_)
            sink_->suspend();
    }
    void resume() override {
        if (sink_)
            sink_->resume();
    }
    void close() override {
        if (sink_)
            sink_->stop();
        sink_.reset();
        io_ = nullptr;
    }

private:
    int device_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* io_ = nullptr;
};

// Reads the file in small pieces from the event loop and feeds the sink as
// it has room, so the console never waits on it.
class PcmPlayer : public WavePlayer {
public:
    explicit PcmPlayer(std::unique_ptr<PcmSink> sink) : sink_(std::move(sink)) {
        pump_.setInterval(20);
        QObject::connect(&pump_, &QTimer::timeout, [this] { feed(); });
    }
    ~PcmPlayer() override {
        halt();
        closeFile();
    }

    bool load(const QString& hostPath, QString* error) override {
        halt();
        closeFile();
        SF_INFO info{};
        file_ = sf_open(hostPath.toLocal8Bit().constData(), SFM_READ, &info);
        if (!file_ || info.frames <= 0 || info.channels < 1 || info.channels > 2) {
            *error = file_ ? QString("unplayable wave file")
                           : QString::fromLocal8Bit(sf_strerror(nullptr));
            closeFile();
            return false;
        }
        info_ = info;
        switch (info.format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_PCM_S8:
            bits_ = 8;
            break;
        case SF_FORMAT_PCM_24:
            bits_ = 24;
            break;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT:
            bits_ = 32;
            break;
        default:
            bits_ = 16;
        }
        endFrame_ = info.frames;
        readFrame_ = 0;
        return true;
    }
    qint64 durationMs() const override {
        return file_ ? info_.frames * 1000 / info_.samplerate : 0;
    }
    int channels() const override { return file_ ? info_.channels : 0; }
    int sampleRate() const override { return file_ ? info_.samplerate : 0; }
    int bitsPerSample() const override { return bits_; }

    void setEndPositionMs(qint64 ms) override {
        if (!file_)
            return;
        endFrame_ =
            ms > 0 ? std::min<qint64>(info_.frames, ms * info_.samplerate / 1000) : info_.frames;
    }
    qint64 positionMs() const override {
        if (!file_)
            return 0;
        const qint64 heard = readFrame_ - (playing_ ? sink_->queued() / (2 * info_.channels) : 0);
        return std::max<qint64>(0, heard) * 1000 / info_.samplerate;
    }
    void setPositionMs(qint64 ms) override {
        if (!file_)
            return;
        readFrame_ = std::clamp<qint64>(ms * info_.samplerate / 1000, 0, info_.frames);
        sf_seek(file_, readFrame_, SEEK_SET);
    }

    bool start(QString* error) override {
        if (!file_) {
            *error = "no wave file loaded";
            return false;
        }
        halt();
        if (!sink_->open(info_.channels, info_.samplerate, error))
            return false;
        sf_seek(file_, readFrame_, SEEK_SET);
        playing_ = true;
        paused_ = false;
        drainingSince_.invalidate();
        pump_.start();
        feed();
        return true;
    }
    void pause() override {
        if (playing_ && !paused_) {
            paused_ = true;
            sink_->suspend();
        }
    }
    void resume() override {
        if (playing_ && paused_) {
            paused_ = false;
            sink_->resume();
        }
    }
    void stop() override {
        if (!playing_)
            return;
        halt();
        notifyStopped();
    }
    bool isPlaying() const override { return playing_; }
    bool isPaused() const override { return paused_; }

private:
    void feed() {
        if (!playing_ || paused_)
            return;
        const int bytesPerFrame = 2 * info_.channels;
        qint64 room = sink_->room() / bytesPerFrame;
        while (room > 0 && readFrame_ < endFrame_) {
            const qint64 frames = std::min({room, endFrame_ - readFrame_, qint64(4096)});
            buffer_.resize(size_t(frames * info_.channels));
            const sf_count_t got = sf_readf_short(file_, buffer_.data(), frames);
            if (got <= 0) {
                endFrame_ = readFrame_; // a damaged tail ends the play
                break;
            }
            levels(got);
            sink_->write(reinterpret_cast<const char*>(buffer_.data()), got * bytesPerFrame);
            readFrame_ += got;
            room -= got;
        }
        if (readFrame_ < endFrame_)
            return;
        // Everything is with the card: stop once it has been heard, and a
        // little longer for the sound server behind it.
        if (sink_->queued() > 0) {
            drainingSince_.invalidate();
            return;
        }
        if (!drainingSince_.isValid())
            drainingSince_.start();
        if (drainingSince_.elapsed() >= DrainMs)
            stop();
    }
    void levels(sf_count_t frames) {
        int peak[2] = {0, 0};
        for (sf_count_t i = 0; i < frames * info_.channels; ++i) {
            const int v = std::abs(int(buffer_[size_t(i)]));
            int& p = peak[info_.channels == 2 ? i % 2 : 0];
            p = std::max(p, v);
        }
        notifyLevels(peak[0], info_.channels == 2 ? peak[1] : peak[0]);
    }
    void halt() {
        pump_.stop();
        if (playing_)
            sink_->close();
        playing_ = false;
        paused_ = false;
    }
    void closeFile() {
        if (file_)
            sf_close(file_);
        file_ = nullptr;
    }

    static constexpr int DrainMs = 250;
    std::unique_ptr<PcmSink> sink_;
    QTimer pump_;
    SNDFILE* file_ = nullptr;
    SF_INFO info_{};
    int bits_ = 16;
    qint64 endFrame_ = 0, readFrame_ = 0;
    bool playing_ = false, paused_ = false;
    QElapsedTimer drainingSince_;
    std::vector<short> buffer_;
};

} // namespace

std::unique_ptr<WavePlayer> makeWavePlayer(const StationConfig& config, int device) {
    if (config.audioBackend == "simulated") {
        const bool exists = device == 0 || device == 1;
        return std::make_unique<PcmPlayer>(std::make_unique<FileSink>(
            exists ? config.audioOutputs[size_t(device)] : QString(), exists));
    }
    return std::make_unique<PcmPlayer>(std::make_unique<QtSink>(device));
}
