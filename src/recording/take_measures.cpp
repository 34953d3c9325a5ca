#include "recording/take_measures.h"

#include "platform/audio.h"

#include <QtEndian>
#include <cmath>
#include <ebur128.h>

bool AudioGaps::heard(double t, bool audio) {
    if (audio) {
        if (open_)
            longest_ = std::max(longest_, t - lastAudio_);
        open_ = false;
        lastAudio_ = t;
        return false;
    }
    if (open_ || t <= lastAudio_ + GapSeconds)
        return false;
    open_ = true;
    ++count_;
    return true;
}

void AudioGaps::end(double t) {
    if (open_)
        longest_ = std::max(longest_, t - lastAudio_);
    open_ = false;
}

struct LoudnessMeter::State {
    explicit State(int channels)
        : st(ebur128_init(unsigned(channels), AudioSampleRate,
                          EBUR128_MODE_I | EBUR128_MODE_HISTOGRAM)) {}
    ~State() {
        if (st)
            ebur128_destroy(&st);
    }
    ebur128_state* st;
};

LoudnessMeter::LoudnessMeter(int channels)
    : channels_(channels), state_(std::make_unique<State>(channels)) {
    if (state_->st && channels == 1)
        ebur128_set_channel(state_->st, 0, EBUR128_DUAL_MONO);
}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::add(const QByteArray& pcm) {
    if (!state_->st)
        return;
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the cards' samples are read in place");
    ebur128_add_frames_short(state_->st, reinterpret_cast<const short*>(pcm.constData()),
                             size_t(pcm.size()) / (2 * size_t(channels_)));
}

double LoudnessMeter::integrated() const {
    double lufs = 0;
    if (!state_->st || ebur128_loudness_global(state_->st, &lufs) != EBUR128_SUCCESS ||
        !std::isfinite(lufs))
        return NAN;
    return lufs;
}

void EbNoReadings::add(double value) {
    ++count;
    sum += value;
    lowest = std::min(lowest, value);
}

double EbNoReadings::min() const {
    return count ? lowest : NAN;
}

double EbNoReadings::mean() const {
    return count ? sum / count : NAN;
}

double peakDbfs(int peak) {
    return peak == 0 ? NAN : 20.0 * std::log10(std::abs(peak) / 32768.0);
}
