#include "windows/rtf_reader.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
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

// The single run of a one-paragraph document.
RtfRun onlyRun(const QByteArray& rtf) {
    const RtfDocument document = parse(rtf);
    EXPECT_EQ(document.paragraphs.size(), 1);
    if (document.paragraphs.size() != 1 || document.paragraphs[0].runs.size() != 1) {
        ADD_FAILURE() << "expected exactly one run in " << rtf.toStdString();
        return {};
    }
    return document.paragraphs[0].runs[0];
}

} // namespace

TEST(RtfReaderText, ParagraphsLinesAndTabs) {
    const RtfDocument document = parse("{\\rtf1 One\\par Two\\line Three\\tab Four\\par}");
    ASSERT_EQ(document.paragraphs.size(), 2);
    EXPECT_EQ(document.paragraphs[0].text(), "One");
    EXPECT_EQ(document.paragraphs[1].text(),
              QString("Two") + QChar(QChar::LineSeparator) + "Three\tFour");
}

// A trailing \par must not add a blank line, but blank lines in between stay.
TEST(RtfReaderText, TrailingParagraphMarkAddsNoEmptyParagraph) {
    EXPECT_EQ(parse("{\\rtf1 A\\par}").paragraphs.size(), 1);
    const RtfDocument document = parse("{\\rtf1 A\\par\\par B}");
    ASSERT_EQ(document.paragraphs.size(), 3);
    EXPECT_TRUE(document.paragraphs[1].runs.isEmpty());
    EXPECT_EQ(document.paragraphs[2].text(), "B");
}

// Only the one blank after a control word is its delimiter; line breaks in
// the source are not text.
TEST(RtfReaderText, DelimiterSpaceAndSourceLineBreaks) {
    EXPECT_EQ(plain("{\\rtf1 \\b  two blanks\\b0}"), " two blanks");
    EXPECT_EQ(plain("{\\rtf1 split\r\n across\nlines}"), "split acrosslines");
    EXPECT_EQ(plain("{\\rtf1 a\\par\r\nb}"), "a\nb");
    // A backslash before a line break is a paragraph mark.
    EXPECT_EQ(plain("{\\rtf1 a\\\nb}"), "a\nb");
}

TEST(RtfReaderText, UnknownControlWordsAreIgnored) {
    EXPECT_EQ(plain("{\\rtf1\\ansi\\viewkind4\\sl240\\slmult1 Hello\\nosuchword12 world}"),
              "Helloworld");
}

// Paragraph properties carry on to the next paragraph until \pard.
TEST(RtfReaderText, ParagraphLayoutIsResetByPard) {
    const RtfDocument document =
        parse("{\\rtf1\\qc\\sb240\\sa120 Title\\par Again\\par\\pard Body\\par"
              "\\li360\\fi-360\\qr Item\\par}");
    ASSERT_EQ(document.paragraphs.size(), 4);
    const RtfParagraph& title = document.paragraphs[0];
    EXPECT_EQ(title.alignment, RtfAlignment::Center);
    EXPECT_EQ(title.spaceBefore, 12.0);
    EXPECT_EQ(title.spaceAfter, 6.0);
    EXPECT_EQ(document.paragraphs[1].alignment, RtfAlignment::Center);
    const RtfParagraph& body = document.paragraphs[2];
    EXPECT_EQ(body.alignment, RtfAlignment::Left);
    EXPECT_EQ(body.spaceBefore, 0.0);
    EXPECT_EQ(body.spaceAfter, 0.0);
    const RtfParagraph& item = document.paragraphs[3];
    EXPECT_EQ(item.alignment, RtfAlignment::Right);
    EXPECT_EQ(item.leftIndent, 18.0);
    EXPECT_EQ(item.firstLineIndent, -18.0);
}

TEST(RtfReaderFormatting, BoldItalicUnderlineSwitchOnAndOff) {
    const RtfDocument document =
        parse("{\\rtf1 a\\b b\\b0 c\\i d\\i0 e\\ul f\\ulnone g\\ul h\\ul0 i\\b1 j}");
    ASSERT_EQ(document.paragraphs.size(), 1);
    const QList<RtfRun>& runs = document.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 10);
    EXPECT_EQ(runs[0].text, "a");
    EXPECT_FALSE(runs[0].bold);
    EXPECT_TRUE(runs[1].bold);
    EXPECT_FALSE(runs[2].bold);
    EXPECT_TRUE(runs[3].italic);
    EXPECT_FALSE(runs[4].italic);
    EXPECT_TRUE(runs[5].underline);
    EXPECT_FALSE(runs[6].underline);
    EXPECT_TRUE(runs[7].underline);
    EXPECT_FALSE(runs[8].underline);
    EXPECT_EQ(runs[9].text, "j");
    EXPECT_TRUE(runs[9].bold);
}

