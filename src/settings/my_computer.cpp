#include "settings/my_computer.h"

#include "platform/file_system.h"
#include "platform/io_ports.h"
#include "station/messages.h"
#include "station/settings_file.h"
#include "station/station.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

std::vector<SettingsListEntry> waveDriveEntries(const QStringList& driveLetters) {
    std::vector<SettingsListEntry> entries;
    for (const QString& drive : driveLetters) {
        const QString letter = drive.left(1).toUpper();
        if (letter.isEmpty() || letter < "C" || letter > "Z")
            continue;
        entries.push_back({letter, int16_t(letter.at(0).unicode() - 64)});
    }
    return entries;
}

const std::vector<SettingsListEntry>& retentionPeriodEntries() {
    static const std::vector<SettingsListEntry> entries = {
        {"One Day", 1}, {"One Week", 2}, {"One Month", 3}, {"One Year", 4}};
    return entries;
}

const QStringList& ebNoRateNames() {
    static const QStringList names = {"Do Not Log", "1 per hour", "2 per hour",
                                      "3 per hour", "4 per hour", "1 per minute"};
    return names;
}

int16_t thresholdValue(const QString& text) {
    static const QRegularExpression number(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
    const auto m = number.match(text);
    if (!m.hasMatch())
        return 0;
    const double value = std::nearbyint(m.captured(0).trimmed().toDouble());
    constexpr double lo = std::numeric_limits<int16_t>::min();
    constexpr double hi = std::numeric_limits<int16_t>::max();
    return int16_t(std::clamp(value, lo, hi));
}

QString timeChangeText(const QDate& spring, const QDate& fall) {
    return "DST " + spring.toString("M/d/yyyy") + "  Std " + fall.toString("M/d/yyyy");
}

StoredSettings readSettingsForWindow(Station& station) {
    StationState& s = station.state;
    SettingsFile file;
    StoredSettings r;
    if (!file.open(station.paths().resolve(SettingsFile::StationPath), nullptr)) {
        r.devices[0] = s.PlayDevice;
        r.devices[1] = s.AuditionDevice;
        r.devices[2] = s.RecDevice1;
        r.devices[3] = s.RecDevice2;
        r.threshold = s.RecordThreshold;
        r.waveKeepDays = s.WaveKeepDays;
        r.activityLogKeep = s.ActivityLogKeep;
        r.ebNoLogKeep = s.EbNoLogKeep;
        r.ebNoLogInterval = int16_t(s.EbNoLogInterval);
        r.activityLogOn = int16_t(s.ActivityLogOn);
        r.relayCardType = int16_t(s.RelayCardType);
        r.waveDriveNo = s.WaveDriveNo;
        r.playVisible = s.PlayButtonVisible;
        r.stopVisible = s.StopButtonVisible;
        r.resetRelays = s.ResetExpansionRelays;
        r.timeChange = s.TimeChangeAdjust;
        return r;
    }
    for (int i = 0; i < 4; ++i)
        r.devices[i] = file.read(i + 1);
    r.threshold = s.RecordThreshold = file.read(5);
    r.waveKeepDays = s.WaveKeepDays = file.read(6);
    r.activityLogKeep = s.ActivityLogKeep = file.read(7);
    r.ebNoLogKeep = s.EbNoLogKeep = file.read(8);
    s.EbNoLogInterval = r.ebNoLogInterval = file.read(9);
    s.ActivityLogOn = r.activityLogOn = file.read(10);
    s.RelayCardType = r.relayCardType = file.read(11);
    r.waveDriveNo = s.WaveDriveNo = file.read(12);
    r.playVisible = file.read(15);
    r.stopVisible = file.read(16);
    r.resetRelays = file.read(17);
    r.timeChange = s.TimeChangeAdjust = file.read(21);
    return r;
}

void selectWaveDrive(Station& station, int16_t waveDriveNo) {
    station.state.WaveDriveNo = waveDriveNo;
    station.state.WaveDrive = waveDriveLetter(waveDriveNo);
}

void setPlayVisible(Station& station, int16_t value) {
    station.state.PlayButtonVisible = value;
    station.display.cmdPlayVisible = value == 1 && station.display.PlayListVisible;
}

void setStopVisible(Station& station, int16_t value) {
    station.state.StopButtonVisible = value;
    station.display.cmdStopVisible = value == 1 && station.display.PlayListVisible;
}

void selectRemoteControl(Station& station, IoPorts* ports, int32_t cardType) {
    station.state.RelayCardType = cardType;
    if (cardType != 2)
        return;
    if (!ports) {
        station.messages().ShowMessage("The Prairie Digital card cannot be set up: no I/O ports.");
        return;
    }
    if (!ports->Outp(PrairieControlPort, PrairieControlValue))
        station.messages().ShowMessage("The Prairie Digital card cannot be set up: " +
                                       ports->lastError());
}

bool applySettings(Station& station, const SettingsChoice& c) {
    Messages& messages = station.messages();
    if (!c.daysSelected) {
        messages.ShowMessage("You must select the number of days to save wave files.");
        return false;
    }
    if (!c.driveSelected) {
        messages.ShowMessage("You must select a hard drive.");
        return false;
    }
    StationState& s = station.state;
    int16_t* const devices[4] = {&s.PlayDevice, &s.AuditionDevice, &s.RecDevice1, &s.RecDevice2};
    for (int i = 0; i < 4; ++i)
        if (c.devices[i])
            *devices[i] = *c.devices[i];
    s.RecordThreshold = thresholdValue(c.threshold);
    s.ResetExpansionRelays = c.resetRelays;
    s.TimeChangeAdjust = c.timeChange;

    const std::pair<int, int16_t> records[] = {
        {1, s.PlayDevice},
        {2, s.AuditionDevice},
        {3, s.RecDevice1},
        {4, s.RecDevice2},
        {5, s.RecordThreshold},
        {6, s.WaveKeepDays},
        {7, s.ActivityLogKeep},
        {8, s.EbNoLogKeep},
        {9, int16_t(s.EbNoLogInterval)},
        {10, int16_t(s.ActivityLogOn)},
        {11, int16_t(s.RelayCardType)},
        {12, s.WaveDriveNo},
        {15, c.playVisible},
        {16, c.stopVisible},
        {17, s.ResetExpansionRelays},
        {21, s.TimeChangeAdjust},
    };
    SettingsFile file;
    QString reason;
    bool written = file.open(station.paths().resolve(SettingsFile::StationPath), &reason);
    for (const auto& [n, value] : records) {
        if (!written)
            break;
        written = file.write(n, value, &reason);
    }
    file.close();
    if (!written)
        messages.ShowMessage(QString("Cannot write %1: %2").arg(SettingsFile::StationPath, reason));

    const QString folder = s.WaveDrive + ":\\Satfile";
    if (!files::folderExists(station.paths(), folder) &&
        !files::createFolder(station.paths(), folder, &reason))
        messages.ShowMessage(QString("Cannot create %1: %2").arg(folder, reason));
    return true;
}
