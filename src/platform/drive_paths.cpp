#include "platform/drive_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

DrivePaths::DrivePaths(StationConfig config) : config_(std::move(config)) {}

QString DrivePaths::driveFolder(QChar letter) const {
    const QChar upper = letter.toUpper();
    const auto it = config_.drives.constFind(upper);
    if (it != config_.drives.constEnd())
        return QDir::cleanPath(it.value());
    return QDir::cleanPath(config_.drivesRoot + "/" + upper);
}

QString resolveCaseInsensitive(const QString& base, const QStringList& components) {
    QString path = base;
    bool exists = QFileInfo(path).isDir();
    for (const QString& component : components) {
        if (component.isEmpty() || component == ".")
            continue;
        if (component == "..") {
            path = QFileInfo(path).path();
            exists = QFileInfo(path).isDir();
            continue;
        }
        QString chosen = component;
        if (exists && !QFileInfo::exists(path + "/" + component)) {
            const QStringList entries = QDir(path).entryList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
            const auto match = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
                return e.compare(component, Qt::CaseInsensitive) == 0;
            });
            if (match != entries.end())
                chosen = *match;
        }
        path += "/" + chosen;
        exists = exists && QFileInfo(path).isDir();
    }
    return path;
}

QString DrivePaths::resolve(const QString& stationPath) const {
    static const QRegularExpression driveRe("^([A-Za-z]):(.*)$");
    const auto m = driveRe.match(stationPath);
    if (!m.hasMatch())
        return QDir::cleanPath(stationPath);
    const QString rest = m.captured(2);
    const QStringList components = rest.split(QRegularExpression("[\\\\/]"), Qt::SkipEmptyParts);
    return resolveCaseInsensitive(driveFolder(m.captured(1).at(0)), components);
}

QStringList DrivePaths::availableDrives() const {
    QStringList letters;
    for (auto it = config_.drives.constBegin(); it != config_.drives.constEnd(); ++it)
        letters << QString(it.key());
    const QStringList found =
        QDir(config_.drivesRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : found)
        if (name.size() == 1 && name.at(0).isLetter())
            letters << name.toUpper();
    letters.removeIf([](const QString& l) { return l == "A" || l == "B"; });
    letters.removeDuplicates();
    std::sort(letters.begin(), letters.end());
    return letters;
}