// Formatting set inside a group must end with the group.
TEST(RtfReaderFormatting, GroupsRestoreTheOuterFormat) {
    const RtfDocument document = parse("{\\rtf1\\fs20 x{\\b\\i\\fs40 y}z}");
    const QList<RtfRun>& runs = document.paragraphs.value(0).runs;
    ASSERT_EQ(runs.size(), 3);
    EXPECT_TRUE(runs[1].bold && runs[1].italic);
    EXPECT_EQ(runs[1].pointSize, 20.0);
    EXPECT_FALSE(runs[2].bold || runs[2].italic);
    EXPECT_EQ(runs[2].pointSize, 10.0);
}

TEST(RtfReaderFormatting, PlainResetsEverything) {
    const RtfRun run = onlyRun("{\\rtf1\\b\\i\\ul\\fs40\\plain text}");
    EXPECT_FALSE(run.bold || run.italic || run.underline);
    EXPECT_EQ(run.pointSize, 0.0);
}

// \fs counts half-points; an odd count is a half point size.
TEST(RtfReaderFormatting, FontSizeIsInHalfPoints) {
    EXPECT_EQ(onlyRun("{\\rtf1\\fs23 x}").pointSize, 11.5);
    EXPECT_EQ(onlyRun("{\\rtf1 x}").pointSize, 0.0);
}

// Runs of the same format are one run, whatever control words came between.
TEST(RtfReaderFormatting, EqualFormatsShareOneRun) {
    const RtfRun run = onlyRun("{\\rtf1 ab{\\b0 cd}\\i0 ef}");
    EXPECT_EQ(run.text, "abcdef");
}

TEST(RtfReaderEscapes, ControlSymbols) {
    EXPECT_EQ(plain("{\\rtf1 a\\\\b\\{c\\}d}"), "a\\b{c}d");
    EXPECT_EQ(plain("{\\rtf1 a\\~b}"), QString("a") + QChar(0x00A0) + "b");
    EXPECT_EQ(plain("{\\rtf1 co\\-operate}"), "cooperate");
    EXPECT_EQ(plain("{\\rtf1 a\\_b}"), QString("a") + QChar(0x2011) + "b");
}

// Bytes 0x80..0x9F differ between Windows-1252 and Latin-1.
TEST(RtfReaderEscapes, HexEscapesAreWindows1252) {
    EXPECT_EQ(plain("{\\rtf1 1\\'964}"), QString("1") + QChar(0x2013) + "4");
    EXPECT_EQ(plain("{\\rtf1 \\'80\\'92\\'93\\'94}"),
              QString::fromUtf8("\u20AC\u2019\u201C\u201D"));
    EXPECT_EQ(plain("{\\rtf1 caf\\'e9 20\\'B0}"), QString::fromUtf8("café 20°"));
}

TEST(RtfReaderEscapes, UnescapedHighBytesAreWindows1252) {
    EXPECT_EQ(plain(QByteArray("{\\rtf1 caf\xe9 \x96}")), QString::fromUtf8("café \u2013"));
}

// The replacement text after \u is for readers without Unicode and must be
// dropped, counting a \'hh escape as one character.
TEST(RtfReaderEscapes, UnicodeSkipsItsFallback) {
    EXPECT_EQ(plain("{\\rtf1 a\\u8212?b}"), QString("a") + QChar(0x2014) + "b");
    EXPECT_EQ(plain("{\\rtf1 a\\u8212\\'97b}"), QString("a") + QChar(0x2014) + "b");
    EXPECT_EQ(plain("{\\rtf1\\uc2 a\\u8212--b}"), QString("a") + QChar(0x2014) + "b");
    EXPECT_EQ(plain("{\\rtf1\\uc0 a\\u8212 b}"), QString("a") + QChar(0x2014) + "b");
    // Values above 32767 are written negative.
    EXPECT_EQ(plain("{\\rtf1 \\u-3988?}"), QString(QChar(0xF06C)));
}

// \ucN belongs to its group like any other property.
TEST(RtfReaderEscapes, UnicodeSkipCountIsScopedToItsGroup) {
    EXPECT_EQ(plain("{\\rtf1{\\uc2 x}\\u233 ?y}"), QString::fromUtf8("xéy"));
}

TEST(RtfReaderFonts, FontNamesComeFromTheTable) {
    const RtfDocument document =
        parse("{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
              "{\\f1\\froman{\\*\\panose 02020603050405020304}Times New Roman;}}"
              "default \\f1 roman\\f0  back}");
    const QList<RtfRun>& runs = document.paragraphs.value(0).runs;
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].text, "default ");
    EXPECT_EQ(runs[0].fontFamily, "Arial");
    EXPECT_EQ(runs[1].fontFamily, "Times New Roman");
    EXPECT_EQ(runs[2].fontFamily, "Arial");
}

