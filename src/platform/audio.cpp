#include "platform/audio.h"

#include "platform/station_config.h"

#include <QtEndian>
#include <cstdlib>

std::unique_ptr<AudioDevices> makeAudioDevices(const StationConfig& config) {
    if (config.audioBackend == "simulated")
        return makeSimulatedAudioDevices(config);
    return makeQtAudioDevices();
}

Peaks bufferPeaks(const QByteArray& buffer, int channels) {
    // The largest magnitude, kept with its sign, as a meter component reports it.
    const auto* p = reinterpret_cast<const uchar*>(buffer.constData());
    const qsizetype samples = buffer.size() / 2;
    int peak[2] = {0, 0};
    for (qsizetype i = 0; i < samples; ++i) {
        const int v = qFromLittleEndian<qint16>(p + 2 * i);
        int& slot = peak[channels == 2 ? i % 2 : 0];
        if (std::abs(v) > std::abs(slot))
            slot = v;
    }
    if (channels != 2)
        peak[1] = peak[0];
    return {peak[0], peak[1]};
}
