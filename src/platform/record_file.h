#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// A file of fixed-length records addressed by 1-based record number: record n
// lives at byte (n - 1) * length. Every data file of the station with fixed
// records goes through this type. Writes go straight to the operating system
// (no user-space buffer), so a crash right after a write loses nothing.
class RecordFile {
public:
    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&& other) noexcept;

    // Opens for reading and writing, creating an empty file when missing.
    // False with the system's reason in error.
    bool open(const QString& hostPath, int recordLength, QString* error);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    const QString& path() const { return path_; }
    int recordLength() const { return length_; }

    // Record n, or nothing when the file holds no complete record n.
    std::optional<QByteArray> read(qint64 n) const;

    // Writes record n, padded with blanks or cut to the record length. A
    // record past the end extends the file (a gap reads as zero bytes).
    bool write(qint64 n, const QByteArray& data, QString* error = nullptr);

    // The complete records from the first, at most maxRecords of them, in
    // one read: a damaged, huge file costs no more than the records used.
    std::vector<QByteArray> readAll(qint64 maxRecords) const;
    // The same records as one block of bytes, uncut.
    QByteArray readAllBytes(qint64 maxRecords) const;

    // Number of complete records in the file.
    qint64 recordCount() const;

    // Takes an exclusive lock held until close; false when another process
    // (or another open of the same file) holds it.
    bool tryLockExclusive();

private:
    int fd_ = -1;
    int length_ = 0;
    QString path_;
};
