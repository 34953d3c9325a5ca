#include "receiver/frmComSelect.h"
#include "support/test.h"

#include "fakes/temp_station.h"
#include "station/settings_file.h"

#include <QDir>
#include <QPushButton>
#include <QRadioButton>

namespace {

class ComSelectTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The threshold stands for the settings this window must leave alone.
        t.writeSettings(
            {{Setting::RecordThreshold, -300}, {Setting::CommPortNo, 3}, {Setting::BaudIndex, 1}});
        t.startUp();
        w = std::make_unique<frmComSelect>(*t.station);
        w->show();
    }
    QRadioButton* option(const char* name) { return w->findChild<QRadioButton*>(name); }
    // On the indicator: an option button takes clicks there and on its caption only.
    void click(const char* name) {
        QTest::mouseClick(option(name), Qt::LeftButton, {}, QPoint(6, option(name)->height() / 2));
    }
    void close() { QTest::mouseClick(w->findChild<QPushButton*>("cmdClose"), Qt::LeftButton); }
    QByteArray settings() const { return TempStation::readFile(t.host(SettingsFile::StationPath)); }

    TempStation t;
    std::unique_ptr<frmComSelect> w;
};

} // namespace

// Port and speed are separate choices: picking one must not clear the other;
// nothing reaches the station before the window closes.
TEST_F(ComSelectTest, ChoiceIsSavedOnCloseWithOtherRecordsKept) {
    EXPECT_TRUE(option("optSP3")->isChecked());
    EXPECT_TRUE(option("optBaud1")->isChecked());
    click("optSP2");
    click("optBaud2");
    EXPECT_TRUE(option("optSP2")->isChecked() && option("optBaud2")->isChecked());
    EXPECT_EQ(t.station->state.CommPortNo, 3);

    const QByteArray before = settings();
    close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(t.station->state.CommPortNo, 2);
    EXPECT_EQ(t.station->state.BaudIndex, 2);
    EXPECT_EQ(settings(), before.left(24) + QByteArray("\x02\x00\x02\x00", 4));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(ComSelectTest, ClosingUnchangedWritesTheSameValues) {
    const QByteArray before = settings();
    w->close();
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(t.station->state.CommPortNo, 3);
    EXPECT_EQ(t.station->state.BaudIndex, 1);
}

// Esc rejects a dialog without a close event; a window kept for reuse must
// show the station's choice again when reopened.
TEST_F(ComSelectTest, EscapeSavesAndReopeningReloads) {
    click("optSP4");
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_EQ(t.station->state.CommPortNo, 4);
    EXPECT_EQ(settings().at(24), 4);
    t.station->state.CommPortNo = 1;
    w->show();
    EXPECT_TRUE(option("optSP1")->isChecked());
    EXPECT_EQ(w->workingPort(), 1);
}

TEST_F(ComSelectTest, UnwritableSettingsFileIsReported) {
    const QString path = t.host(SettingsFile::StationPath);
    ASSERT_TRUE(QFile::remove(path) && QDir().mkpath(path));
    click("optSP1");
    close();
    EXPECT_EQ(t.station->state.CommPortNo, 1);
    ASSERT_EQ(t.messages.shown.size(), 1);
    const QString message = t.messages.shown[0];
    for (const QString& part : {QString("c:\\satfile\\MyComp.ini"), path, QString("directory")})
        EXPECT_TRUE(message.contains(part, Qt::CaseInsensitive)) << message.toStdString();
}
