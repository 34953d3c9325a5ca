#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>

namespace files {

namespace {

// Splits a station pattern into its folder and the last component.
std::pair<QString, QString> splitPattern(const QString& stationPattern) {
    const qsizetype cut =
        std::max(stationPattern.lastIndexOf('\\'), stationPattern.lastIndexOf('/'));
    if (cut < 0) {
        // "c:*.log" names the drive's top folder.
        if (stationPattern.size() >= 2 && stationPattern.at(1) == ':')
            return {stationPattern.left(2), stationPattern.mid(2)};
        return {".", stationPattern};
    }
    return {stationPattern.left(cut + 1), stationPattern.mid(cut + 1)};
}

bool matchFrom(const QString& name, qsizetype ni, const QString& pattern, qsizetype pi) {
    while (pi < pattern.size()) {
        const QChar p = pattern.at(pi);
        if (p == '*') {
            while (pi < pattern.size() && pattern.at(pi) == '*')
                ++pi;
            if (pi == pattern.size())
                return true;
            for (qsizetype k = ni; k <= name.size(); ++k)
                if (matchFrom(name, k, pattern, pi))
                    return true;
            return false;
        }
        if (ni >= name.size())
            return false;
        if (p != '?' && p.toCaseFolded() != name.at(ni).toCaseFolded())
            return false;
        ++pi;
        ++ni;
    }
    return ni == name.size();
}

} // namespace

bool wildcardMatch(const QString& name, const QString& pattern) {
    if (matchFrom(name, 0, pattern, 0))
        return true;
    // "*.*" and "AL*.*" also take names with no dot at all.
    if (pattern.endsWith(".*") && !name.contains('.'))
        return matchFrom(name, 0, pattern.chopped(2), 0);
    return false;
}

bool folderExists(const DrivePaths& paths, const QString& stationPath) {
    return QFileInfo(paths.resolve(stationPath)).isDir();
}

bool createFolder(const DrivePaths& paths, const QString& stationPath, QString* error) {
    const QString host = paths.resolve(stationPath);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(host.toStdString()), ec);
    if (!ec && QFileInfo(host).isDir())
        return true;
    if (error)
        *error = ec ? QString::fromStdString(ec.message())
                    : QString("%1 exists and is not a folder").arg(host);
    return false;
}

bool fileExists(const DrivePaths& paths, const QString& stationPath) {
    return QFileInfo(paths.resolve(stationPath)).isFile();
}

bool setModified(const QString& hostPath, const QDateTime& at) {
    QFile f(hostPath);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(at, QFileDevice::FileModificationTime);
}

QStringList listFiles(const DrivePaths& paths, const QString& stationPattern) {
    const auto [folder, pattern] = splitPattern(stationPattern);
    const QString hostFolder = paths.resolve(folder);
    QStringList names;
    const QStringList entries =
        QDir(hostFolder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : entries)
        if (wildcardMatch(e, pattern))
            names << e;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

int deleteFiles(const DrivePaths& paths, const QString& stationPattern, QStringList* failures,
                const std::function<bool(const QString&)>& keep) {
    const auto [folder, pattern] = splitPattern(stationPattern);
    const QString hostFolder = paths.resolve(folder);
    int deleted = 0;
    for (const QString& name : listFiles(paths, stationPattern)) {
        if (keep && keep(hostFolder + "/" + name))
            continue;
        if (QFile::remove(hostFolder + "/" + name))
            ++deleted;
        else if (failures)
            *failures << hostFolder + "/" + name;
    }
    return deleted;
}

} // namespace files
