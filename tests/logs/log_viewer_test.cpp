#include "logs/log_viewer.h"
#include "support/test.h"

#include "fakes/temp_station.h"

namespace {

class LogViewerTest : public ::testing::Test {
protected:
    void log(const QString& name, const QByteArray& text) {
        TempStation::writeFile(t.host("c:\\satfile\\logs\\" + name), text);
    }
    TempStation t;
};

} // namespace

TEST_F(LogViewerTest, DaysAreListedNewestFirst) {
    EXPECT_EQ(logDays(*t.paths, "AL"), QStringList({"No Logs Found"}));
    log("AL251231.log", "");
    log("al260101.LOG", "");
    log("ER260102.log", "");
    log("ALnotes.txt", "");
    EXPECT_EQ(logDays(*t.paths, "AL"), QStringList({"01/01/26", "12/31/25"}));
    EXPECT_EQ(logDays(*t.paths, "ER"), QStringList({"01/02/26"}));
}

TEST_F(LogViewerTest, ByTimeKeepsFileOrderAndByEventGroupsMessages) {
    log("AL260305.log", "08:00:00  Switched Port 1\r\n"
                        "09:00:00  Armed Channel 1\r\n"
                        "10:00:00  Switched Port 1\r\n");
    EXPECT_EQ(logDayLines(*t.paths, "AL", "03/05/26", false),
              QStringList({"08:00:00  Switched Port 1", "09:00:00  Armed Channel 1",
                           "10:00:00  Switched Port 1"}));
    EXPECT_EQ(logDayLines(*t.paths, "AL", "03/05/26", true),
              QStringList({"Armed Channel 1 09:00:00", "Switched Port 1 08:00:00",
                           "Switched Port 1 10:00:00"}));
}

TEST_F(LogViewerTest, AMissingDaySaysSo) {
    EXPECT_EQ(logDayLines(*t.paths, "EB", "03/04/26", false),
              QStringList({"Log for 03/04/26 does not exist."}));
    EXPECT_EQ(logWindowCaption("EB"), "Load EbNo Log");
    EXPECT_EQ(logDayCaption("AL", "03/04/26"), "Activity Log for 03/04/26");
}
