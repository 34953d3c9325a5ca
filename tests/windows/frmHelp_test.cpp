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
#include <gtest/gtest.h>

namespace {

const QString Missing = "The help file, sathelp.rtf was not found.  It should be installed in "
                        "C:\\programfiles\\duzidazoda";

// A station whose C: drive is a folder in a temporary directory.
class HelpStation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        config_.drivesRoot = dir_.filePath("drives");
        ASSERT_TRUE(QDir().mkpath(config_.drivesRoot + "/C"));
    }

    DrivePaths paths() const { return DrivePaths(config_); }

    // Writes the help file, spelled as an installer might have spelled it.
    void install(const QByteArray& bytes) {
        const QString folder = config_.drivesRoot + "/C/Program Files/DuzidazOda";
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(folder + "/SatHelp.RTF");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QTextEdit* box(frmHelp& window) {
        auto* edit = window.findChild<QTextEdit*>("RichTextBox1");
        EXPECT_NE(edit, nullptr);
        EXPECT_EQ(edit, window.RichTextBox1);
        return edit;
    }

    static void expectFallback(frmHelp& window) {
        EXPECT_FALSE(window.loaded());
        QTextEdit* edit = box(window);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->toPlainText(), Missing);
        EXPECT_EQ(edit->font().family(), "Times New Roman");
    }

    QTemporaryDir dir_;
    StationConfig config_;
};

QTextCharFormat formatAt(QTextDocument* document, int position) {
    QTextCursor cursor(document);
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

} // namespace

// The file is found on the C: drive whatever the letter case of its path.
TEST_F(HelpStation, ShowsTheInstalledHelpWithItsFormatting) {
    install("{\\rtf1\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
            "\\qc\\b\\fs32 Heading\\b0\\par\\pard\\fs20 Plain \\i slanted\\i0  "
            "\\ul under\\ulnone  \\f1 code\\par}");
    frmHelp window(paths());
    ASSERT_TRUE(window.loaded());
    QTextEdit* edit = box(window);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(window.windowTitle(), "Varnola Help");

    QTextDocument* document = edit->document();
    EXPECT_EQ(edit->toPlainText(), "Heading\nPlain slanted under code");
    ASSERT_EQ(document->blockCount(), 2);
    EXPECT_EQ(document->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(document->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(document->firstBlock().blockFormat().bottomMargin(), 0.0);

    const QTextCharFormat heading = formatAt(document, 0);
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_EQ(heading.fontPointSize(), 16.0);
    EXPECT_EQ(heading.fontFamilies().toStringList(), QStringList{"Arial"});

    const int body = document->lastBlock().position();
    const QString text = document->lastBlock().text();
    const QTextCharFormat plain = formatAt(document, body + text.indexOf("Plain"));
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_FALSE(plain.fontItalic());
    EXPECT_EQ(plain.fontPointSize(), 10.0);
    EXPECT_TRUE(formatAt(document, body + text.indexOf("slanted")).fontItalic());
    EXPECT_TRUE(formatAt(document, body + text.indexOf("under")).fontUnderline());
    EXPECT_FALSE(formatAt(document, body + text.indexOf("code")).fontUnderline());
    EXPECT_EQ(formatAt(document, body + text.indexOf("code")).fontFamilies().toStringList(),
              QStringList{"Courier New"});
}

// A bulleted item hangs its bullet out to the left and tabs its text to the
// indent.
TEST_F(HelpStation, HangingIndentLinesUpListText) {
    install("{\\rtf1\\pard\\li360\\fi-360\\sa120 \\bullet\\tab item\\par}");
    frmHelp window(paths());
    ASSERT_TRUE(window.loaded());
    const QTextBlockFormat block = window.RichTextBox1->document()->firstBlock().blockFormat();
    const double pixelsPerPoint = window.RichTextBox1->logicalDpiX() / 72.0;
    EXPECT_DOUBLE_EQ(block.leftMargin(), 18 * pixelsPerPoint);
    EXPECT_DOUBLE_EQ(block.textIndent(), -18 * pixelsPerPoint);
    EXPECT_DOUBLE_EQ(block.bottomMargin(), 6 * pixelsPerPoint);
    ASSERT_EQ(block.tabPositions().size(), 1);
    EXPECT_DOUBLE_EQ(block.tabPositions()[0].position, block.leftMargin());
}

TEST_F(HelpStation, MissingFileShowsWhereItBelongs) {
    frmHelp window(paths());
    expectFallback(window);
}

TEST_F(HelpStation, TextThatIsNotRtfShowsWhereItBelongs) {
    install("Varnola help\nSchedules: ...\n");
    frmHelp window(paths());
    expectFallback(window);
}

// A folder where the file should be cannot be read as one.
TEST_F(HelpStation, UnreadableFileShowsWhereItBelongs) {
    ASSERT_TRUE(QDir().mkpath(config_.drivesRoot + "/C/program files/duzidazoda/sathelp.rtf"));
    frmHelp window(paths());
    expectFallback(window);
}

TEST(HelpShipped, TheShippedHelpFileRendersWithHeadings) {
    frmHelp window(QDir(VARNOLA_SOURCE_DIR).filePath("data/sathelp.rtf"));
    ASSERT_TRUE(window.loaded());
    QTextDocument* document = window.RichTextBox1->document();
    EXPECT_TRUE(window.RichTextBox1->toPlainText().startsWith("Varnola Help\n"));
    int boldBlocks = 0;
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty())
            continue;
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + 1);
        if (cursor.charFormat().fontWeight() == QFont::Bold)
            ++boldBlocks;
    }
    EXPECT_EQ(boldBlocks, 9);
}
