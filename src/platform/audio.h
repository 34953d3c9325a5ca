#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct StationConfig;

// Capture format of the record channels: 16-bit signed little-endian PCM at
// 44.1 kHz, delivered in buffers of this many bytes.
constexpr int AudioSampleRate = 44100;
constexpr int AudioBufferBytes = 4096;

// One capture stream from an input device.
class AudioInput {
public:
    virtual ~AudioInput() = default;
    // channels: 1 (mono) or 2 (stereo). False with a reason when the device
    // is missing or will not start.
    virtual bool start(int channels, QString* error) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;

    // Each filled buffer, on the thread that started the input.
    using BufferHandler = std::function<void(const QByteArray& buffer, int channels)>;
    void setBufferHandler(BufferHandler handler) { handler_ = std::move(handler); }

protected:
    void deliver(const QByteArray& buffer, int channels) {
        if (handler_)
            handler_(buffer, channels);
    }

private:
    BufferHandler handler_;
};

// The audio devices the settings' device numbers pick from, in device order.
class AudioDevices {
public:
    virtual ~AudioDevices() = default;
    virtual QStringList inputNames() const = 0;
    virtual QStringList outputNames() const = 0;
    // An input on device number n (0-based). Always an object; a missing
    // device fails when started.
    virtual std::unique_ptr<AudioInput> createInput(int device) = 0;
};

// The backend the configuration names: the sound cards Qt lists, or the
// simulated devices fed from files.
std::unique_ptr<AudioDevices> makeAudioDevices(const StationConfig& config);
std::unique_ptr<AudioDevices> makeQtAudioDevices();
std::unique_ptr<AudioDevices> makeSimulatedAudioDevices(const StationConfig& config);

// Peak sample values of a buffer: left and right (the same for mono).
struct Peaks {
    int left = 0;
    int right = 0;
};
Peaks bufferPeaks(const QByteArray& buffer, int channels);
