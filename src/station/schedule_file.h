#pragma once

#include "platform/record_file.h"
#include "station/schedule_record.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The schedule file, open for the whole run. A schedule's record number is
// its identity: records never move, a delete leaves a free slot in place and
// the file never shrinks.
class ScheduleFile {
public:
    static constexpr const char* StationPath = "c:\\satfile\\SatList.dat";
    static constexpr ScheduleNo MaxSchedules = 999;

    bool open(const QString& hostPath, QString* error);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    RecordFile& file() { return file_; }

    // Nothing when the file holds no complete record n.
    std::optional<ScheduleRecord> read(ScheduleNo n) const;
    bool write(ScheduleNo n, const ScheduleRecord& record, QString* error = nullptr);
    bool deleteRecord(ScheduleNo n, QString* error = nullptr);

    struct Entry {
        ScheduleNo n;
        ScheduleFields fields;
    };
    // The first MaxSchedules records as stored. Records past them are never
    // read; the excess handler hears of them once per open.
    std::vector<QByteArray> records() const;
    // The same records as one block, read afresh on every call.
    QByteArray recordBytes() const;
    void setExcessHandler(std::function<void(qint64 records)> handler) {
        onExcess_ = std::move(handler);
    }

    // The schedules in use, in record order, read up to the first end of file.
    // With a filter, only the records it accepts are parsed and returned.
    std::vector<Entry> scan(const std::function<bool(const ScheduleRecord&)>& filter = {}) const;

    // The lowest slot that is free or past the end; above MaxSchedules means full.
    ScheduleNo freeSlot() const;

private:
    void noteExcess() const;

    RecordFile file_;
    std::function<void(qint64)> onExcess_;
    mutable bool excessNoted_ = false;
};
