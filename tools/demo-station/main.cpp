// Lays out a demonstration station in a folder: its drives, settings, one
// schedule with an export rule, programme audio for the simulated input, a
// port file for the contacts and relays, and the configuration that joins
// them. The console run on it switches the simulated receiver, records,
// hands the take to the playout store and plays it back within minutes.
#include "station_layout.h"

#include <QCoreApplication>
#include <QtEndian>
#include <cmath>
#include <cstdio>

namespace {

constexpr int Rate = 44100;

// Raw 16-bit stereo PCM: a short silence, so the take visibly waits for the
// programme; a tune; a silence longer than five seconds, which the error log
// reports as a gap; and more tune.
QByteArray programmeAudio() {
    static const double notes[] = {261.6, 329.6, 392.0, 523.3, 392.0, 329.6, 293.7, 349.2};
    const auto silence = [](double seconds) { return QByteArray(int(seconds * Rate) * 4, '\0'); };
    const auto tune = [](double seconds) {
        const int frames = int(seconds * Rate);
        QByteArray pcm(frames * 4, '\0');
        auto* out = reinterpret_cast<uchar*>(pcm.data());
        const int noteFrames = Rate / 2;
        for (int i = 0; i < frames; ++i) {
            const double f = notes[(i / noteFrames) % 8];
            const double t = double(i) / Rate;
            const double envelope = std::exp(-3.0 * double(i % noteFrames) / noteFrames);
            const double v =
                envelope * (std::sin(2 * M_PI * f * t) + 0.3 * std::sin(4 * M_PI * f * t));
            qToLittleEndian<qint16>(qint16(7000 * v), out + 4 * i);
            qToLittleEndian<qint16>(qint16(6000 * v), out + 4 * i + 2);
        }
        return pcm;
    };
    return silence(3) + tune(15) + silence(7) + tune(25);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2 || args.size() > 4) {
        std::fprintf(stderr,
                     "usage: varnola-demo FOLDER COM1-DEVICE [LEAD-SECONDS [LENGTH MM:SS]]\n");
        return 2;
    }
    const QDir folder(args[0]);
    const int lead = args.value(2, "60").toInt();
    const QString length = args.value(3, "00:30");
    if (lead < 8 || !RecordLengthReadable(length))
        layoutFail("the lead must be 8 seconds or more and the length MM:SS");

    StationLayout station(folder, args[1], {folder.filePath("programme.pcm"), QString()},
                          {folder.filePath("play.pcm"), QString()});
    station.writeStation();
    writeLayoutFile(station.config().audioInputs[0], programmeAudio());
    station.writeProgrammeTables({"Demonstration"}, "00:30");

    const QDateTime recordAt = QDateTime::currentDateTime().addSecs(lead);
    station.addSchedule(
        1, ScheduleOnce("Demonstration Programme", "1", length, recordAt, recordAt.addSecs(90)),
        8001);

    std::printf("%s\n", qPrintable(recordAt.time().toString("HH:mm:ss")));
    return 0;
}
