#pragma once

#include "platform/audio.h"
#include "support/test.h"

#include <QtEndian>
#include <cmath>
#include <vector>

// Input devices the test feeds by hand: push() delivers a buffer as the card
// would. Device numbers beyond the list fail to start, as a missing card.
class FakeAudioDevices : public AudioDevices {
public:
    class Input : public AudioInput {
    public:
        explicit Input(FakeAudioDevices& owner, int device) : owner_(owner), device_(device) {}
        ~Input() override {
            // A real card's object is still on the stack while it delivers.
            if (delivering_)
                ADD_FAILURE() << "audio input destroyed from inside its own buffer event";
            if (owner_.inputs[size_t(device_)] == this)
                owner_.inputs[size_t(device_)] = nullptr;
        }
        bool start(int channels, QString* error) override {
            if (device_ >= owner_.inputNames().size()) {
                *error = "device unavailable";
                return false;
            }
            channels_ = channels;
            running_ = true;
            owner_.inputs[size_t(device_)] = this;
            return true;
        }
        void stop() override { running_ = false; }
        bool isRunning() const override { return running_; }
        int channels() const { return channels_; }
        // Like a real card, the input goes on using itself once the handler
        // returns: a handler that destroys it is caught (under ASan).
        void push(const QByteArray& buffer) {
            if (!running_)
                return;
            delivering_ = true;
            deliver(buffer, channels_);
            delivering_ = false;
        }

    private:
        FakeAudioDevices& owner_;
        int device_;
        int channels_ = 2;
        bool running_ = false;
        bool delivering_ = false;
    };

    QStringList inputNames() const override { return {"Fake input 1", "Fake input 2"}; }
    QStringList outputNames() const override { return {"Fake output 1", "Fake output 2"}; }
    std::unique_ptr<AudioInput> createInput(int device) override {
        return std::make_unique<Input>(*this, device);
    }

    // The running input of a device, if any.
    Input* input(int device) const {
        Input* in = inputs[size_t(device)];
        return in && in->isRunning() ? in : nullptr;
    }

    std::vector<Input*> inputs = std::vector<Input*>(8, nullptr);
};

// A 4096-byte buffer of 16-bit samples: every sample of the left (or only)
// channel is left, every right one right.
inline QByteArray levelBuffer(int channels, qint16 left, qint16 right) {
    QByteArray b(AudioBufferBytes, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    for (int i = 0; i < AudioBufferBytes / 2; ++i)
        qToLittleEndian<qint16>((channels == 2 && i % 2) ? right : left, p + 2 * i);
    return b;
}

// A buffer of a 1 kHz sine at a level in dBFS (0 is full scale) on each
// channel, NaN for silence, going on from frame first of the stream.
inline QByteArray sineBuffer(int channels, double leftDbfs, double rightDbfs, qint64 first) {
    QByteArray b(AudioBufferBytes, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    for (int i = 0; i < AudioBufferBytes / 2; ++i) {
        const double dbfs = (channels == 2 && i % 2) ? rightDbfs : leftDbfs;
        const double t = double(first + i / channels) / AudioSampleRate;
        const double v = std::isnan(dbfs) ? 0.0
                                          : 32767.0 * std::pow(10.0, dbfs / 20.0) *
                                                std::sin(2 * M_PI * 1000.0 * t);
        qToLittleEndian<qint16>(qint16(std::lround(v)), p + 2 * i);
    }
    return b;
}
