#include "station/recording_files.h"

#include "platform/record_file.h"

#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace {

double floatRecord(const RecordFile& f, int n) {
    const auto bytes = f.read(n);
    if (!bytes)
        return 0;
    const quint32 bits = qFromLittleEndian<quint32>(bytes->constData());
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return std::isfinite(v) ? v : 0;
}

QByteArray floatBytes(double value) {
    const float f = float(value);
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    QByteArray b(4, '\0');
    qToLittleEndian(bits, b.data());
    return b;
}

} // namespace

QString recordingFile(const QString& waveDrive, const QString& dayName, qint64 slot,
                      const QString& extension) {
    return (waveDrive + ":\\satfile\\SF" + dayName.left(3) +
            QString::number(slot).rightJustified(3, '0') + "." + extension)
        .toUpper();
}

RecordingNames recordingFileNames(const QString& waveDrive, const QString& dayName,
                                  ScheduleNo slot) {
    if (waveDrive.size() != 1 || !waveDrive.at(0).isLetter() || slot < 1)
        return {};
    return {recordingFile(waveDrive, dayName, slot, "WAV"),
            recordingFile(waveDrive, dayName, slot, "DAT")};
}

std::pair<double, double> readMarks(const QString& hostPath, double lengthSeconds) {
    RecordFile f;
    if (!QFileInfo::exists(hostPath) || !f.open(hostPath, 4, nullptr))
        return {0, 0};
    const auto usable = [&](double mark) { return mark > 0 && mark <= lengthSeconds ? mark : 0; };
    return {usable(floatRecord(f, 1)), usable(floatRecord(f, 2))};
}

bool writeMarks(const QString& hostPath, double eom, double endOfFile, QString* error) {
    RecordFile f;
    return f.open(hostPath, 4, error) && f.write(1, floatBytes(eom), error) &&
           f.write(2, floatBytes(endOfFile), error);
}