// Some writers leave out the entry groups, or the final semicolon.
TEST(RtfReaderFonts, FlatTableAndMissingSemicolon) {
    const RtfDocument document =
        parse("{\\rtf1{\\fonttbl\\f0 Arial;\\f3 Courier New}\\f3 a\\f0 b\\f9 c}");
    const QList<RtfRun>& runs = document.paragraphs.value(0).runs;
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].fontFamily, "Courier New");
    EXPECT_EQ(runs[1].fontFamily, "Arial");
    EXPECT_EQ(runs[2].fontFamily, "") << "an unknown font number falls back to the default";
}

TEST(RtfReaderFonts, FontNamesMayBeEscaped) {
    EXPECT_EQ(onlyRun("{\\rtf1{\\fonttbl{\\f0 Caf\\'e9 Sans;}}\\f0 x}").fontFamily,
              QString::fromUtf8("Café Sans"));
}

TEST(RtfReaderDestinations, KnownDestinationsAreSkipped) {
    const QByteArray rtf = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}"
                           "{\\stylesheet{\\s1 Heading 1;}}"
                           "{\\info{\\title Secret}{\\author Someone}}"
                           "{\\header Page header}{\\footer Page footer}"
                           "{\\pict\\wmetafile8 0100090000{03}}"
                           "{\\object\\objemb{\\objdata 0102}}"
                           "visible}";
    EXPECT_EQ(plain(rtf), "visible");
}

// A \* group is optional, whatever its word, and may contain further groups.
TEST(RtfReaderDestinations, StarredGroupsAreSkipped) {
    EXPECT_EQ(plain("{\\rtf1{\\*\\generator Writer 1.0;}{\\*\\whatever{a}{b{c}}}x}"), "x");
}

TEST(RtfReaderDestinations, FieldShowsItsResultOnly) {
    EXPECT_EQ(plain("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt the site}}.}"),
              "see the site.");
}

// \bin data is raw and may contain braces and backslashes.
TEST(RtfReaderDestinations, BinaryDataIsNotParsed) {
    EXPECT_EQ(plain("{\\rtf1{\\pict\\bin4 }{\\\\}after}"), "after");
    EXPECT_EQ(plain("{\\rtf1 a\\bin3 {}}b}"), "ab");
}

TEST(RtfReaderNotRtf, OtherTextIsRejected) {
    EXPECT_FALSE(readRtf("").has_value());
    EXPECT_FALSE(readRtf("Varnola help").has_value());
    EXPECT_FALSE(readRtf("<html><body>{\\rtf1}</body></html>").has_value());
    EXPECT_FALSE(readRtf("{\\rt").has_value());
    EXPECT_FALSE(readRtf("\\rtf1 x}").has_value());
    EXPECT_TRUE(readRtf("\r\n  {\\rtf1 x}").has_value());
}

TEST(RtfReaderNotRtf, FilesThatCannotBeRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(readRtfFile(dir.filePath("missing.rtf")).has_value());
    EXPECT_FALSE(readRtfFile(dir.path()).has_value());
}

TEST(RtfReaderMalformed, MissingClosingBracesKeepTheText) {
    const RtfDocument document = parse("{\\rtf1 first\\par{\\b second");
    ASSERT_EQ(document.paragraphs.size(), 2);
    EXPECT_EQ(document.paragraphs[1].text(), "second");
    EXPECT_TRUE(document.paragraphs[1].runs[0].bold);
}

// Text after the document's closing brace is not part of it.
TEST(RtfReaderMalformed, ExtraClosingBracesEndTheDocument) {
    EXPECT_EQ(plain("{\\rtf1 a}}b}"), "a");
    EXPECT_EQ(plain("{\\rtf1 a}} \\par junk{{"), "a");
}

TEST(RtfReaderMalformed, TruncatedEscapes) {
    EXPECT_EQ(plain("{\\rtf1 a\\'"), "a");
    EXPECT_EQ(plain("{\\rtf1 a\\'4"), "a");
    EXPECT_EQ(plain("{\\rtf1 a\\'zzb}"), "azzb");
    EXPECT_EQ(plain("{\\rtf1 a\\"), "a");
    EXPECT_EQ(plain("{\\rtf1 a\\u"), QString("a") + QChar(0xFFFD));
    EXPECT_EQ(plain("{\\rtf1 a\\bin999999"), "a");
}

