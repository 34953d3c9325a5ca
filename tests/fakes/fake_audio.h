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

// A 4096-byte buffer of 16-bit samples, each sample(frame, right), the frame
// counted from the first of the stream; mono has no right channel.
template <class Sample> QByteArray sampleBuffer(int channels, qint64 first, Sample sample) {
    QByteArray b(AudioBufferBytes, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    for (int i = 0; i < AudioBufferBytes / 2; ++i)
        qToLittleEndian<qint16>(sample(first + i / channels, channels == 2 && i % 2), p + 2 * i);
    return b;
}

inline QByteArray levelBuffer(int channels, qint16 left, qint16 right) {
    return sampleBuffer(channels, 0, [&](qint64, bool r) { return r ? right : left; });
}

// A 1 kHz sine at a level in dBFS (0 is full scale) on each channel, NaN for
// silence.
inline QByteArray sineBuffer(int channels, double leftDbfs, double rightDbfs, qint64 first) {
    return sampleBuffer(channels, first, [&](qint64 frame, bool r) {
        const double dbfs = r ? rightDbfs : leftDbfs, t = double(frame) / AudioSampleRate;
        return qint16(std::isnan(dbfs) ? 0
                                       : std::lround(32767.0 * std::pow(10.0, dbfs / 20.0) *
                                                     std::sin(2 * M_PI * 1000.0 * t)));
    });
}
