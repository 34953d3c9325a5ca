#include "support/test.h"
#include "windows/rtf_reader.h"

#include <QDir>
#include <QTemporaryDir>
#include <random>

namespace {

RtfDocument parse(const QByteArray& rtf) {
    const std::optional<RtfDocument> document = readRtf(rtf);
    EXPECT_TRUE(document.has_value()) << rtf.toStdString();
    return document.value_or(RtfDocument{});
}

QString plain(const QByteArray& rtf) {
    return parse(rtf).plainText();
}

QList<RtfRun> runs(const QByteArray& rtf) {
    return parse(rtf).paragraphs.value(0).runs;
}

const QChar EnDash(0x2013), EmDash(0x2014);

} // namespace

// A trailing \par adds no blank paragraph; only one blank after a control
// word is its delimiter; source line breaks are not text.
TEST(RtfReaderText, ParagraphsAndDelimiters) {
    const RtfDocument document = parse("{\\rtf1 One\\par\\par Two\\line Three\\tab Four\\par}");
    ASSERT_EQ(document.paragraphs.size(), 3);
    EXPECT_TRUE(document.paragraphs[1].runs.isEmpty());
    EXPECT_EQ(document.paragraphs[2].text(),
              QString("Two") + QChar(QChar::LineSeparator) + "Three\tFour");
    EXPECT_EQ(plain("{\\rtf1 \\b  two\r\n blanks\\nosuchword12 x}"), " two blanksx");
    EXPECT_EQ(plain("{\\rtf1 a\\\nb}"), "a\nb");
}

// Paragraph properties carry on to the next paragraph until \pard.
TEST(RtfReaderText, ParagraphLayoutIsResetByPard) {
    const RtfDocument document = parse("{\\rtf1\\qc\\sb240\\sa120 Title\\par Again\\par\\pard Body"
                                       "\\par\\li360\\fi-360\\qr Item\\par}");
    ASSERT_EQ(document.paragraphs.size(), 4);
    EXPECT_EQ(document.paragraphs[0].spaceBefore, 12.0);
    EXPECT_EQ(document.paragraphs[0].spaceAfter, 6.0);
    EXPECT_EQ(document.paragraphs[1].alignment, RtfAlignment::Center);
    EXPECT_EQ(document.paragraphs[2].alignment, RtfAlignment::Left);
    EXPECT_EQ(document.paragraphs[2].spaceBefore, 0.0);
    EXPECT_EQ(document.paragraphs[3].alignment, RtfAlignment::Right);
    EXPECT_EQ(document.paragraphs[3].leftIndent, 18.0);
    EXPECT_EQ(document.paragraphs[3].firstLineIndent, -18.0);
}

TEST(RtfReaderFormatting, SwitchesOnAndOff) {
    const QList<RtfRun> r = runs("{\\rtf1 a\\b b\\b0 c\\i d\\i0 e\\ul f\\ulnone g\\ul h\\ul0 i}");
    ASSERT_EQ(r.size(), 9);
    EXPECT_EQ(QList<bool>({r[0].bold, r[1].bold, r[2].bold}), QList<bool>({false, true, false}));
    EXPECT_EQ(QList<bool>({r[3].italic, r[4].italic}), QList<bool>({true, false}));
    EXPECT_EQ(QList<bool>({r[5].underline, r[6].underline, r[7].underline, r[8].underline}),
              QList<bool>({true, false, true, false}));
}

// Formatting set in a group ends with it; \fs counts half-points; equal
// formats make one run whatever control words came between.
TEST(RtfReaderFormatting, GroupsSizesAndPlain) {
    const QList<RtfRun> r = runs("{\\rtf1\\fs23 x{\\b\\i\\fs40 y}z{\\b0 w}}");
    ASSERT_EQ(r.size(), 3);
    EXPECT_TRUE(r[1].bold && r[1].italic);
    EXPECT_EQ(r[1].pointSize, 20.0);
    EXPECT_EQ(r[2].text, "zw");
    EXPECT_FALSE(r[2].bold || r[2].italic);
    EXPECT_EQ(r[2].pointSize, 11.5);
    RtfRun reset;
    reset.text = "v";
    EXPECT_EQ(runs("{\\rtf1\\b\\i\\ul\\fs40\\plain v}").value(0), reset);
}

