#include "backup/frmLoadData.h"
#include "support/test.h"

#include "backup/backup_folder_box.h"
#include "fakes/temp_station.h"
#include "station/settings_file.h"
#include "station/source_codes.h"

#include <QAction>
#include <QPushButton>

namespace {

class Devices : public AudioDeviceChoice {
public:
    void usePlayDevice(int device) override { given << QString("play %1").arg(device); }
    void useRecordDevice(int channel, int device) override {
        given << QString("rec%1 %2").arg(channel).arg(device);
    }
    QStringList given;
};

} // namespace

// Each menu entry loads its own file; the window stays open for the next.
TEST(LoadDataWindow, MenuEntriesLoadFromTheChosenFolder) {
    TempStation t;
    t.startUp();
    const QString folder = t.drive('D') + "/bk";
    TempStation::writeFile(folder + "/SOURCE.DAT", "AA1\r\nSR2\r\n");
    TempStation::writeFile(folder + "/MyComp.ini", QByteArray("\x01\x00\x00\x00\x02\x00", 6));
    Devices devices;
    frmLoadData w(*t.station, &devices);
    w.show();
    backupFolderChooser() = [&](QWidget*, const QString&) { return folder; };
    QTest::mouseClick(w.findChild<QPushButton*>("cmdBrowse"), Qt::LeftButton);
    backupFolderChooser() = {};

    w.findChild<QAction*>("mnuLoad_2")->trigger();
    EXPECT_EQ(readSourceCodes(*t.paths), QStringList({"AA1", "SR2"}));
    w.findChild<QAction*>("mnuLoad_3")->trigger();
    EXPECT_EQ(t.station->state.PlayDevice, 1);
    EXPECT_EQ(devices.given, QStringList({"play 1", "rec1 2", "rec2 0"}));
    EXPECT_EQ(TempStation::readFile(t.host(SettingsFile::StationPath)).size(), 28);
    w.findChild<QAction*>("mnuLoad_1")->trigger();
    EXPECT_EQ(t.messages.shown.size(), 3); // two loads said, one failure
    EXPECT_TRUE(w.isVisible());
}
