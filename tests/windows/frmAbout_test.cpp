#include "support/test.h"
#include "windows/frmAbout.h"

#include "fakes/fake_messages.h"
#include "windows/system_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

const QString Unavailable = "System Information Is Unavailable At This Time";

QString makeFile(const QString& folder, const QString& name, bool executable,
                 const QByteArray& content = {}) {
    EXPECT_TRUE(QDir().mkpath(folder));
    QFile file(QDir(folder).filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    EXPECT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                    (executable ? QFile::ExeOwner : QFile::Permissions())));
    return file.fileName();
}

QString labelText(frmAbout& window, const char* name) {
    auto* label = window.findChild<QLabel*>(name);
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

} // namespace

TEST(AboutWindow, CaptionsVersionAndIcon) {
    FakeMessages messages;
    frmAbout window(messages, {});
    EXPECT_EQ(window.windowTitle(), "About Varnola");
    EXPECT_EQ(labelText(window, "lblTitle"), "DuzidazOda");
    EXPECT_EQ(labelText(window, "lblVersion"), QString("Version %1.%2.%3")
                                                   .arg(VARNOLA_VERSION_MAJOR)
                                                   .arg(VARNOLA_VERSION_MINOR)
                                                   .arg(VARNOLA_VERSION_PATCH));
    EXPECT_TRUE(labelText(window, "lblDescription").contains("Qt Multimedia"));
    EXPECT_TRUE(labelText(window, "lblDescription").contains("libsndfile"));
    EXPECT_EQ(window.findChild<QPushButton*>("cmdOK"), window.cmdOK);
    EXPECT_EQ(window.findChild<QPushButton*>("cmdSysInfo")->text(), "&System Info...");

    // The icon is painted at run time; a blank one means the painting failed.
    const QImage icon = window.findChild<QLabel*>("picIcon")->pixmap().toImage();
    ASSERT_FALSE(icon.isNull());
    int painted = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            painted += qAlpha(icon.pixel(x, y)) > 0;
    EXPECT_GT(painted, icon.width() * icon.height() / 10);
}

TEST(AboutWindow, OkCloses) {
    FakeMessages messages;
    frmAbout window(messages, {});
    window.show();
    QTest::mouseClick(window.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

// An empty path, or a file with a viewer's name that cannot be run, leaves
// nothing to start.
TEST(AboutWindow, SysInfoWithoutAViewerSaysSo) {
    FakeMessages messages;
    frmAbout window(messages, {});
    QTest::mouseClick(window.cmdSysInfo, Qt::LeftButton);
    EXPECT_EQ(messages.shown, QStringList{Unavailable});

    QTemporaryDir dir;
    makeFile(dir.path(), "hardinfo", false, "#!/bin/sh\n");
    FakeMessages again;
    frmAbout withFile(again, {dir.path()});
    withFile.cmdSysInfo->click();
    EXPECT_EQ(again.shown, QStringList{Unavailable});
}

TEST(AboutWindow, SysInfoStartsTheViewer) {
    QTemporaryDir dir;
    const QString marker = dir.filePath("started");
    makeFile(dir.path(), "sysinfo", true, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
    FakeMessages messages;
    frmAbout window(messages, {dir.path()});
    window.cmdSysInfo->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 10000);
}

// Viewers are tried in their order of preference, each along the whole path;
// folders named like a viewer, missing folders and empty entries are passed
// over.
TEST(SystemInfo, FindsThePreferredExecutableViewer) {
    QTemporaryDir dir;
    const QString first = dir.filePath("first"), second = dir.filePath("second");
    makeFile(first, "sysinfo", true);
    ASSERT_TRUE(QDir(first).mkpath("kinfocenter"));
    const QString hardinfo = makeFile(second, "hardinfo", true);
    EXPECT_EQ(findSystemInfoViewer({"", dir.filePath("nowhere"), first, second}), hardinfo);
    const QString earlier = makeFile(first, "hardinfo", true);
    EXPECT_EQ(findSystemInfoViewer({first, second}), earlier);
    EXPECT_EQ(findSystemInfoViewer({second, first}), hardinfo);
    EXPECT_EQ(findSystemInfoViewer({dir.filePath("nowhere"), ""}), "");
    EXPECT_FALSE(startSystemInfoViewer(""));
    EXPECT_FALSE(startSystemInfoViewer(dir.filePath("no-such-viewer")));
}
