#pragma once

#include "station/settings_file.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class IoPorts;
class Station;

// The rules of the per-computer settings window, kept apart from its widgets.

// One entry of a settings list: the text shown and the value it stands for.
struct SettingsListEntry {
    QString text;
    int16_t value = 0;
};

// The drives offered for the wave store: A and B are floppy drives and never
// hold it. Value = character code of the letter minus 64 (C = 3).
std::vector<SettingsListEntry> waveDriveEntries(const QStringList& driveLetters);

// "One Day" .. "One Year" with the period codes 1 .. 4.
const std::vector<SettingsListEntry>& retentionPeriodEntries();
// The Eb/No rates; the setting is the position in this list.
const QStringList& ebNoRateNames();

// The number at the start of the threshold text, rounded to the nearest
// whole number, 0 when the text does not start with one. Held to the range
// of the 16-bit record so a large number cannot wrap to a negative level.
int16_t thresholdValue(const QString& text);

// "DST " + spring date + "  Std " + fall date, in the fixed short date form.
QString timeChangeText(const QDate& spring, const QDate& fall);

// The records the window shows, as the settings file holds them. The port
// and baud rate are not among them: the communications window keeps those.
class StoredSettings {
public:
    int16_t& operator[](Setting n) { return values_.at(size_t(n)); }
    int16_t operator[](Setting n) const { return values_.at(size_t(n)); }

private:
    std::array<int16_t, size_t(Setting::TimeChangeAdjust) + 1> values_{};
};

// Re-reads the settings file for the window and refreshes the settings the
// window shows from it in memory. A file that cannot be opened leaves memory
// alone and gives the values memory holds.
StoredSettings readSettingsForWindow(Station& station);

// Immediate effects of the window's clicks.
void selectWaveDrive(Station& station, int16_t waveDriveNo);
// The console buttons show only while the playlist is filled.
void setPlayVisible(Station& station, int16_t value);
void setStopVisible(Station& station, int16_t value);
// Stores the remote-control hardware; the Prairie card (2) has its ports set
// up at once. A failing port write is reported in the error window.
void selectRemoteControl(Station& station, IoPorts* ports, int32_t cardType);

constexpr int PrairieControlPort = 647;
constexpr uint8_t PrairieControlValue = 138;

// What Apply takes from the window. A device list without a selection keeps
// the stored device: the file has no value for "none".
struct SettingsChoice {
    std::optional<int16_t> devices[4];
    bool daysSelected = false;
    bool driveSelected = false;
    QString threshold;
    int16_t playVisible = 0, stopVisible = 0, resetRelays = 0, timeChange = 0;
};

// Validates (days first, then the drive), writes every record the window
// shows and creates the wave store's Satfile folder. A failing write or
// folder is reported in the error window and the next step still runs. False
// when validation stopped it.
bool applySettings(Station& station, const SettingsChoice& choice);
