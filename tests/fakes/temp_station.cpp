#include "fakes/temp_station.h"
#include "platform/file_system.h"
#include "station/log_files.h"
#include "support/test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QByteArray TempStation::log(const char* kind, const QDate& day) const {
    return readFile(host(logFileStationPath(kind, day)));
}

TempStation::TempStation(const QDateTime& start) : time(start) {
    StationConfig config;
    config.configPath = dir_.filePath("varnola.conf");
    config.drivesRoot = dir_.filePath("drives");
    for (QChar letter : {'C', 'D', 'H', 'P'}) {
        const QString folder = dir_.filePath(QString("drives/") + letter);
        QDir().mkpath(folder);
        config.drives.insert(letter, folder);
    }
    config.ioPortsFile = dir_.filePath("ports");
    config.audioBackend = "simulated";
    paths = std::make_unique<DrivePaths>(config);
    station = std::make_unique<Station>(time, time, *paths, messages);
}

void TempStation::writeSettings(const QString& hostPath, const SettingRecords& records) {
    QDir().mkpath(QFileInfo(hostPath).path());
    SettingsFile file;
    QString error;
    ASSERT_TRUE(file.open(hostPath, &error)) << error.toStdString();
    for (const auto& [n, value] : records)
        ASSERT_TRUE(file.write(n, value, &error)) << error.toStdString();
}

QByteArray TempStation::readFile(const QString& hostPath) {
    QFile f(hostPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TempStation::writeFile(const QString& hostPath, const QByteArray& bytes,
                            const QDateTime& modified) {
    QDir().mkpath(QFileInfo(hostPath).path());
    QFile f(hostPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << hostPath.toStdString();
    f.write(bytes);
    f.close();
    ASSERT_TRUE(!modified.isValid() || files::setModified(hostPath, modified));
}

void TempStation::writeByte(const QString& hostPath, qint64 n, uint8_t value) {
    QFile f(hostPath);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(n)) << hostPath.toStdString();
    f.write(reinterpret_cast<const char*>(&value), 1);
}

void TempStation::startUp() {
    const StartUpResult r = station->StartUp();
    ASSERT_TRUE(r.ok) << r.message.toStdString();
}
