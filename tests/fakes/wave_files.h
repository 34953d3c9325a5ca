#pragma once

#include "support/test.h"
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <sndfile.h>
#include <vector>

// Real wave files for tests, read and written with libsndfile.

struct WaveContents {
    int channels = 0;
    qint64 frames = -1;         // -1 when the file cannot be read
    std::vector<short> samples; // interleaved
};

inline WaveContents readWave(const QString& path) {
    WaveContents w;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!f)
        return w;
    w.channels = info.channels;
    w.frames = info.frames;
    w.samples.resize(size_t(info.frames * info.channels));
    sf_readf_short(f, w.samples.data(), info.frames);
    sf_close(f);
    return w;
}

// A 16-bit file of interleaved samples, its folder made when missing.
inline void writeWave(const QString& path, const std::vector<short>& samples, int channels,
                      int sampleRate) {
    QDir().mkpath(QFileInfo(path).path());
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << path.toStdString();
    sf_writef_short(f, samples.data(), sf_count_t(samples.size()) / channels);
    sf_close(f);
}
