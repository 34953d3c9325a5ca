#include "support/test.h"
#include "windows/rtf_reader.h"

#include <QDir>

namespace {

const QChar EnDash(0x2013), LineBreak(QChar::LineSeparator);

// One line per paragraph: its layout in points where not the default, then
// its runs as text/format (b, i, u, size, 'font), split by '|'.
QString describe(const QByteArray& rtf) {
    const std::optional<RtfDocument> document = readRtf(rtf);
    if (!document)
        return "not RTF";
    QStringList lines;
    for (const RtfParagraph& p : document->paragraphs) {
        QStringList layout, runs;
        if (p.alignment != RtfAlignment::Left)
            layout << QString("LCRJ"[int(p.alignment)]);
        const double values[] = {p.leftIndent, p.firstLineIndent, p.spaceBefore, p.spaceAfter};
        for (int i = 0; i < 4; ++i)
            if (values[i] != 0)
                layout << QString("lifisbsa").mid(2 * i, 2) + QString::number(values[i]);
        for (const RtfRun& r : p.runs) {
            const QString f = QString(r.bold ? "b" : "") + (r.italic ? "i" : "") +
                              (r.underline ? "u" : "") +
                              (r.pointSize != 0 ? QString::number(r.pointSize) : "") +
                              (r.fontFamily.isEmpty() ? "" : "'" + r.fontFamily);
            runs << (f.isEmpty() ? r.text : r.text + "/" + f);
        }
        lines << (layout.isEmpty() ? "" : "{" + layout.join(' ') + "}") + runs.join('|');
    }
    return lines.join('\n');
}

} // namespace

// A trailing \par adds no blank paragraph; one blank ends a control word;
// layout carries on until \pard, formatting ends with its group; \fs counts
// half-points; 0x80..0x9F is where Windows-1252 differs from Latin-1; the
// text after \u is a fallback to drop; damaged files show what they have.
TEST(RtfReader, DocumentsReadAsParagraphsAndRuns) {
    // clang-format off
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {"{\\rtf1 One\\par\\par Two\\line Three\\tab Four\\par}",
         QString("One\n\nTwo%1Three\tFour").arg(LineBreak)},
        {"{\\rtf1 \\b  two\r\n blanks\\nosuchword12 x}", " two blanksx/b"},
        {"{\\rtf1 a\\\nb}", "a\nb"},
        {"{\\rtf1\\qc\\sb240\\sa120 Title\\par Again\\par\\pard Body\\par\\li360\\fi-360\\qr Item}",
         "{C sb12 sa6}Title\n{C sb12 sa6}Again\nBody\n{R li18 fi-18}Item"},
        {"{\\rtf1 a\\b b\\b0 c\\i d\\i0 e\\ul f\\ulnone g\\ul h\\ul0 i}",
         "a|b/b|c|d/i|e|f/u|g|h/u|i"},
        {"{\\rtf1\\fs23 x{\\b\\i\\fs40 y}z{\\b0 w}}", "x/11.5|y/bi20|zw/11.5"},
        {"{\\rtf1\\b\\i\\ul\\fs40\\plain v}", "v"},
        {"{\\rtf1 a\\\\b\\{c\\}d\\~e\\-f\\_g}", "a\\b{c}d\u00A0ef\u2011g"},
        {"{\\rtf1 1\\'964 \\'80\\'92 caf\\'e9 20\\'B0}", "1–4 €’ café 20°"},
        {"{\\rtf1 caf\xe9 \x96}", "café –"}, {"{\\rtf1 a\\u8212?b\\u8212\\'97c}", "a—b—c"},
        {"{\\rtf1\\uc2 a\\u8212--b{\\uc0 \\u8211 c}\\u8211 ??d}", "a—b–c–d"},
        {"{\\rtf1 \\u-3988?}", "\uF06C"}, {"\r\n  {\\rtf1 x}", "x"},
        // Font tables with or without entry groups and final semicolons;
        // \deff where no \f is given.
        {"{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1{\\*\\panose 0202}Caf\\'e9 Serif;}}"
         "a\\f1 b\\f9 c}", "a/'Arial|b/'Café Serif|c/'Arial"},
        {"{\\rtf1{\\fonttbl\\f0 Arial;\\f3 Courier New}\\f3 a}", "a/'Courier New"},
        // Hidden destinations; a field shows its result; \bin data is raw.
        {"{\\rtf1{\\colortbl;\\red255;}{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}}{\\header H}"
         "{\\footer F}{\\pict 0100{03}}{\\object{\\objdata 01}}{\\*\\generator W;}"
         "{\\*\\whatever{a}{b{c}}}visible}", "visible"},
        {"{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt the site}}.}",
         "see the site."},
        {"{\\rtf1{\\pict\\bin4 }{\\\\}a\\bin3 {}}b}", "ab"},
        {"{\\rtf1 first\\par{\\b second", "first\nsecond/b"},
        {"{\\rtf1 a}}b} \\par junk{{", "a"}, {"{\\rtf1 a\\'zzb}", "azzb"},
        {QByteArray("{\\rtf1 a\0b\x01\x7f\\'00\\'0dc}", 22), "abc"},
        {"{\\rtf1\\fs99999999999999999999999 x}", "x/1638"}, {"{\\rtf1\\fs-40 x}", "x"},
        {"{\\rtf1\\uc99999999999 \\u99999999999999 abcdefghijklmnopqrstuvwxyz}", "\uFFFDqrstuvwxyz"},
        {"{\\rtf1\\li99999999999\\fi-99999999999\\sb-5 x}", "{li1584 fi-1584}x"}};
    // clang-format on
    for (const auto& [rtf, expected] : cases)
        EXPECT_EQ(describe(rtf), expected) << rtf.toStdString();
    for (const char* tail : {"\\'", "\\'4", "\\", "\\bin999999"})
        EXPECT_EQ(describe(QByteArray("{\\rtf1 a") + tail), "a") << tail;
    for (const char* text : {"", "Varnola help", "<html>{\\rtf1}</html>", "{\\rt", "\\rtf1 x}"})
        EXPECT_EQ(describe(text), "not RTF") << text;
}

// Deep nesting must neither exhaust memory nor lose track of the braces.
TEST(RtfReader, DeepNestingAndTheShippedHelp) {
    const QByteArray rtf =
        "{\\rtf1 a" + QByteArray(100000, '{') + "\\b b" + QByteArray(100000, '}') + "c}";
    EXPECT_EQ(describe(rtf), "a|b/b|c");
    // The help file that ships with the station must read completely: its
    // font, decoded escapes and no control words leaking into the text.
    const auto document = readRtfFile(QDir(VARNOLA_SOURCE_DIR).filePath("data/sathelp.rtf"));
    ASSERT_TRUE(document.has_value());
    const QString text = document->plainText();
    for (const char* leak : {"\\", "{", "}", "Times New Roman"})
        EXPECT_FALSE(text.contains(leak)) << leak;
    EXPECT_TRUE(text.contains(EnDash));
    for (const RtfParagraph& paragraph : document->paragraphs)
        EXPECT_EQ(paragraph.runs.value(0).fontFamily, "Arial") << paragraph.text().toStdString();
}
