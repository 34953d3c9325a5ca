#pragma once

#include <QString>
#include <functional>
#include <memory>

struct StationConfig;

// Plays a wave file on an output device: the file's length, an end position
// where playback stops early, the position, start/pause/resume/stop, and a
// stopped event after every stop (at the end or on command). The tail is
// not cut off: a stop at the end waits until the device has played it.
class WavePlayer {
public:
    virtual ~WavePlayer() = default;

    // Loads the file; false with the reason when it is missing or damaged.
    virtual bool load(const QString& hostPath, QString* error) = 0;
    virtual qint64 durationMs() const = 0;
    virtual int channels() const = 0;
    virtual int sampleRate() const = 0;
    virtual int bitsPerSample() const = 0;

    // 0: play to the end of the file.
    virtual void setEndPositionMs(qint64 ms) = 0;
    virtual qint64 positionMs() const = 0;
    virtual void setPositionMs(qint64 ms) = 0;

    virtual bool start(QString* error) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // Stops at once; the stopped event follows.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    virtual bool isPaused() const = 0;

    void setStoppedHandler(std::function<void()> f) { stopped_ = std::move(f); }
    // Peak levels of what is playing, for the meters.
    void setLevelHandler(std::function<void(int left, int right)> f) { levels_ = std::move(f); }

protected:
    void notifyStopped() {
        if (stopped_)
            stopped_();
    }
    void notifyLevels(int left, int right) {
        if (levels_)
            levels_(left, right);
    }

private:
    std::function<void()> stopped_;
    std::function<void(int, int)> levels_;
};

// A player on output device n (0-based) of the configured backend.
std::unique_ptr<WavePlayer> makeWavePlayer(const StationConfig& config, int device);
