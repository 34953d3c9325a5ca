#include "receiver/frmSetReceiver.h"
#include "support/test.h"

#include "fakes/fake_serial_port.h"
#include "fakes/temp_station.h"

#include <QListWidget>
#include <QPushButton>

namespace {

class SetReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.writeSettings({{Setting::CommPortNo, 1}, {Setting::BaudIndex, 2}});
        t.startUp();
        link = std::make_unique<ReceiverLink>(*t.station, std::make_unique<FakeSerialPort>(port));
    }
    void open(const QByteArray& sources) {
        TempStation::writeFile(t.host("c:\\satfile\\Source.dat"), sources);
        w = std::make_unique<frmSetReceiver>(
            *t.station, *link, [this](const QString& query) { dataWindowQueries << query; });
        w->show();
    }
    QListWidget* list(const char* name) { return w->findChild<QListWidget*>(name); }
    QStringList items(const char* name) {
        QStringList texts;
        for (int i = 0; i < list(name)->count(); ++i)
            texts << list(name)->item(i)->text();
        return texts;
    }
    void set(int portRow, int routeRow, int sourceRow, int attRow) {
        port.sessions.clear();
        list("lstPort")->setCurrentRow(portRow);
        list("lstRoute")->setCurrentRow(routeRow);
        list("lstLang")->setCurrentRow(sourceRow);
        list("lstAtt")->setCurrentRow(attRow);
        QTest::mouseClick(w->findChild<QPushButton*>("cmdSet"), Qt::LeftButton);
        t.time.advance(100);
    }

    TempStation t;
    FakeSerialPort::Shared port;
    std::unique_ptr<ReceiverLink> link;
    std::unique_ptr<frmSetReceiver> w;
    // The query each time the data window was asked for.
    QStringList dataWindowQueries;
};

} // namespace

TEST_F(SetReceiverTest, ListsFilledWithFirstItemsSelected) {
    open("ZZ9\r\nAA1\r\n\r\nBB2\n");
    EXPECT_EQ(items("lstPort"), (QStringList{"Port 1", "Port 2", "Port 3", "Port 4"}));
    EXPECT_EQ(items("lstRoute"), (QStringList{"Left", "Right", "Stereo", "Reverse"}));
    EXPECT_EQ(items("lstAtt").size(), 15);
    EXPECT_EQ(items("lstAtt").last(), "14");
    EXPECT_EQ(items("lstLang"), (QStringList{"ZZ9", "AA1", "BB2"}));
    for (const char* name : {"lstPort", "lstRoute", "lstAtt", "lstLang"})
        EXPECT_EQ(list(name)->currentRow(), 0) << name;
    // No attenuation step may be cut off or need scrolling to.
    const QRect view = list("lstAtt")->viewport()->rect();
    for (int row = 0; row < 15; ++row)
        EXPECT_TRUE(view.contains(list("lstAtt")->visualItemRect(list("lstAtt")->item(row))))
            << row;
}

// The data window is asked for the port report.
TEST_F(SetReceiverTest, SetSendsTheCommandThenReleasesThePortsRelays) {
    open("ZZ9\r\nAA1\r\n");
    set(2, 2, 1, 0);
    EXPECT_EQ(port.sessions, (QByteArrayList{"SETAUDIO 3 S AA10\r", "ER D 1\r"}));
    EXPECT_EQ(dataWindowQueries, QStringList{"R M"});
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(SetReceiverTest, EachPortReleasesItsOwnRelaysInOrder) {
    open("AA1\n");
    const QByteArrayList expected[] = {{"SETAUDIO 1 1 AA114\r", "ER D 11\r", "ER D 14\r"},
                                       {"SETAUDIO 2 2 AA114\r", "ER D 4\r", "ER D 7\r"},
                                       {"SETAUDIO 3 S AA114\r", "ER D 1\r"},
                                       {"SETAUDIO 4 R AA114\r", "ER D 8\r"}};
    for (int row = 0; row < 4; ++row) {
        set(row, row, 0, 14);
        EXPECT_EQ(port.sessions, expected[row]) << "port " << row + 1;
    }
}

// Without a source the receiver would take the attenuation for one.
TEST_F(SetReceiverTest, NoSourceCodesSendsNothing) {
    open("\r\n  \r\n");
    EXPECT_EQ(list("lstLang")->count(), 0);
    set(0, 0, 0, 0);
    EXPECT_EQ(t.messages.shown,
              QStringList{"No program source codes: add them in SetUp, Program Source Codes."});
    EXPECT_TRUE(port.sessions.isEmpty());
    EXPECT_TRUE(dataWindowQueries.isEmpty());
}
