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

namespace {
// The port and baud rate are the communications window's.
bool windowShows(Setting n) {
    return n != Setting::CommPortNo && n != Setting::BaudIndex;
}

// The audio devices, the console buttons and the relay reset change in memory
// only with their hand-over (Apply, a click): re-reading the file for the
// window leaves them as they are.
bool readRefreshesMemory(Setting n) {
    return (n >= Setting::RecordThreshold && n <= Setting::WaveDriveNo) ||
           n == Setting::TimeChangeAdjust;
}
} // namespace

StoredSettings readSettingsForWindow(Station& station) {
    SettingsFile file;
    const bool opened = file.open(station.paths().resolve(SettingsFile::StationPath), nullptr);
    StoredSettings r;
    forEachSetting(station.state, [&](Setting n, auto& held) {
        if (!windowShows(n))
            return;
        if (!opened) {
            r[n] = int16_t(held);
            return;
        }
        r[n] = file.read(n);
        if (readRefreshesMemory(n))
            held = r[n];
    });
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

    SettingsFile file;
    QString reason;
    bool written = file.open(station.paths().resolve(SettingsFile::StationPath), &reason);
    forEachSetting(s, [&](Setting n, auto held) {
        if (!written || !windowShows(n))
            return;
        // The button records take the boxes as they stand: memory follows a
        // box only when it is clicked.
        int16_t value = int16_t(held);
        if (n == Setting::PlayButtonVisible)
            value = c.playVisible;
        else if (n == Setting::StopButtonVisible)
            value = c.stopVisible;
        written = file.write(n, value, &reason);
    });
    file.close();
    if (!written)
        messages.ShowMessage(QString("Cannot write %1: %2").arg(SettingsFile::StationPath, reason));

    const QString folder = s.WaveDrive + ":\\Satfile";
    if (!files::folderExists(station.paths(), folder) &&
        !files::createFolder(station.paths(), folder, &reason))
        messages.ShowMessage(QString("Cannot create %1: %2").arg(folder, reason));
    return true;
}
