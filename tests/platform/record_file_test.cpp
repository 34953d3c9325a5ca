#include "platform/record_file.h"
#include "support/test.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

class RecordFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("data.dat");
};

TEST_F(RecordFileTest, OpenCreatesAnEmptyFileThatHoldsNoRecords) {
    RecordFile f;
    QString error;
    ASSERT_TRUE(f.open(path, 4, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(f.recordCount(), 0);
    EXPECT_FALSE(f.read(1).has_value());
}

TEST_F(RecordFileTest, RecordsLiveAtTheirOffsetsAndArePaddedOrCut) {
    RecordFile f;
    ASSERT_TRUE(f.open(path, 4, nullptr));
    ASSERT_TRUE(f.write(1, "abcd"));
    ASSERT_TRUE(f.write(2, "xy"));     // padded with blanks
    ASSERT_TRUE(f.write(3, "123456")); // cut
    ASSERT_TRUE(f.write(2, "efgh"));   // replaced in place
    EXPECT_EQ(contents(path), QByteArray("abcdefgh1234"));
    EXPECT_EQ(f.read(2).value(), QByteArray("efgh"));
    EXPECT_EQ(f.recordCount(), 3);
    EXPECT_FALSE(f.read(4).has_value());
    EXPECT_FALSE(f.read(0).has_value());
}

// A write well past the end leaves a gap that reads back as zero bytes, as a
// settings record beyond the reserved ones does.
TEST_F(RecordFileTest, WritePastTheEndExtendsWithZeroGap) {
    RecordFile f;
    ASSERT_TRUE(f.open(path, 2, nullptr));
    ASSERT_TRUE(f.write(1, QByteArray("\x01\x00", 2)));
    ASSERT_TRUE(f.write(4, QByteArray("\x04\x00", 2)));
    EXPECT_EQ(contents(path), QByteArray("\x01\x00\x00\x00\x00\x00\x04\x00", 8));
    EXPECT_EQ(f.read(3).value(), QByteArray(2, '\0'));
}

// A partial record at the end (a file cut short) is not a record.
TEST_F(RecordFileTest, IncompleteLastRecordIsNotRead) {
    {
        QFile raw(path);
        ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
        raw.write("abcdef");
    }
    RecordFile f;
    ASSERT_TRUE(f.open(path, 4, nullptr));
    EXPECT_EQ(f.recordCount(), 1);
    EXPECT_TRUE(f.read(1).has_value());
    EXPECT_FALSE(f.read(2).has_value());
}

// Writes must reach the file at once: another reader sees them without the
// writer closing or flushing anything.
TEST_F(RecordFileTest, WritesAreVisibleToOtherReadersImmediately) {
    RecordFile f;
    ASSERT_TRUE(f.open(path, 3, nullptr));
    ASSERT_TRUE(f.write(1, "abc"));
    EXPECT_EQ(contents(path), QByteArray("abc"));
}

TEST_F(RecordFileTest, ExclusiveLockRefusesASecondHolderUntilClosed) {
    RecordFile first, second;
    ASSERT_TRUE(first.open(path, 1, nullptr));
    ASSERT_TRUE(second.open(path, 1, nullptr));
    EXPECT_TRUE(first.tryLockExclusive());
    EXPECT_FALSE(second.tryLockExclusive());
    first.close();
    EXPECT_TRUE(second.tryLockExclusive());
}

TEST_F(RecordFileTest, OpenFailureGivesTheSystemReason) {
    RecordFile f;
    QString error;
    EXPECT_FALSE(f.open(dir.filePath("missing/folder/file.dat"), 4, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(f.write(1, "x", &error));
}

} // namespace