// Bytes 0x80..0x9F are where Windows-1252 differs from Latin-1; the text
// after \u is a fallback and must be dropped, a \'hh counting as one.
TEST(RtfReaderEscapes, SymbolsCodePageAndUnicode) {
    EXPECT_EQ(plain("{\\rtf1 a\\\\b\\{c\\}d\\~e\\-f\\_g}"),
              QString("a\\b{c}d") + QChar(0xA0) + "ef" + QChar(0x2011) + "g");
    EXPECT_EQ(plain("{\\rtf1 1\\'964 \\'80\\'92 caf\\'e9 20\\'B0}"),
              QString::fromUtf8("1–4 €’ café 20°"));
    EXPECT_EQ(plain(QByteArray("{\\rtf1 caf\xe9 \x96}")), QString::fromUtf8("café –"));
    EXPECT_EQ(plain("{\\rtf1 a\\u8212?b\\u8212\\'97c}"), QString("a%1b%1c").arg(EmDash));
    EXPECT_EQ(plain("{\\rtf1\\uc2 a\\u8212--b{\\uc0 \\u8211 c}\\u8211 ??d}"),
              QString("a%1b%2c%2d").arg(EmDash, EnDash));
    EXPECT_EQ(plain("{\\rtf1 \\u-3988?}"), QString(QChar(0xF06C)));
}

