#include "fakes/fake_serial_port.h"
#include "fakes/temp_station.h"
#include "receiver/eb_no.h"
#include "receiver/receiver_link.h"
#include "station/log_files.h"
#include "station/station.h"
#include "support/test.h"

namespace {

QByteArray carrierAnswer(const QByteArray& line12) {
    QByteArray a;
    for (int i = 1; i <= 11; ++i)
        a += "Line " + QByteArray::number(i) + "\r\n";
    return a + line12 + "\r\nLine 13\r\n>";
}

TEST(ExtractEbNoTest, TakesTheLastTwentyCharactersOfLineTwelve) {
    EXPECT_EQ(ExtractEbNo(carrierAnswer("Carrier Eb/No" + QByteArray(14, ' ') + "9.8 dB")),
              "9.8 dB");
    // Whatever the receiver prints within those twenty is kept as it stands.
    EXPECT_EQ(ExtractEbNo(carrierAnswer("Eb/No (dB):        12.4")), "o (dB):        12.4");
}

// A short line must not bring its line feed into the log: one poll, one line.
TEST(ExtractEbNoTest, ShortLineLeavesNoLineBreak) {
    EXPECT_EQ(ExtractEbNo(carrierAnswer("  7.1  ")), "7.1");
    EXPECT_EQ(ExtractEbNo(carrierAnswer("")), "");
}

TEST(ExtractEbNoTest, TooFewLinesGiveNothing) {
    EXPECT_EQ(ExtractEbNo("only\r\nthree\r\nlines\r\n>"), "");
    EXPECT_EQ(ExtractEbNo(""), "");
    // Line 12 without its ending still counts.
    QByteArray cut = carrierAnswer("9.9");
    cut.truncate(cut.indexOf("9.9") + 3);
    EXPECT_EQ(ExtractEbNo(cut), "9.9");
}

class PollEbNoTest : public ::testing::Test {
protected:
    PollEbNoTest() : t(QDateTime(QDate(2026, 3, 2), QTime(10, 20, 12))) {
        t.writeSettings({{Setting::CommPortNo, 1}, {Setting::BaudIndex, 2}});
        t.startUp();
        auto port = std::make_unique<FakeSerialPort>(shared);
        link = std::make_unique<ReceiverLink>(*t.station, std::move(port));
    }
    QByteArray ebnoLog() {
        return TempStation::readFile(t.host(logFileStationPath("EB", QDate(2026, 3, 2))));
    }

    TempStation t;
    FakeSerialPort::Shared shared;
    std::unique_ptr<ReceiverLink> link;
};

TEST_F(PollEbNoTest, AsksForTheCarrierAndLogsTheValue) {
    shared.answer = [](const QByteArray&) {
        return carrierAnswer("Eb/No" + QByteArray(14, ' ') + "9.8 dB");
    };
    PollEbNo(*t.station, *link);
    EXPECT_EQ(t.station->state.EbNoPollLatch, 1);
    EXPECT_EQ(shared.sessions, QByteArrayList{"R C\r"});
    EXPECT_EQ(ebnoLog(), "10:20:12  9.8 dB\r\n");
}

TEST_F(PollEbNoTest, SilentReceiverGivesAnEmptyValueAfterASecond) {
    PollEbNo(*t.station, *link);
    // Set at once, so the other ticks of the second do not poll again.
    EXPECT_EQ(t.station->state.EbNoPollLatch, 1);
    EXPECT_TRUE(ebnoLog().isEmpty());
    t.time.advance(1100);
    EXPECT_EQ(ebnoLog(), "10:20:13  \r\n");
}

TEST_F(PollEbNoTest, MissingPortIsLoggedAndTheEbNoLineStillWritten) {
    t.writeSettings({{Setting::ActivityLogOn, 1}});
    t.station->state.ActivityLogOn = 1;
    shared.failOpen = "No such file or directory";
    PollEbNo(*t.station, *link);
    EXPECT_EQ(ebnoLog(), "10:20:12  \r\n");
    const QByteArray errors =
        TempStation::readFile(t.host(logFileStationPath("ER", QDate(2026, 3, 2))));
    EXPECT_EQ(errors, "10:20:12  Eb/No poll: No such file or directory\r\n");
}

} // namespace
