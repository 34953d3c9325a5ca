#pragma once

#include <QByteArray>
#include <limits>
#include <memory>

// Silence inside a take: audio that stops for more than five seconds is a
// gap. The error log says each gap once, as it begins, and the take history
// counts them; both go by this one rule.
class AudioGaps {
public:
    static constexpr double GapSeconds = 5.0;

    // t: seconds since the take began; audio: the buffer was above the
    // threshold. True when a gap has just begun (the moment to say it).
    bool heard(double t, bool audio);
    // Closes a gap still open when the take ends, for its length.
    void end(double t);

    // Seconds from the start of the take to the last audio.
    double lastAudio() const { return lastAudio_; }
    int count() const { return count_; }
    double longest() const { return longest_; }

private:
    double lastAudio_ = 0;
    bool open_ = false;
    int count_ = 0;
    double longest_ = 0;
};

// Integrated loudness (EBU R128) of the audio written to a take, fed one
// buffer at a time on the UI thread: a histogram keeps the cost per buffer
// and the memory flat however long the take runs.
class LoudnessMeter {
public:
    // 16-bit samples at the station's rate; a mono take is heard as one
    // programme on both loudspeakers.
    explicit LoudnessMeter(int channels);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // Interleaved 16-bit little-endian samples.
    void add(const QByteArray& pcm);
    // LUFS; NaN when nothing rose above the standard's silence gate.
    double integrated() const;

private:
    struct State;
    int channels_;
    std::unique_ptr<State> state_;
};

// The receiver's Eb/No readings heard during a take.
struct EbNoReadings {
    void add(double value);
    // NaN for either when nothing was heard.
    double min() const;
    double mean() const;

    int count = 0;
    double sum = 0;
    double lowest = std::numeric_limits<double>::infinity();
};

// A sample peak in dBFS; NaN for silence.
double peakDbfs(int peak);
