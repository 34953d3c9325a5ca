#include "fakes/fake_audio.h"
#include "fakes/temp_station.h"
#include "platform/io_ports.h"
#include "settings/frmMyComputer.h"
#include "station/settings_file.h"
#include "support/test.h"

#include <QtWidgets>

namespace {

class MyComputerWindow : public ::testing::Test {
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
    template <class T = QListWidget> T* at(const char* name) { return w->findChild<T*>(name); }
    QString current(const char* list) { return at(list)->currentItem()->text(); }
    void click(const char* name) { QTest::mouseClick(at<QPushButton>(name), Qt::LeftButton); }
    void clickBox(const char* name) {
        QCheckBox* box = at<QCheckBox>(name);
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

TEST_F(MyComputerWindow, WithoutAFileNothingIsChosen) {
    open({});
    EXPECT_EQ((QStringList{at("lstDrv")->item(0)->text(), at("lstMM3")->item(1)->text(),
                           current("List4")}),
              (QStringList{"C", "Fake input 2", "Do Not Log"}));
    for (const char* name : {"List1", "List2", "List3", "lstDrv"})
        EXPECT_EQ(at(name)->currentRow(), -1) << name;
    EXPECT_TRUE(at<QRadioButton>("Option2_0")->isChecked());
    for (const char* name : {"Check1", "Check2", "Check3", "Check4", "chkTimeChange"})
        EXPECT_FALSE(at<QCheckBox>(name)->isChecked()) << name;
}

// The stored choices are shown with their effects; a click acts at once, and
// only Apply stores the boxes as they stand.
TEST_F(MyComputerWindow, StoredChoicesAreShownClicksActAndApplyStoresThem) {
    const SettingRecords stored = {
        {PlayDevice, 1},      {RecordThreshold, -300}, {WaveKeepDays, 2},
        {ActivityLogKeep, 3}, {EbNoLogInterval, 5},    {ActivityLogOn, 1},
        {RelayCardType, 2},   {WaveDriveNo, 3},        {CommPortNo, 1},
        {BaudIndex, 2},       {PlayButtonVisible, 1},  {TimeChangeAdjust, 1}};
    open(stored);
    EXPECT_EQ(at("lstMM1")->currentRow(), 1);
    EXPECT_EQ(
        (QStringList{at<QLineEdit>("txtThreshold")->text(), current("List2"), current("List4"),
                     current("lstDrv"), at<QLabel>("Label11")->text()}),
        (QStringList{"-300", "One Month", "1 per minute", "C", "DST 3/8/2026  Std 11/1/2026"}));
    EXPECT_TRUE(at<QCheckBox>("Check2")->isChecked() && at<QRadioButton>("Option2_2")->isChecked());
    EXPECT_EQ(uint8_t(TempStation::readFile(portFile()).at(647)), 138);

    clickBox("Check1");
    EXPECT_EQ(std::pair(t.station->state.PlayButtonVisible, record(PlayButtonVisible)),
              std::pair(int16_t(0), int16_t(1)));
    QTest::mouseClick(at("lstDrv")->viewport(), Qt::LeftButton, {},
                      at("lstDrv")->visualItemRect(at("lstDrv")->item(1)).center());
    EXPECT_EQ(t.station->state.WaveDrive + QString::number(t.station->state.WaveDriveNo), "D4");
    clickBox("chkTimeChange");
    EXPECT_EQ(at<QLabel>("Label11")->text(), "");
    EXPECT_EQ(t.station->state.TimeChangeAdjust, 1);
    at<QLineEdit>("txtThreshold")->setText("abc");

    click("cmdApply");
    std::vector<int16_t> records;
    for (Setting n :
         {WaveDriveNo, RecordThreshold, CommPortNo, BaudIndex, PlayButtonVisible, TimeChangeAdjust})
        records.push_back(record(n));
    EXPECT_EQ(records, (std::vector<int16_t>{4, 0, 1, 2, 0, 0}));
}

} // namespace
