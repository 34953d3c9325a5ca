#include "recording/wave_file.h"

#include <QtEndian>
#include <sndfile.h>
#include <vector>

WaveWriter::~WaveWriter() {
    close();
}

bool WaveWriter::open(const QString& hostPath, int channels, int sampleRate, QString* error) {
    close();
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(hostPath.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!file_) {
        if (error)
            *error = QString::fromLocal8Bit(sf_strerror(nullptr));
        return false;
    }
    sf_command(file_, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    channels_ = channels;
    frames_ = 0;
    return true;
}

bool WaveWriter::write(const QByteArray& pcm, QString* error) {
    if (!file_) {
        if (error)
            *error = "the wave file is not open";
        return false;
    }
    const sf_count_t samples = pcm.size() / 2;
    std::vector<short> buffer(static_cast<size_t>(samples));
    qFromLittleEndian<qint16>(pcm.constData(), samples, buffer.data());
    const sf_count_t frames = samples / channels_;
    const sf_count_t written = sf_writef_short(file_, buffer.data(), frames);
    frames_ += written;
    if (written != frames) {
        if (error)
            *error = QString::fromLocal8Bit(sf_strerror(file_));
        return false;
    }
    return true;
}

void WaveWriter::close() {
    if (file_)
        sf_close(file_);
    file_ = nullptr;
}
