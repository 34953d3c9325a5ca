#pragma once

#include "fakes/fake_messages.h"
#include "platform/drive_paths.h"
#include "platform/virtual_time.h"
#include "station/settings_file.h"
#include "station/station.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

using SettingRecords = std::vector<std::pair<Setting, int16_t>>;

// The sound cards the station is told to use, as "play 2", "record1 1".
struct RecordedDevices : AudioDeviceChoice {
    void usePlayDevice(int device) override { calls << QString("play %1").arg(device); }
    void useRecordDevice(int channel, int device) override {
        calls << QString("record%1 %2").arg(channel).arg(device);
    }
    QStringList calls;
};

// A station on real folders in a temporary directory: drives C, D, H and P
// are folders under it, the clock is virtual and messages are recorded.
class TempStation {
public:
    explicit TempStation(const QDateTime& start = QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0)));

    QString root() const { return dir_.path(); }
    // Host folder of a drive letter.
    QString drive(QChar letter) const { return paths->driveFolder(letter); }
    // Host path of a station path.
    QString host(const QString& stationPath) const { return paths->resolve(stationPath); }

    // Writes MyComp.ini records before start-up, leaving the others.
    void writeSettings(const SettingRecords& records) {
        writeSettings(host(SettingsFile::StationPath), records);
    }
    static void writeSettings(const QString& hostPath, const SettingRecords& records);
    static QByteArray readFile(const QString& hostPath);
    // Modified at the time given, if any.
    static void writeFile(const QString& hostPath, const QByteArray& bytes,
                          const QDateTime& modified = {});
    // The station's log of a kind ("AL", "ER", "EB") for a day.
    QByteArray log(const char* kind, const QDate& day) const;
    // Byte n of an existing file, as a port file holds port n.
    static void writeByte(const QString& hostPath, qint64 n, uint8_t value);

    // Starts the station; fails the test when start-up fails.
    void startUp();

    VirtualTime time;
    FakeMessages messages;
    std::unique_ptr<DrivePaths> paths;
    std::unique_ptr<Station> station;

private:
    QTemporaryDir dir_;
};
