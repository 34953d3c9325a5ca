#pragma once

#include <QMap>
#include <QString>
#include <array>

// The host configuration that maps the station's Windows-style world onto
// Linux: drive letters to folders, COM ports to devices, the I/O port file
// and the audio backend. Read from $VARNOLA_CONFIG, else
// $XDG_CONFIG_HOME/varnola/varnola.conf; a missing file means all defaults.
struct StationConfig {
    QString configPath;
    // Folder holding the default drive folders (<root>/C, <root>/H, ...).
    QString drivesRoot;
    // Letters given explicitly under [drives], upper case.
    QMap<QChar, QString> drives;
    // COM1..COM4.
    std::array<QString, 4> serialPorts{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
    // [io]: how the I/O ports are reached. ports= a file in which byte N is
    // port N; parport= the parallel port device (ports 888-890 only);
    // helper= varnola-ioport's socket. With none of them named, ports= is
    // /dev/port as it always was; naming one drops that default.
    QString ioPortsFile = "/dev/port";
    QString ioParport;
    QString ioHelper;
    QString audioBackend = "qt";
    std::array<QString, 2> audioInputs;
    std::array<QString, 2> audioOutputs;
    // [monitoring] textfile=: the metrics file for a monitoring system;
    // empty for none.
    QString monitoringTextfile;

    static QString defaultConfigPath();
    static QString defaultDrivesRoot();
    static StationConfig fromEnvironment();
    static StationConfig fromFile(const QString& path);
};
