#include "platform/audio.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>

namespace {

class QtAudioInput : public AudioInput {
public:
    explicit QtAudioInput(int device) : device_(device) {}
    ~QtAudioInput() override { stop(); }

    bool start(int channels, QString* error) override {
        stop();
        const QList<QAudioDevice> devices = QMediaDevices::audioInputs();
        if (device_ < 0 || device_ >= devices.size()) {
            *error =
                QString("No audio input device %1 (%2 found)").arg(device_).arg(devices.size());
            return false;
        }
        QAudioFormat format;
        format.setSampleRate(AudioSampleRate);
        format.setChannelCount(channels);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!devices[device_].isFormatSupported(format)) {
            *error = QString("Audio input \"%1\" cannot record 16-bit %2 kHz %3")
                         .arg(devices[device_].description())
                         .arg(AudioSampleRate / 1000.0)
                         .arg(channels == 1 ? "mono" : "stereo");
            return false;
        }
        channels_ = channels;
        source_ = std::make_unique<QAudioSource>(devices[device_], format);
        source_->setBufferSize(AudioBufferBytes * 8);
        io_ = source_->start();
        if (!io_ || source_->error() != QAudio::NoError) {
            *error =
                QString("Audio input \"%1\" did not start").arg(devices[device_].description());
            source_.reset();
            io_ = nullptr;
            return false;
        }
        QObject::connect(io_, &QIODevice::readyRead, [this] { collect(); });
        return true;
    }

    void stop() override {
        if (source_) {
            source_->stop();
            // Stopped from a buffer handler: the source's device is still
            // emitting the signal that led here, so it goes once that is over.
            if (delivering_)
                source_.release()->deleteLater();
            source_.reset();
        }
        io_ = nullptr;
        pending_.clear();
    }

    bool isRunning() const override { return source_ != nullptr; }

private:
    void collect() {
        if (!io_)
            return;
        pending_ += io_->readAll();
        delivering_ = true;
        while (io_ && pending_.size() >= AudioBufferBytes) {
            const QByteArray buffer = pending_.left(AudioBufferBytes);
            pending_.remove(0, AudioBufferBytes);
            deliver(buffer, channels_);
        }
        delivering_ = false;
    }

    int device_;
    int channels_ = 2;
    std::unique_ptr<QAudioSource> source_;
    QIODevice* io_ = nullptr;
    QByteArray pending_;
    bool delivering_ = false;
};

class QtAudioDevices : public AudioDevices {
public:
    QStringList inputNames() const override {
        QStringList names;
        for (const QAudioDevice& d : QMediaDevices::audioInputs())
            names << d.description();
        return names;
    }
    QStringList outputNames() const override {
        QStringList names;
        for (const QAudioDevice& d : QMediaDevices::audioOutputs())
            names << d.description();
        return names;
    }
    std::unique_ptr<AudioInput> createInput(int device) override {
        return std::make_unique<QtAudioInput>(device);
    }
};

} // namespace

std::unique_ptr<AudioDevices> makeQtAudioDevices() {
    return std::make_unique<QtAudioDevices>();
}
