#include "platform/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

RecordFile::~RecordFile() {
    close();
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(other.fd_), length_(other.length_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        length_ = other.length_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

bool RecordFile::open(const QString& hostPath, int recordLength, QString* error) {
    close();
    const QByteArray native = hostPath.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error)
            *error = systemError();
        return false;
    }
    fd_ = fd;
    length_ = recordLength;
    path_ = hostPath;
    return true;
}

void RecordFile::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::optional<QByteArray> RecordFile::read(qint64 n) const {
    if (fd_ < 0 || n < 1 || length_ <= 0)
        return std::nullopt;
    QByteArray data(length_, '\0');
    qint64 done = 0;
    const off_t offset = off_t(n - 1) * length_;
    while (done < length_) {
        const ssize_t got = ::pread(fd_, data.data() + done, size_t(length_ - done), offset + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        done += got;
    }
    return data;
}

bool RecordFile::write(qint64 n, const QByteArray& data, QString* error) {
    if (fd_ < 0 || n < 1) {
        if (error)
            *error = fd_ < 0 ? QString("file is not open") : QString("bad record number %1").arg(n);
        return false;
    }
    QByteArray record = data.left(length_);
    if (record.size() < length_)
        record.append(QByteArray(length_ - record.size(), ' '));
    const off_t offset = off_t(n - 1) * length_;
    qint64 done = 0;
    while (done < length_) {
        const ssize_t put =
            ::pwrite(fd_, record.constData() + done, size_t(length_ - done), offset + done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (error)
                *error = put < 0 ? systemError() : QString("no space written");
            return false;
        }
        done += put;
    }
    return true;
}

QByteArray RecordFile::readAllBytes(qint64 maxRecords) const {
    const qint64 count = std::min(recordCount(), maxRecords);
    if (count <= 0)
        return {};
    QByteArray data(qsizetype(count) * length_, '\0');
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t got = ::pread(fd_, data.data() + done, size_t(data.size() - done), done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    data.truncate(qsizetype(done - done % length_));
    return data;
}

std::vector<QByteArray> RecordFile::readAll(qint64 maxRecords) const {
    const QByteArray data = readAllBytes(maxRecords);
    std::vector<QByteArray> records;
    records.reserve(size_t(data.size() / length_));
    for (qsizetype at = 0; at < data.size(); at += length_)
        records.push_back(data.mid(at, length_));
    return records;
}

qint64 RecordFile::recordCount() const {
    struct stat st {};
    if (fd_ < 0 || length_ <= 0 || ::fstat(fd_, &st) != 0)
        return 0;
    return st.st_size / length_;
}

bool RecordFile::tryLockExclusive() {
    return fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}
