#include "support/test.h"
#include "windows/frmHelp.h"

#include "platform/drive_paths.h"
#include "platform/station_config.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// A station whose C: drive is a folder in a temporary directory.
class HelpStation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        config_.drivesRoot = dir_.filePath("drives");
        ASSERT_TRUE(QDir().mkpath(config_.drivesRoot + "/C"));
    }

    // Spelled as an installer might have spelled it: the station's paths
    // ignore letter case.
    void install(const QByteArray& bytes) {
        const QString folder = config_.drivesRoot + "/C/Program Files/DuzidazOda";
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(folder + "/SatHelp.RTF");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir_;
    StationConfig config_;
};

QTextCharFormat formatAt(const QTextBlock& block, const QString& word) {
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + block.text().indexOf(word) + 1);
    return cursor.charFormat();
}

} // namespace

TEST_F(HelpStation, ShowsTheInstalledHelpWithItsFormatting) {
    install("{\\rtf1\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
            "\\qc\\b\\fs32 Heading\\b0\\par\\pard\\fs20 Plain \\i slanted\\i0  "
            "\\ul under\\ulnone  \\f1 code\\par"
            "\\li360\\fi-360\\sa120 \\bullet\\tab item\\par}");
    frmHelp window{DrivePaths(config_)};
    ASSERT_TRUE(window.loaded());
    auto* edit = window.findChild<QTextEdit*>("RichTextBox1");
    ASSERT_EQ(edit, window.RichTextBox1);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(window.windowTitle(), "Varnola Help");
    EXPECT_EQ(edit->toPlainText(),
              QString("Heading\nPlain slanted under code\n") + QChar(0x2022) + "\titem");

    const QTextBlock heading = edit->document()->firstBlock();
    EXPECT_EQ(heading.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(formatAt(heading, "Heading").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(heading, "Heading").fontPointSize(), 16.0);
    EXPECT_EQ(formatAt(heading, "Heading").fontFamilies().toStringList(), QStringList{"Arial"});

    const QTextBlock body = heading.next();
    EXPECT_EQ(body.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(formatAt(body, "Plain").fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(body, "Plain").fontPointSize(), 10.0);
    EXPECT_FALSE(formatAt(body, "Plain").fontItalic());
    EXPECT_TRUE(formatAt(body, "slanted").fontItalic());
    EXPECT_TRUE(formatAt(body, "under").fontUnderline());
    EXPECT_FALSE(formatAt(body, "code").fontUnderline());
    EXPECT_EQ(formatAt(body, "code").fontFamilies().toStringList(), QStringList{"Courier New"});

    // The bullet hangs out to the left and its text tabs to the indent.
    const QTextBlockFormat item = body.next().blockFormat();
    const double pixelsPerPoint = edit->logicalDpiX() / 72.0;
    EXPECT_DOUBLE_EQ(item.leftMargin(), 18 * pixelsPerPoint);
    EXPECT_DOUBLE_EQ(item.textIndent(), -18 * pixelsPerPoint);
    EXPECT_DOUBLE_EQ(item.bottomMargin(), 6 * pixelsPerPoint);
    ASSERT_EQ(item.tabPositions().size(), 1);
    EXPECT_DOUBLE_EQ(item.tabPositions()[0].position, item.leftMargin());
}

// Missing, not RTF, or a folder where the file should be: every failure
// shows the same notice in the same font, naming the folder the window reads.
TEST_F(HelpStation, AnyFailureShowsWhereTheFileBelongs) {
    const QString notice = "The help file, sathelp.rtf was not found.  It should be installed in "
                           "c:\\program files\\duzidazoda";
    const auto expectNotice = [&](const char* why) {
        frmHelp window{DrivePaths(config_)};
        EXPECT_FALSE(window.loaded()) << why;
        EXPECT_EQ(window.RichTextBox1->toPlainText(), notice) << why;
        EXPECT_EQ(window.RichTextBox1->font().family(), "Times New Roman") << why;
    };
    expectNotice("missing");
    install("Varnola help\nSchedules: ...\n");
    expectNotice("not RTF");
    QDir(config_.drivesRoot + "/C/Program Files/DuzidazOda").removeRecursively();
    ASSERT_TRUE(QDir().mkpath(config_.drivesRoot + "/C/program files/duzidazoda/sathelp.rtf"));
    expectNotice("a folder");
}

TEST_F(HelpStation, EscapeClosesTheWindow) {
    frmHelp window{DrivePaths(config_)};
    window.show();
    QTest::keyClick(window.RichTextBox1, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST(HelpShipped, TheShippedHelpFileRendersWithHeadings) {
    frmHelp window(QDir(VARNOLA_SOURCE_DIR).filePath("data/sathelp.rtf"));
    ASSERT_TRUE(window.loaded());
    EXPECT_TRUE(window.RichTextBox1->toPlainText().startsWith("Varnola Help\n"));
    // Headings stand out from the body text by weight and size.
    int headings = 0;
    for (QTextBlock b = window.RichTextBox1->document()->firstBlock(); b.isValid(); b = b.next()) {
        const QTextCharFormat first = formatAt(b, b.text().left(1));
        headings +=
            !b.text().isEmpty() && first.fontWeight() == QFont::Bold && first.fontPointSize() > 10;
    }
    EXPECT_EQ(headings, 9);
}
