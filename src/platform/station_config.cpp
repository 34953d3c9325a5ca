#include "platform/station_config.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QString xdgDir(const char* variable, const QString& fallbackUnderHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir::homePath() + "/" + fallbackUnderHome;
}

} // namespace

QString StationConfig::defaultConfigPath() {
    return xdgDir("XDG_CONFIG_HOME", ".config") + "/varnola/varnola.conf";
}

QString StationConfig::defaultDrivesRoot() {
    return xdgDir("XDG_DATA_HOME", ".local/share") + "/varnola/drives";
}

StationConfig StationConfig::fromEnvironment() {
    const QString path = qEnvironmentVariable("VARNOLA_CONFIG");
    return fromFile(path.isEmpty() ? defaultConfigPath() : path);
}

StationConfig StationConfig::fromFile(const QString& path) {
    StationConfig c;
    c.configPath = path;
    c.drivesRoot = defaultDrivesRoot();

    // QSettings would create nothing for a missing file, but say so plainly.
    if (!QFileInfo::exists(path))
        return c;
    QSettings ini(path, QSettings::IniFormat);

    ini.beginGroup("drives");
    for (const QString& key : ini.childKeys()) {
        if (key.size() != 1 || !key.at(0).isLetter())
            continue;
        const QString folder = ini.value(key).toString().trimmed();
        if (!folder.isEmpty())
            c.drives.insert(key.at(0).toUpper(), folder);
    }
    ini.endGroup();

    ini.beginGroup("serial");
    for (int i = 0; i < 4; ++i) {
        const QString key = QString("COM%1").arg(i + 1);
        for (const QString& k : ini.childKeys())
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                c.serialPorts[i] = ini.value(k).toString().trimmed();
    }
    ini.endGroup();

    c.ioParport = ini.value("io/parport").toString().trimmed();
    c.ioHelper = ini.value("io/helper").toString().trimmed();
    if (ini.contains("io/ports"))
        c.ioPortsFile = ini.value("io/ports").toString().trimmed();
    else if (!c.ioParport.isEmpty() || !c.ioHelper.isEmpty())
        c.ioPortsFile.clear();
    c.audioBackend = ini.value("audio/backend", c.audioBackend).toString().trimmed().toLower();
    for (int i = 0; i < 2; ++i) {
        c.audioInputs[i] = ini.value(QString("audio/input%1").arg(i + 1)).toString().trimmed();
        c.audioOutputs[i] = ini.value(QString("audio/output%1").arg(i + 1)).toString().trimmed();
    }
    c.monitoringTextfile = ini.value("monitoring/textfile").toString().trimmed();
    return c;
}
