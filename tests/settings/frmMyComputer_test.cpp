#include "settings/frmMyComputer.h"
#include "support/test.h"

#include "fakes/fake_audio.h"
#include "fakes/temp_station.h"
#include "platform/io_ports.h"
#include "station/settings_file.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

class MyComputerTest : public ::testing::Test {
protected:
    using enum Setting;
    void open(const SettingRecords& records) {
        if (!records.empty())
            t.writeSettings(records);
        t.startUp();
        TempStation::writeFile(portFile(), QByteArray(1024, '\0'));
        w = std::make_unique<frmMyComputer>(*t.station, audio, &ports);
        w->show();
    }
    QString portFile() const { return t.root() + "/ports"; }
    QListWidget* list(const char* name) { return w->findChild<QListWidget*>(name); }
    QCheckBox* check(const char* name) { return w->findChild<QCheckBox*>(name); }
    void click(const char* name) {
        QTest::mouseClick(w->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    void clickRow(QListWidget* l, int row) {
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualItemRect(l->item(row)).center());
    }
    void clickBox(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    int16_t record(Setting n) {
        SettingsFile f;
        EXPECT_TRUE(f.open(t.host(SettingsFile::StationPath), nullptr));
        return f.read(n);
    }

    TempStation t;
    FakeAudioDevices audio;
    PortFile ports{t.root() + "/ports"};
    std::unique_ptr<frmMyComputer> w;
};

} // namespace

TEST_F(MyComputerTest, WithoutAFileNothingIsChosenAndApplyAsksForTheDaysFirst) {
    open({});
    EXPECT_EQ(list("lstDrv")->count(), 4); // C, D, H, P
    EXPECT_EQ(list("lstDrv")->item(0)->text(), "C");
    EXPECT_EQ(list("lstMM1")->count(), 2);
    EXPECT_EQ(list("lstMM3")->item(1)->text(), "Fake input 2");
    for (const char* name : {"List1", "List2", "List3", "lstDrv"})
        EXPECT_EQ(list(name)->currentRow(), -1) << name;
    EXPECT_EQ(list("List4")->currentItem()->text(), "Do Not Log");
    EXPECT_TRUE(w->findChild<QRadioButton*>("Option2_0")->isChecked());
    for (const char* name : {"Check1", "Check2", "Check3", "Check4", "chkTimeChange"})
        EXPECT_FALSE(check(name)->isChecked()) << name;
    click("cmdApply");
    EXPECT_EQ(t.messages.shown,
              QStringList({"You must select the number of days to save wave files."}));
}

TEST_F(MyComputerTest, ChoosingDriveDStoresFourAndApplyCreatesItsFolder) {
    open({{WaveKeepDays, 2}, {WaveDriveNo, 3}, {CommPortNo, 1}, {BaudIndex, 2}});
    EXPECT_EQ(list("lstDrv")->currentItem()->text(), "C");
    clickRow(list("lstDrv"), 1);
    EXPECT_EQ(t.station->state.WaveDriveNo, 4);
    EXPECT_EQ(t.station->state.WaveDrive, "D");
    w->findChild<QLineEdit*>("txtThreshold")->setText("abc");
    click("cmdApply");
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_TRUE(QDir(t.drive('D') + "/Satfile").exists());
    EXPECT_EQ(TempStation::readFile(t.host(SettingsFile::StationPath)).size(), 42);
    EXPECT_EQ(record(WaveDriveNo), 4);
    EXPECT_EQ(record(RecordThreshold), 0);
    EXPECT_EQ(record(CommPortNo), 1);
    EXPECT_EQ(record(BaudIndex), 2);
}

// The console shows the change at once; only Apply makes it permanent.
TEST_F(MyComputerTest, UntickingPlayVisibleHidesThePlayButtonButNotInTheFile) {
    open({{PlayButtonVisible, 1}, {StopButtonVisible, 1}});
    t.station->display.PlayListVisible = true;
    t.station->display.cmdPlayVisible = true;
    clickBox(check("Check1"));
    EXPECT_EQ(t.station->state.PlayButtonVisible, 0);
    EXPECT_FALSE(t.station->display.cmdPlayVisible);
    click("cmdClose");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(record(PlayButtonVisible), 1);
}

TEST_F(MyComputerTest, StoredChoicesAreShownWithTheirEffects) {
    const SettingRecords stored = {
        {PlayDevice, 1},    {RecordThreshold, -300}, {ActivityLogKeep, 3}, {EbNoLogInterval, 5},
        {ActivityLogOn, 1}, {RelayCardType, 2},      {TimeChangeAdjust, 1}};
    open(stored);
    EXPECT_EQ(list("lstMM1")->currentRow(), 1);
    EXPECT_EQ(w->findChild<QLineEdit*>("txtThreshold")->text(), "-300");
    EXPECT_EQ(list("List2")->currentItem()->text(), "One Month");
    EXPECT_EQ(list("List4")->currentItem()->text(), "1 per minute");
    EXPECT_TRUE(check("Check2")->isChecked());
    EXPECT_TRUE(w->findChild<QRadioButton*>("Option2_2")->isChecked());
    EXPECT_EQ(uint8_t(TempStation::readFile(portFile()).at(647)), 138);
    EXPECT_EQ(w->findChild<QLabel*>("Label11")->text(), "DST 3/8/2026  Std 11/1/2026");
    clickBox(check("chkTimeChange"));
    EXPECT_EQ(w->findChild<QLabel*>("Label11")->text(), "");
    EXPECT_EQ(t.station->state.TimeChangeAdjust, 1);
}
