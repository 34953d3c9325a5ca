#include "backup/backup_folder_box.h"
#include "backup/frmLoadData.h"
#include "backup/frmSaveData.h"
#include "support/test.h"

#include "fakes/temp_station.h"
#include "station/source_codes.h"

#include <QtWidgets>

namespace {

// The folder dialog answers with chosen, noting where it was asked to start.
class BackupWindows : public ::testing::Test {
protected:
    void SetUp() override {
        t.startUp();
        backupFolderChooser() = [this](QWidget*, const QString& start) {
            starts << start;
            return chosen;
        };
    }
    void TearDown() override { backupFolderChooser() = {}; }
    void browse(BackupFolderBox* box, const QString& folder) {
        chosen = folder;
        QTest::mouseClick(box->cmdBrowse, Qt::LeftButton);
    }

    TempStation t;
    QString chosen;
    QStringList starts;
};

} // namespace

// A cancelled browse keeps the path; a failed save keeps the window open.
TEST_F(BackupWindows, SaveGoesToTheChosenFolderAndLoadEntriesEachLoadTheirFile) {
    frmSaveData w(*t.station);
    w.show();
    EXPECT_EQ(w.folderBox->Dir1->text(), "C:\\");
    w.folderBox->Drive1->setCurrentText("D");
    EXPECT_EQ(w.folderBox->Dir1->text(), "D:\\");
    browse(w.folderBox, t.drive('H') + "/absent");
    EXPECT_EQ(starts, QStringList({t.drive('D')}));
    EXPECT_EQ(w.folderBox->Dir1->text(), "H:\\absent\\");
    QTest::mouseClick(w.cmdSave, Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    QDir().mkpath(t.drive('H') + "/save");
    browse(w.folderBox, t.drive('H') + "/save");
    browse(w.folderBox, "");
    EXPECT_EQ(w.folderBox->Dir1->text(), "H:\\save\\");
    QTest::mouseClick(w.cmdSave, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(QFile::exists(t.drive('H') + "/save/SatList.dat"));

    // The load window stays open for the next entry.
    const QString folder = t.drive('D') + "/bk";
    TempStation::writeFile(folder + "/SOURCE.DAT", "AA1\r\nSR2\r\n");
    TempStation::writeFile(folder + "/MyComp.ini", QByteArray("\x01\x00\x00\x00\x02\x00", 6));
    RecordedDevices devices;
    frmLoadData load(*t.station, &devices);
    load.show();
    browse(load.folderBox, folder);
    load.mnuLoad[2]->trigger();
    EXPECT_EQ(readSourceCodes(*t.paths), QStringList({"AA1", "SR2"}));
    load.mnuLoad[3]->trigger();
    EXPECT_EQ(t.station->state.PlayDevice, 1);
    EXPECT_EQ(devices.calls, QStringList({"play 1", "record1 2", "record2 0"}));
    load.mnuLoad[1]->trigger();
    EXPECT_EQ(t.messages.shown.size(), 5) << "two saves, two loads said, one failure";
    EXPECT_TRUE(load.isVisible());
}
