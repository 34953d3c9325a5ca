#include "app/dry_run_parts.h"

#include <QtEndian>

namespace {

// A card fills a 4096-byte stereo buffer in about 23 ms.
constexpr int BufferMs = 1000 * AudioBufferBytes / (4 * AudioSampleRate);

class DryRunInput : public AudioInput {
public:
    explicit DryRunInput(Timers& timers) : buffer_(timers.create(BufferMs)) {
        buffer_->setHandler([this] {
            buffer_->setEnabled(false);
            if (!running_)
                return;
            QByteArray loud(AudioBufferBytes, '\0');
            auto* p = reinterpret_cast<uchar*>(loud.data());
            for (int i = 0; i < AudioBufferBytes / 2; ++i)
                qToLittleEndian<qint16>(20000, p + 2 * i);
            deliver(loud, channels_);
        });
    }
    bool start(int channels, QString*) override {
        channels_ = channels;
        running_ = true;
        buffer_->setEnabled(true);
        return true;
    }
    void stop() override { running_ = false; }
    bool isRunning() const override { return running_; }

private:
    std::unique_ptr<Timer> buffer_;
    int channels_ = 2;
    bool running_ = false;
};

class DryRunPlayer : public WavePlayer {
public:
    bool load(const QString&, QString*) override { return true; }
    qint64 durationMs() const override { return 0; }
    int channels() const override { return 2; }
    int sampleRate() const override { return AudioSampleRate; }
    int bitsPerSample() const override { return 16; }
    void setEndPositionMs(qint64) override {}
    qint64 positionMs() const override { return 0; }
    void setPositionMs(qint64) override {}
    bool start(QString* error) override {
        *error = "nothing is played in a dry run";
        return false;
    }
    void pause() override {}
    void resume() override {}
    void stop() override {}
    bool isPlaying() const override { return false; }
    bool isPaused() const override { return false; }
};

} // namespace

std::unique_ptr<AudioInput> DryRunAudio::createInput(int) {
    return std::make_unique<DryRunInput>(timers_);
}

DryRunSerialPort::DryRunSerialPort(std::function<void(const QByteArray&)> written)
    : written_(std::move(written)) {}

bool DryRunSerialPort::open(const QString&, const QString&, int*, QString*) {
    open_ = true;
    return true;
}

bool DryRunSerialPort::write(const QByteArray& data) {
    written_(data);
    // The receiver answers each command once its carriage return is in.
    command_ += data;
    for (qsizetype cr; (cr = command_.indexOf('\r')) >= 0; command_.remove(0, cr + 1))
        pending_ += receiver_.answer(command_.left(cr));
    notifyBytesWritten();
    return true;
}

QByteArray DryRunSerialPort::readAll() {
    return std::exchange(pending_, {});
}

void DryRunSerialPort::close() {
    open_ = false;
    command_.clear();
    pending_.clear();
}

DryRunPorts::DryRunPorts() {
    bytes_[889] = 127; // the parallel status lines: every contact open
}

std::optional<uint8_t> DryRunPorts::Inp(int port) {
    if (port < 0 || port >= int(bytes_.size()))
        return std::nullopt;
    return bytes_[size_t(port)];
}

bool DryRunPorts::Outp(int port, uint8_t value) {
    if (port < 0 || port >= int(bytes_.size()))
        return false;
    bytes_[size_t(port)] = value;
    return true;
}

std::unique_ptr<WavePlayer> makeDryRunPlayer(int) {
    return std::make_unique<DryRunPlayer>();
}
