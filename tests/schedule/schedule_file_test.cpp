#include "station/schedule_file.h"
#include "support/test.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

ScheduleRecord named(const QString& name, const QString& chan = "1") {
    ScheduleFields f;
    f.SatName = name;
    f.RecChan = chan;
    return ScheduleRecord::build(f);
}

class ScheduleFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(file.open(path, nullptr)); }
    qint64 size() const { return QFileInfo(path).size(); }

    QTemporaryDir dir;
    QString path = dir.filePath("SatList.dat");
    ScheduleFile file;
};

TEST_F(ScheduleFileTest, EmptyFileHasNoSchedulesAndSlotOneIsFree) {
    EXPECT_TRUE(file.scan().empty());
    EXPECT_EQ(file.freeSlot(), 1);
    EXPECT_FALSE(file.read(1).has_value());
}

TEST_F(ScheduleFileTest, DeletedSlotIsReusedBeforeTheFileGrows) {
    ASSERT_TRUE(file.write(1, named("One")));
    ASSERT_TRUE(file.write(2, named("Two")));
    ASSERT_TRUE(file.write(3, named("Three")));
    ASSERT_TRUE(file.deleteRecord(2));
    EXPECT_EQ(size(), 3 * 331);
    EXPECT_EQ(file.freeSlot(), 2);

    const auto listed = file.scan();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].n, 1);
    EXPECT_EQ(listed[1].n, 3);
    EXPECT_EQ(listed[1].fields.SatName.trimmed(), "Three");

    ASSERT_TRUE(file.write(file.freeSlot(), named("New")));
    EXPECT_EQ(size(), 3 * 331);
    EXPECT_EQ(file.read(2)->parse().SatName.trimmed(), "New");
    EXPECT_EQ(file.freeSlot(), 4);
}

TEST_F(ScheduleFileTest, AnyInUseOtherThanOneIsAFreeSlotAndNeverListed) {
    ASSERT_TRUE(file.write(1, named("One")));
    QByteArray odd = named("Odd").bytes();
    odd[0] = 'X';
    ASSERT_TRUE(file.write(2, ScheduleRecord(odd)));
    EXPECT_EQ(file.scan().size(), 1u);
    EXPECT_EQ(file.freeSlot(), 2);
}

// The scan stops at the first end of file: a torn last record is not a
// schedule, and nothing past it is read.
TEST_F(ScheduleFileTest, TornLastRecordIsNotASchedule) {
    ASSERT_TRUE(file.write(1, named("One")));
    file.close();
    {
        QFile raw(path);
        ASSERT_TRUE(raw.open(QIODevice::Append));
        raw.write(named("Torn").bytes().left(100));
    }
    ASSERT_TRUE(file.open(path, nullptr));
    EXPECT_EQ(file.scan().size(), 1u);
    EXPECT_EQ(file.freeSlot(), 2);
}

TEST_F(ScheduleFileTest, FullFileOffersSlotThousandButEditsStillSave) {
    const ScheduleRecord rec = named("Programme");
    for (ScheduleNo n = 1; n <= ScheduleFile::MaxSchedules; ++n)
        ASSERT_TRUE(file.write(n, rec));
    EXPECT_EQ(file.freeSlot(), 1000);
    EXPECT_GT(file.freeSlot(), ScheduleFile::MaxSchedules);
    ASSERT_TRUE(file.write(500, named("Edited", "2")));
    EXPECT_EQ(file.read(500)->parse().RecChan, "2");
    EXPECT_EQ(size(), 999 * 331);

    // A damaged, huge file: only the records the station uses are read, and
    // the excess is reported once, however often the file is scanned.
    ASSERT_TRUE(file.write(1500, rec));
    int reported = 0;
    file.setExcessHandler([&](qint64 records) {
        ++reported;
        EXPECT_EQ(records, 1500);
    });
    EXPECT_EQ(file.scan().size(), 999u);
    EXPECT_EQ(file.records().size(), 999u);
    EXPECT_EQ(file.freeSlot(), 1000);
    EXPECT_EQ(reported, 1);
}

TEST_F(ScheduleFileTest, RecordsKeepTheirNumbersAcrossReopen) {
    ASSERT_TRUE(file.write(1, named("One")));
    ASSERT_TRUE(file.write(2, named("Two")));
    ASSERT_TRUE(file.deleteRecord(1));
    file.close();
    ScheduleFile again;
    ASSERT_TRUE(again.open(path, nullptr));
    const auto listed = again.scan();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].n, 2);
    EXPECT_EQ(again.read(1)->bytes(), ScheduleRecord::deleted().bytes());
}

} // namespace
