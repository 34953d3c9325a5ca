#pragma once

#include <QByteArray>
#include <QString>

struct sf_private_tag;

// A 16-bit PCM wave file being recorded. The header is rewritten with every
// write, so whatever has been written is a playable file even if the process
// dies or the disk fills.
class WaveWriter {
public:
    WaveWriter() = default;
    ~WaveWriter();
    WaveWriter(const WaveWriter&) = delete;
    WaveWriter& operator=(const WaveWriter&) = delete;

    // Creates (or replaces) the file; false with the reason.
    bool open(const QString& hostPath, int channels, int sampleRate, QString* error);
    // Appends raw 16-bit little-endian samples; false with the reason when
    // not all of them reached the file.
    bool write(const QByteArray& pcm, QString* error);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    qint64 framesWritten() const { return frames_; }

private:
    sf_private_tag* file_ = nullptr;
    int channels_ = 0;
    qint64 frames_ = 0;
};