// Font tables come with or without entry groups and final semicolons; \deff
// applies where no \f was given.
TEST(RtfReaderFonts, NamesComeFromTheTable) {
    const QList<RtfRun> r = runs("{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                                 "{\\f1{\\*\\panose 0202}Caf\\'e9 Serif;}}a\\f1 b\\f9 c}");
    ASSERT_EQ(r.size(), 3);
    EXPECT_EQ(r[0].fontFamily, "Arial");
    EXPECT_EQ(r[1].fontFamily, QString::fromUtf8("Café Serif"));
    EXPECT_EQ(r[2].fontFamily, "Arial");
    EXPECT_EQ(runs("{\\rtf1{\\fonttbl\\f0 Arial;\\f3 Courier New}\\f3 a}").value(0).fontFamily,
              "Courier New");
}

TEST(RtfReaderDestinations, HiddenContentIsSkipped) {
    EXPECT_EQ(plain("{\\rtf1{\\colortbl;\\red255;}{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}}"
                    "{\\header H}{\\footer F}{\\pict 0100{03}}{\\object{\\objdata 01}}"
                    "{\\*\\generator W;}{\\*\\whatever{a}{b{c}}}visible}"),
              "visible");
    EXPECT_EQ(plain("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt the site}}.}"),
              "see the site.");
    // \bin data is raw and may contain braces and backslashes.
    EXPECT_EQ(plain("{\\rtf1{\\pict\\bin4 }{\\\\}a\\bin3 {}}b}"), "ab");
}

TEST(RtfReaderNotRtf, OtherTextAndUnreadableFilesAreRejected) {
    for (const char* text : {"", "Varnola help", "<html>{\\rtf1}</html>", "{\\rt", "\\rtf1 x}"})
        EXPECT_FALSE(readRtf(text).has_value()) << text;
    EXPECT_TRUE(readRtf("\r\n  {\\rtf1 x}").has_value());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(readRtfFile(dir.filePath("missing.rtf")).has_value());
    EXPECT_FALSE(readRtfFile(dir.path()).has_value());
}

// Damaged files show what they have: missing braces keep the text, text
// after the final brace is dropped, cut escapes and control bytes vanish.
TEST(RtfReaderMalformed, DamageShowsWhatCanBeRead) {
    const RtfDocument cut = parse("{\\rtf1 first\\par{\\b second");
    ASSERT_EQ(cut.paragraphs.size(), 2);
    EXPECT_TRUE(cut.paragraphs[1].runs.value(0).bold);
    EXPECT_EQ(plain("{\\rtf1 a}}b} \\par junk{{"), "a");
    for (const char* tail : {"\\'", "\\'4", "\\", "\\bin999999"})
        EXPECT_EQ(plain(QByteArray("{\\rtf1 a") + tail), "a") << tail;
    EXPECT_EQ(plain("{\\rtf1 a\\'zzb}"), "azzb");
    EXPECT_EQ(plain(QByteArray("{\\rtf1 a\0b\x01\x7f\\'00\\'0dc}", 22)), "abc");
}

// Numbers beyond 32 bits must neither overflow nor reach the renderer.
TEST(RtfReaderMalformed, HugeParametersAreClamped) {
    const RtfRun run = runs("{\\rtf1\\fs99999999999999999999999 x}").value(0);
    EXPECT_GT(run.pointSize, 0.0);
    EXPECT_LE(run.pointSize, 1638.0);
    EXPECT_EQ(runs("{\\rtf1\\fs-40 x}").value(0).pointSize, 0.0);
    EXPECT_EQ(plain("{\\rtf1 \\u99999999999999 ?x}"), QString(QChar(0xFFFD)) + "x");
    EXPECT_EQ(plain("{\\rtf1\\uc99999999999 \\u233 abcdefghijklmnopqrstuvwxyz}"),
              QString::fromUtf8("éqrstuvwxyz"));
    const RtfParagraph p = parse("{\\rtf1\\li99999999999\\fi-99999999999\\sb-5 x}").paragraphs[0];
    EXPECT_LE(p.leftIndent, 22 * 72.0);
    EXPECT_GE(p.firstLineIndent, -22 * 72.0);
    EXPECT_EQ(p.spaceBefore, 0.0);
}

// Deep nesting must neither exhaust memory nor lose track of the braces.
TEST(RtfReaderMalformed, DeeplyNestedGroups) {
    const int depth = 100000;
    const RtfDocument document =
        parse("{\\rtf1 a" + QByteArray(depth, '{') + "\\b b" + QByteArray(depth, '}') + "c}");
    EXPECT_EQ(document.plainText(), "abc");
    EXPECT_FALSE(document.paragraphs.value(0).runs.last().bold);
}

// Random bytes after a valid header, half of them from RTF's own syntax so
// that every state of the reader is reached: it must return, not crash.
TEST(RtfReaderMalformed, RandomGarbage) {
    std::mt19937 random(20240601);
    const QByteArray syntax = "{}\\'*abfsucl0123456789- ;\r\n";
    for (int round = 0; round < 300; ++round) {
        QByteArray rtf = "{\\rtf1 ";
        for (int i = static_cast<int>(random() % 2000); i >= 0; --i)
            rtf += random() % 2 ? syntax.at(static_cast<int>(random() % syntax.size()))
                                : static_cast<char>(random());
        const std::optional<RtfDocument> document = readRtf(rtf);
        ASSERT_TRUE(document.has_value());
        for (const RtfParagraph& paragraph : document->paragraphs)
            for (const RtfRun& run : paragraph.runs)
                ASSERT_FALSE(run.text.isEmpty());
    }
}

// The help file that ships with the station must read completely: bold
// headings, decoded escapes and no control words leaking into the text.
TEST(RtfReaderShippedHelp, ReadsTheStationHelpFile) {
    const std::optional<RtfDocument> document =
        readRtfFile(QDir(VARNOLA_SOURCE_DIR).filePath("data/sathelp.rtf"));
    ASSERT_TRUE(document.has_value());
    const QString text = document->plainText();
    for (const char* leak : {"\\", "{", "}", "Times New Roman"})
        EXPECT_FALSE(text.contains(leak)) << leak;
    EXPECT_TRUE(text.contains(EnDash));
    QStringList headings;
    for (const RtfParagraph& paragraph : document->paragraphs) {
        const RtfRun first = paragraph.runs.value(0);
        if (first.bold && first.pointSize > 10)
            headings << paragraph.text();
        EXPECT_EQ(first.fontFamily, "Arial");
    }
    EXPECT_EQ(headings,
              QStringList({"Varnola Help", "The console", "Schedules", "Recording",
                           "Playlist and playback", "Receiver", "Logs", "Settings", "Backup"}));
}
