#pragma once

#include "station/export_record.h"

#include <QString>
#include <array>
#include <vector>

class ScheduleFile;

// The rules of the export set-up window; the window only shows and forwards.

enum class ExportListView { Names, Number };

struct ExportProgramEntry {
    QString text;
    ScheduleNo n = 0;
};

// One entry per schedule in use, in record order. By name: the name (25
// characters), the length and the number; by number: the number first. The
// number is right-aligned in three characters.
std::vector<ExportProgramEntry> ExportProgramList(const ScheduleFile& file, ExportListView view);

// The Winjock slot of a schedule: its number plus 8000 ("8005" for 5).
QString WinjockSlotText(ScheduleNo n);
// What a Winjock rule shows as a day's destination: the slot with the
// playout store's placeholder for the name suffix.
QString WinjockPathText(ScheduleNo n);

// Keys a destination box accepts: letters, digits, colon, backslash,
// underscore and Backspace.
bool DestinationCharAccepted(QChar c);
// The error window's text for a refused key.
QString RefusedKeyMessage(QChar c);

// What the window holds when Apply is pressed.
struct ExportForm {
    int16_t mode = ExportInactive;
    std::array<bool, 7> days{};
    std::array<QString, 7> paths;
    bool fade = false;
    QString length;
    QString number;
};

ExportRecord BuildExportRecord(const ExportForm& form);
