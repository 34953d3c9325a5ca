#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <array>
#include <optional>

class DrivePaths;

// The playout store's side of a Winjock export: its programme table and the
// names and companion file it expects beside each recording.

// drive + ":\programs\".
QString ProgramsFolder(QChar drive);

// The naming kind ('1' dated, '2' weekday, '3' evergreen) of record
// WinjockNumber - 8000 of the drive's Program.dat (32-character records,
// the kind first). Nothing, with the problem described, when the table is
// missing or unreadable, holds no such record, or the record is inactive.
std::optional<QChar> ReadNamingKind(const DrivePaths& paths, QChar drive, int WinjockNumber,
                                    QString* problem);

// The next date, today included, on a weekday (0 = Sunday).
QDate NextDateOnWeekday(const QDate& today, int weekday);

struct PlayoutNaming {
    QString suffix; // three characters after the Winjock number
    QString label;  // ten characters for the companion file
};

// The names of a recording made on a weekday (0 = Sunday) under a naming
// kind; nothing for a kind the table does not define.
std::optional<PlayoutNaming> namingOf(QChar kind, int weekday, const QDate& today,
                                      const std::array<QString, 8>& DayNames);

// The companion file's one 20-byte record: the length in whole seconds less
// the two the fade takes, the length in whole seconds, and the label, each
// left-aligned in its field; the rest stays zero bytes.
QByteArray CompanionDataRecord(qint64 copyMs, bool fade, const QString& label);
