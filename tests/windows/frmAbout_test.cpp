#include "windows/frmAbout.h"

#include "fakes/fake_messages.h"
#include "windows/system_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString Unavailable = "System Information Is Unavailable At This Time";

// Creates a file, executable or not, and returns its path.
QString makeFile(const QString& folder, const QString& name, const QByteArray& content,
                 bool executable) {
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    EXPECT_TRUE(file.setPermissions(permissions));
    return path;
}

template <typename T> T* child(frmAbout& window, const char* name) {
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace

TEST(AboutWindow, CaptionsAndVersion) {
    FakeMessages messages;
    frmAbout window(messages, {});
    EXPECT_EQ(window.windowTitle(), "About Varnola");
    EXPECT_EQ(child<QLabel>(window, "lblTitle")->text(), "DuzidazOda");
    EXPECT_EQ(child<QPushButton>(window, "cmdOK")->text(), "OK");
    EXPECT_EQ(child<QPushButton>(window, "cmdSysInfo")->text(), "&System Info...");

    const QString version = child<QLabel>(window, "lblVersion")->text();
    EXPECT_EQ(version, QString("Version %1.%2.%3")
                           .arg(VARNOLA_VERSION_MAJOR)
                           .arg(VARNOLA_VERSION_MINOR)
                           .arg(VARNOLA_VERSION_PATCH));
    EXPECT_TRUE(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+$").match(version).hasMatch());

    const QString description = child<QLabel>(window, "lblDescription")->text();
    EXPECT_TRUE(description.contains("Qt Multimedia"));
    EXPECT_TRUE(description.contains("libsndfile"));
}

// The icon is drawn at run time; a blank one would mean the painter failed.
TEST(AboutWindow, IconIsDrawn) {
    FakeMessages messages;
    frmAbout window(messages, {});
    const QPixmap pixmap = child<QLabel>(window, "picIcon")->pixmap();
    ASSERT_FALSE(pixmap.isNull());
    const QImage image = pixmap.toImage();
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            painted += qAlpha(image.pixel(x, y)) > 0;
    EXPECT_GT(painted, image.width() * image.height() / 10);
}

TEST(AboutWindow, OkCloses) {
    FakeMessages messages;
    frmAbout window(messages, {});
    window.show();
    QTest::mouseClick(window.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(AboutWindow, SysInfoWithoutAViewerSaysSo) {
    FakeMessages messages;
    frmAbout window(messages, {});
    QTest::mouseClick(window.cmdSysInfo, Qt::LeftButton);
    EXPECT_EQ(messages.shown, QStringList{Unavailable});
}

// A file with a viewer's name that cannot be run is not a viewer.
TEST(AboutWindow, SysInfoIgnoresAViewerThatCannotRun) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    makeFile(dir.path(), "hardinfo", "#!/bin/sh\n", false);
    FakeMessages messages;
    frmAbout window(messages, {dir.path()});
    window.cmdSysInfo->click();
    EXPECT_EQ(messages.shown, QStringList{Unavailable});
}

TEST(AboutWindow, SysInfoStartsTheViewer) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString marker = dir.filePath("started");
    makeFile(dir.path(), "sysinfo", "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n", true);
    FakeMessages messages;
    frmAbout window(messages, {dir.path()});
    window.cmdSysInfo->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 10000);
}

TEST(SystemInfo, PrefersViewersInTheirOrderOverPathOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString first = dir.filePath("first");
    const QString second = dir.filePath("second");
    makeFile(first, "sysinfo", "", true);
    const QString hardinfo = makeFile(second, "hardinfo", "", true);
    EXPECT_EQ(findSystemInfoViewer({first, second}), hardinfo);

    const QString earlier = makeFile(first, "hardinfo", "", true);
    EXPECT_EQ(findSystemInfoViewer({first, second}), earlier);
    EXPECT_EQ(findSystemInfoViewer({second, first}), hardinfo);
}

// Folders named like a viewer, missing folders and empty entries are passed
// over.
TEST(SystemInfo, SkipsWhatIsNotAnExecutableFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin/kinfocenter"));
    const QString bin = dir.filePath("bin");
    EXPECT_EQ(findSystemInfoViewer({bin, dir.filePath("nowhere"), ""}), "");
    const QString viewer = makeFile(bin, "lshw-gtk", "", true);
    EXPECT_EQ(findSystemInfoViewer({"", dir.filePath("nowhere"), bin}), viewer);
}

TEST(SystemInfo, StartingNothingFails) {
    EXPECT_FALSE(startSystemInfoViewer(""));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(startSystemInfoViewer(dir.filePath("no-such-viewer")));
}
