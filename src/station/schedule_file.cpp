#include "station/schedule_file.h"

bool ScheduleFile::open(const QString& hostPath, QString* error) {
    excessNoted_ = false;
    return file_.open(hostPath, ScheduleRecord::Length, error);
}

std::vector<QByteArray> ScheduleFile::records() const {
    noteExcess();
    return file_.readAll(MaxSchedules);
}

QByteArray ScheduleFile::recordBytes() const {
    noteExcess();
    return file_.readAllBytes(MaxSchedules);
}

void ScheduleFile::noteExcess() const {
    if (!excessNoted_) {
        const qint64 count = file_.recordCount();
        if (count > MaxSchedules) {
            excessNoted_ = true;
            if (onExcess_)
                onExcess_(count);
        }
    }
}

std::optional<ScheduleRecord> ScheduleFile::read(ScheduleNo n) const {
    const auto bytes = file_.read(n);
    if (!bytes)
        return std::nullopt;
    return ScheduleRecord(*bytes);
}

bool ScheduleFile::write(ScheduleNo n, const ScheduleRecord& record, QString* error) {
    return file_.write(n, record.bytes(), error);
}

bool ScheduleFile::deleteRecord(ScheduleNo n, QString* error) {
    return write(n, ScheduleRecord::deleted(), error);
}

std::vector<ScheduleFile::Entry>
ScheduleFile::scan(const std::function<bool(const ScheduleRecord&)>& filter) const {
    std::vector<Entry> entries;
    ScheduleNo n = 0;
    for (const QByteArray& bytes : records()) {
        ++n;
        const ScheduleRecord rec(bytes);
        if (rec.inUse() && (!filter || filter(rec)))
            entries.push_back({n, rec.parse()});
    }
    return entries;
}

ScheduleNo ScheduleFile::freeSlot() const {
    ScheduleNo n = 1;
    for (; n <= MaxSchedules; ++n) {
        const auto rec = read(n);
        if (!rec || !rec->inUse())
            return n;
    }
    return n;
}