// Numbers beyond 32 bits must neither overflow nor reach the renderer.
TEST(RtfReaderMalformed, HugeParameters) {
    const RtfRun run = onlyRun("{\\rtf1\\fs99999999999999999999999999 x}");
    EXPECT_EQ(run.text, "x");
    EXPECT_GT(run.pointSize, 0.0);
    EXPECT_LE(run.pointSize, 1638.0);
    EXPECT_EQ(onlyRun("{\\rtf1\\fs-40 x}").pointSize, 0.0);
    EXPECT_EQ(plain("{\\rtf1 \\u99999999999999 ?x}"), QString(QChar(0xFFFD)) + "x");
    EXPECT_EQ(plain("{\\rtf1\\uc99999999999 \\u233 abcdefghijklmnopqrstuvwxyz}"),
              QString::fromUtf8("éqrstuvwxyz"));
    EXPECT_EQ(plain("{\\rtf1\\f-99999999999999 x}"), "x");
    const RtfParagraph indented =
        parse("{\\rtf1\\li99999999999\\fi-99999999999\\sb-5 x}").paragraphs.value(0);
    EXPECT_LE(indented.leftIndent, 22 * 72.0);
    EXPECT_GE(indented.firstLineIndent, -22 * 72.0);
    EXPECT_EQ(indented.spaceBefore, 0.0);
}

// Deep nesting must neither overflow the stack nor lose track of the braces.
TEST(RtfReaderMalformed, DeeplyNestedGroups) {
    const int depth = 100000;
    QByteArray rtf = "{\\rtf1 a";
    rtf += QByteArray(depth, '{') + "\\b b" + QByteArray(depth, '}') + "c}";
    const RtfDocument document = parse(rtf);
    EXPECT_EQ(document.plainText(), "abc");
    const QList<RtfRun>& runs = document.paragraphs.value(0).runs;
    ASSERT_FALSE(runs.isEmpty());
    EXPECT_FALSE(runs.last().bold) << "formatting leaked out of the nested groups";
}

TEST(RtfReaderMalformed, ControlBytesAreDropped) {
    EXPECT_EQ(plain(QByteArray("{\\rtf1 a\0b\x01\x7f\\'00\\'0dc}", 22)), "abc");
}

// Random bytes after a valid header: the reader must return, whatever it
// makes of them.
TEST(RtfReaderMalformed, BinaryGarbageDoesNotCrash) {
    std::mt19937 random(20240601);
    const QByteArray alphabet = "{}\\'*abfsu0123456789- ;\r\n";
    for (int round = 0; round < 300; ++round) {
        QByteArray rtf = "{\\rtf1 ";
        const int length = 1 + static_cast<int>(random() % 2000);
        for (int i = 0; i < length; ++i) {
            // Half the bytes from RTF's own syntax, so that the parser's
            // states are reached, the rest anything at all.
            if (random() % 2)
                rtf += alphabet.at(static_cast<int>(random() % alphabet.size()));
            else
                rtf += static_cast<char>(random() % 256);
        }
        const std::optional<RtfDocument> document = readRtf(rtf);
        ASSERT_TRUE(document.has_value());
        for (const RtfParagraph& paragraph : document->paragraphs)
            for (const RtfRun& run : paragraph.runs) {
                EXPECT_FALSE(run.text.isEmpty());
                EXPECT_LE(run.pointSize, 1638.0);
            }
    }
}

// The help file that ships with the station must read completely: bold
// headings, decoded escapes and no control words leaking into the text.
TEST(RtfReaderShippedHelp, ReadsTheStationHelpFile) {
    const std::optional<RtfDocument> document =
        readRtfFile(QDir(VARNOLA_SOURCE_DIR).filePath("data/sathelp.rtf"));
    ASSERT_TRUE(document.has_value());
    const QString text = document->plainText();
    EXPECT_FALSE(text.contains('\\'));
    EXPECT_FALSE(text.contains('{'));
    EXPECT_FALSE(text.contains('}'));
    EXPECT_TRUE(text.contains(QChar(0x2013)));
    EXPECT_TRUE(text.contains(QChar(0x2019)));
    EXPECT_FALSE(text.contains("Times New Roman")) << "font table shown as text";

    QStringList headings;
    for (const RtfParagraph& paragraph : document->paragraphs) {
        if (!paragraph.runs.isEmpty() && paragraph.runs.first().bold &&
            paragraph.runs.first().pointSize > 10)
            headings << paragraph.text();
        for (const RtfRun& run : paragraph.runs)
            EXPECT_EQ(run.fontFamily, "Arial") << run.text.toStdString();
    }
    EXPECT_EQ(headings,
              QStringList({"Varnola Help", "The console", "Schedules", "Recording",
                           "Playlist and playback", "Receiver", "Logs", "Settings", "Backup"}));
}
