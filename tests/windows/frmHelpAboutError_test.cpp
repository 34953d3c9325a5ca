#include "support/test.h"
#include "windows/frmAbout.h"
#include "windows/frmError.h"
#include "windows/frmHelp.h"

#include "fakes/fake_messages.h"
#include "fakes/temp_station.h"

#include <QtWidgets>

namespace {

// Spelled as an installer might have spelled it: the station's paths ignore
// letter case.
const QString InstalledHelp = "/Program Files/DuzidazOda/SatHelp.RTF";

// Per block: alignment, left margin, first-line indent, space after and tab
// stops in points; then its fragments as text/weight, italic, underline,
// size and family.
QString rendered(const QTextEdit* edit) {
    const double ppp = edit->logicalDpiX() / 72.0;
    QStringList blocks;
    for (QTextBlock b = edit->document()->firstBlock(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        QString line =
            QString::asprintf("{%d %g %g %g", int(f.alignment() & Qt::AlignHorizontal_Mask),
                              f.leftMargin() / ppp, f.textIndent() / ppp, f.bottomMargin() / ppp);
        for (const QTextOption::Tab& tab : f.tabPositions())
            line += QString::asprintf(" tab %g", tab.position / ppp);
        line += "}";
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat c = it.fragment().charFormat();
            line += it.fragment().text() +
                    QString::asprintf("/%d%s%s %g ", c.fontWeight(), c.fontItalic() ? "i" : "",
                                      c.fontUnderline() ? "u" : "", c.fontPointSize()) +
                    c.fontFamilies().toStringList().join(',') + "|";
        }
        blocks << line;
    }
    return blocks.join('\n');
}

} // namespace

// Missing, not RTF, or a folder where the file should be: every failure
// shows the same notice, naming the folder the window reads.
TEST(HelpWindow, ShowsTheInstalledHelpWithItsFormattingOrWhereTheFileBelongs) {
    TempStation t;
    const auto expectNotice = [&](const char* why) {
        frmHelp window{*t.paths};
        EXPECT_FALSE(window.loaded()) << why;
        EXPECT_EQ(window.RichTextBox1->toPlainText(),
                  "The help file, sathelp.rtf was not found.  It should be installed in "
                  "c:\\program files\\duzidazoda")
            << why;
    };
    expectNotice("missing");
    TempStation::writeFile(t.drive('C') + InstalledHelp, "Varnola help\nSchedules: ...\n");
    expectNotice("not RTF");
    TempStation::writeFile(t.drive('C') + InstalledHelp,
                           "{\\rtf1\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                           "\\qc\\b\\fs32 Heading\\b0\\par\\pard\\fs20 Plain \\i slanted\\i0  "
                           "\\ul under\\ulnone  \\f1 code\\par"
                           "\\li360\\fi-360\\sa120 \\bullet\\tab item\\par}");
    frmHelp window{*t.paths};
    ASSERT_TRUE(window.loaded());
    EXPECT_EQ(rendered(window.RichTextBox1),
              "{4 0 0 0}Heading/700 16 Arial|\n{1 0 0 0}Plain /400 10 Arial|"
              "slanted/400i 10 Arial| /400 10 Arial|under/400u 10 Arial| /400 10 "
              "Arial|code/400 10 Courier New|\n{1 18 -18 6 tab 18}•\titem/400 10 "
              "Courier New|");
    window.show();
    QTest::keyClick(window.RichTextBox1, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    QDir(t.drive('C') + "/Program Files").removeRecursively();
    ASSERT_TRUE(QDir().mkpath(t.drive('C') + "/program files/duzidazoda/sathelp.rtf"));
    expectNotice("a folder");
}

TEST(AboutWindow, ClosesOnOKAndSaysThereIsNoViewer) {
    FakeMessages messages;
    frmAbout window(messages, {});
    window.show();
    QTest::mouseClick(window.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());

    // With no viewer on the path there is nothing to start.
    window.cmdSysInfo->click();
    EXPECT_EQ(messages.shown, QStringList{"System Information Is Unavailable At This Time"});
}

// The error window shows the last message as plain text without blocking,
// and must not swallow the keys typed after the refused one.
TEST(ErrorWindow, LastMessageWinsAndTypingGoesOnInTheBoxThatHadTheFocus) {
    QWidget form;
    auto* box = new QLineEdit(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    box->setFocus();
    frmError w;
    w.showMessage("first <b>problem</b>");
    EXPECT_TRUE(w.isVisible() && !w.isModal());
    w.showMessage("second problem");
    EXPECT_EQ(w.windowTitle() + "|" + w.lblMessage->text(), "Error Message|second problem");
    EXPECT_EQ(w.lblMessage->textFormat(), Qt::PlainText);
    QTest::keyClicks(QApplication::focusWidget(), "12");
    EXPECT_EQ(box->text(), "12");
    QTest::mouseClick(w.OKButton, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
}
