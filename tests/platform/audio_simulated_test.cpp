#include "platform/audio.h"
#include "platform/station_config.h"
#include "support/test.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Stereo frames: left = i, right = -i.
QByteArray ramp(int frames) {
    QByteArray b(frames * 4, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    for (int i = 0; i < frames; ++i) {
        qToLittleEndian<qint16>(qint16(i), p + 4 * i);
        qToLittleEndian<qint16>(qint16(-i), p + 4 * i + 2);
    }
    return b;
}

struct Collected {
    QByteArrayList buffers;
    int channels = 0;
};

bool collectUntil(Collected& c, int count, int timeoutMs = 3000) {
    QElapsedTimer t;
    t.start();
    while (c.buffers.size() < count && t.elapsed() < timeoutMs)
        QTest::qWait(5);
    return c.buffers.size() >= count;
}

class SimulatedAudioTest : public ::testing::Test {
protected:
    std::unique_ptr<AudioInput> input(int device, const QString& path, Collected& into) {
        StationConfig config;
        config.audioBackend = "simulated";
        config.audioInputs[0] = path;
        devices = makeAudioDevices(config);
        auto in = devices->createInput(device);
        in->setBufferHandler([&into](const QByteArray& b, int ch) {
            into.buffers << b;
            into.channels = ch;
        });
        return in;
    }
    QTemporaryDir dir;
    std::unique_ptr<AudioDevices> devices;
};

TEST_F(SimulatedAudioTest, FileIsReplayedInRealTimeThenSilence) {
    const QString path = dir.filePath("in.pcm");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ramp(1024 + 100)); // one buffer and a bit
    f.close();
    Collected c;
    auto in = input(0, path, c);
    QString error;
    ASSERT_TRUE(in->start(2, &error)) << error.toStdString();
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(collectUntil(c, 3));
    // Three buffers of 1024 frames take about 70 ms of real time.
    EXPECT_GE(t.elapsed(), 50);
    in->stop();
    EXPECT_EQ(c.channels, 2);
    EXPECT_EQ(c.buffers[0], ramp(1024));
    EXPECT_EQ(c.buffers[1].left(400), ramp(1124).mid(4096, 400));
    EXPECT_EQ(c.buffers[1].mid(400), QByteArray(4096 - 400, '\0'));
    EXPECT_EQ(c.buffers[2], QByteArray(4096, '\0'));
    EXPECT_EQ(bufferPeaks(c.buffers[0], 2).left, 1023);
    EXPECT_EQ(bufferPeaks(c.buffers[0], 2).right, -1023);
}

TEST_F(SimulatedAudioTest, MonoMixesBothSidesIntoTwiceTheFrames) {
    const QString path = dir.filePath("in.pcm");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ramp(2048));
    f.close();
    Collected c;
    auto in = input(0, path, c);
    QString error;
    ASSERT_TRUE(in->start(1, &error));
    ASSERT_TRUE(collectUntil(c, 1));
    in->stop();
    EXPECT_EQ(c.channels, 1);
    EXPECT_EQ(c.buffers[0].size(), 4096);
    EXPECT_EQ(c.buffers[0], QByteArray(4096, '\0')); // (i + -i) / 2
}

TEST_F(SimulatedAudioTest, FifoDeliversWhatItsWriterSends) {
    const QString path = dir.filePath("in.fifo");
    ASSERT_EQ(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
    Collected c;
    auto in = input(0, path, c);
    QString error;
    ASSERT_TRUE(in->start(2, &error));
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const QByteArray data = ramp(2048);
    ASSERT_EQ(::write(fd, data.constData(), size_t(data.size())), data.size());
    ASSERT_TRUE(collectUntil(c, 2));
    EXPECT_EQ(c.buffers[0] + c.buffers[1], data);
    ::close(fd);
    in->stop();
}

TEST_F(SimulatedAudioTest, OnlyTwoInputDevicesExist) {
    Collected c;
    auto in = input(2, {}, c);
    QString error;
    EXPECT_FALSE(in->start(2, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(devices->inputNames().size(), 2);
    // An input with no source configured hears silence.
    auto quiet = input(0, {}, c);
    ASSERT_TRUE(quiet->start(2, &error));
    ASSERT_TRUE(collectUntil(c, 1));
    EXPECT_EQ(c.buffers[0], QByteArray(4096, '\0'));
}

} // namespace
