#include "backup/frmSaveData.h"
#include "support/test.h"

#include "backup/backup_folder_box.h"
#include "fakes/temp_station.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace {

class SaveDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.startUp();
        w = std::make_unique<frmSaveData>(*t.station);
        w->show();
        backupFolderChooser() = [this](QWidget*, const QString& start) {
            starts << start;
            return chosen;
        };
    }
    void TearDown() override { backupFolderChooser() = {}; }
    QString path() const { return w->findChild<QLineEdit*>("Dir1")->text(); }
    void browse() { QTest::mouseClick(w->findChild<QPushButton*>("cmdBrowse"), Qt::LeftButton); }

    TempStation t;
    std::unique_ptr<frmSaveData> w;
    QString chosen;
    QStringList starts;
};

} // namespace

TEST_F(SaveDataTest, FolderPathAlwaysEndsInOneBackslash) {
    EXPECT_EQ(path(), "C:\\");
    w->findChild<QComboBox*>("Drive1")->setCurrentText("D");
    EXPECT_EQ(path(), "D:\\");
    chosen = t.drive('C') + "/backup";
    browse();
    EXPECT_EQ(starts, QStringList({t.drive('D')}));
    EXPECT_EQ(path(), "C:\\backup\\");
    chosen.clear();
    browse();
    EXPECT_EQ(path(), "C:\\backup\\");
}

TEST_F(SaveDataTest, SaveWritesTheFilesAndCloses) {
    QDir().mkpath(t.drive('H') + "/save");
    chosen = t.drive('H') + "/save";
    browse();
    QTest::mouseClick(w->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    for (const char* name : {"SatList.dat", "ExportInfo.dat", "MyComp.ini"})
        EXPECT_TRUE(QFile::exists(t.drive('H') + "/save/" + name)) << name;
}

TEST_F(SaveDataTest, AFailedSaveKeepsTheWindowOpen) {
    chosen = t.drive('H') + "/absent";
    browse();
    QTest::mouseClick(w->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(t.messages.shown.size(), 1);
}
