#include "windows/rtf_reader.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

bool RtfRun::sameFormat(const RtfRun& other) const {
    return bold == other.bold && italic == other.italic && underline == other.underline &&
           pointSize == other.pointSize && fontFamily == other.fontFamily;
}

QString RtfParagraph::text() const {
    QString out;
    for (const RtfRun& run : runs)
        out += run.text;
    return out;
}

QString RtfDocument::plainText() const {
    QStringList lines;
    lines.reserve(paragraphs.size());
    for (const RtfParagraph& p : paragraphs)
        lines << p.text();
    return lines.join('\n');
}

namespace {

// Help files are a few hundred kilobytes; anything far larger is not one and
// would only tie up the station's memory.
constexpr qint64 MaxFileBytes = 32 * 1024 * 1024;
// Real documents nest a dozen levels at most. Deeper groups are still counted
// so that their closing braces match, but they share their parent's state.
constexpr int MaxDepth = 256;
// Largest \fs accepted (half-points); larger sizes are clamped rather than
// handed to the text renderer.
constexpr int MaxHalfPoints = 2 * 1638;
// Indents and spacing beyond 22 inches (in twips) are damage.
constexpr int MaxTwips = 22 * 1440;
// A \uc fallback longer than this is damage, not a real replacement text.
constexpr int MaxUnicodeSkip = 16;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the undefined codes
// pass through as their C1 controls, as browsers decode them.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar fromCp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(Cp1252High[byte - 0x80]);
    return QChar(byte);
}

// Groups whose content is never shown. Any group opened with \* is skipped
// as well, which covers the many optional destinations not listed here.
// clang-format off
constexpr std::string_view SkippedDestinations[] = {
    "colortbl", "stylesheet", "info", "pict", "object", "objdata", "nonshppict",
    "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
    "footnote", "fldinst", "xe", "tc", "txe", "rxe", "pntxta", "pntxtb",
    "filetbl", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator",
    "themedata", "datastore", "latentstyles", "xmlnstbl", "template",
    "author", "operator", "title", "subject", "keywords", "doccomm"};
// clang-format on

enum class Destination { Text, FontTable, Skip };

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;
    int font = -1;
};

struct Group {
    CharFormat format;
    int unicodeSkip = 1;
    Destination destination = Destination::Text;
};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    explicit Parser(std::string_view data) : data_(data) {}

    RtfDocument run() {
        while (pos_ < data_.size() && !finished_) {
            const char c = data_[pos_++];
            switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                escape();
                break;
            case '\r':
            case '\n':
                break;
            default:
                plainByte(static_cast<unsigned char>(c));
                break;
            }
        }
        // A file cut short still shows what it had.
        if (!paragraph_.runs.isEmpty())
            endParagraph();
        return std::move(document_);
    }

private:
    Group& top() { return stack_.back(); }
    Destination destination() const {
        return stack_.empty() ? Destination::Skip : stack_.back().destination;
    }

    void openGroup() {
        pendingSkip_ = 0;
        if (stack_.size() >= MaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(stack_.empty() ? Group{} : stack_.back());
    }

    void closeGroup() {
        pendingSkip_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.empty()) {
            finished_ = true;
            return;
        }
        if (top().destination == Destination::FontTable)
            commitFont();
        stack_.pop_back();
        // Whatever follows the document's closing brace is not part of it.
        if (stack_.empty())
            finished_ = true;
    }

    // Consumes one character of a \u replacement text; true when it did.
    bool skipFallback() {
        if (pendingSkip_ == 0)
            return false;
        --pendingSkip_;
        return true;
    }

    void escape() {
        if (pos_ >= data_.size())
            return;
        if (isLetter(data_[pos_])) {
            controlWord();
            return;
        }
        const char c = data_[pos_++];
        if (c == '*') {
            if (!stack_.empty())
                top().destination = Destination::Skip;
            return;
        }
        if (c == '\'') {
            hexByte();
            return;
        }
        if (destination() == Destination::Skip || skipFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            put(QChar(QLatin1Char(c)));
            break;
        case '~':
            put(QChar(0x00A0));
            break;
        case '_':
            put(QChar(0x2011));
            break;
        case '\r':
        case '\n':
            if (destination() == Destination::Text)
                endParagraph();
            break;
        default:
            // \- (optional hyphen) and the rarer symbols show nothing.
            break;
        }
    }

    void hexByte() {
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < data_.size()) {
            const int v = hexValue(data_[pos_]);
            if (v < 0)
                break;
            value = value * 16 + v;
            ++digits;
            ++pos_;
        }
        if (digits == 0 || destination() == Destination::Skip || skipFallback())
            return;
        put(fromCp1252(static_cast<unsigned char>(value)));
    }

    void controlWord() {
        const size_t start = pos_;
        while (pos_ < data_.size() && isLetter(data_[pos_]))
            ++pos_;
        const std::string_view word = data_.substr(start, pos_ - start);

        bool hasParam = false;
        bool negative = false;
        int64_t value = 0;
        if (pos_ + 1 < data_.size() && data_[pos_] == '-' && isDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < data_.size() && isDigit(data_[pos_])) {
            hasParam = true;
            // Saturates instead of overflowing; the digits are still consumed.
            if (value <= std::numeric_limits<int32_t>::max())
                value = value * 10 + (data_[pos_] - '0');
            ++pos_;
        }
        value = std::min<int64_t>(value, std::numeric_limits<int32_t>::max());
        const int param = static_cast<int>(negative ? -value : value);
        if (pos_ < data_.size() && data_[pos_] == ' ')
            ++pos_;

        apply(word, hasParam, param);
    }

    void apply(std::string_view word, bool hasParam, int param) {
        if (word == "bin") {
            // Raw bytes follow; they may contain braces and must not be parsed.
            const size_t length = hasParam && param > 0 ? static_cast<size_t>(param) : 0;
            pos_ += std::min(length, data_.size() - pos_);
            skipFallback();
            return;
        }
        if (destination() == Destination::Skip || skipFallback())
            return;
        if (std::ranges::find(SkippedDestinations, word) != std::end(SkippedDestinations)) {
            top().destination = Destination::Skip;
            return;
        }
        if (word == "fonttbl") {
            top().destination = Destination::FontTable;
            return;
        }
        if (word == "u") {
            unicode(param);
            return;
        }
        if (word == "uc") {
            top().unicodeSkip = std::clamp(param, 0, MaxUnicodeSkip);
            return;
        }
        if (word == "deff") {
            defaultFont_ = param;
            return;
        }
        if (destination() == Destination::FontTable) {
            if (word == "f") {
                fontName_.clear();
                fontNumber_ = param;
            }
            return;
        }
        textWord(word, hasParam, param);
    }

    void textWord(std::string_view word, bool hasParam, int param) {
        CharFormat& format = top().format;
        const bool on = !hasParam || param != 0;
        if (word == "par" || word == "sect" || word == "page" || word == "row")
            endParagraph();
        else if (word == "line")
            put(QChar(QChar::LineSeparator));
        else if (word == "tab" || word == "cell")
            put(QChar('\t'));
        else if (word == "pard")
            layout_ = RtfParagraph{};
        else if (word == "li")
            layout_.leftIndent = points(param);
        else if (word == "fi")
            layout_.firstLineIndent = points(param);
        else if (word == "sb")
            layout_.spaceBefore = std::max(0.0, points(param));
        else if (word == "sa")
            layout_.spaceAfter = std::max(0.0, points(param));
        else if (word == "ql")
            layout_.alignment = RtfAlignment::Left;
        else if (word == "qc")
            layout_.alignment = RtfAlignment::Center;
        else if (word == "qr")
            layout_.alignment = RtfAlignment::Right;
        else if (word == "qj")
            layout_.alignment = RtfAlignment::Justify;
        else if (word == "plain")
            format = CharFormat{};
        else if (word == "b")
            format.bold = on;
        else if (word == "i")
            format.italic = on;
        else if (word == "ul" || word == "uld" || word == "uldb" || word == "uldash" ||
                 word == "ulw" || word == "ulth" || word == "ulwave")
            format.underline = on;
        else if (word == "ulnone")
            format.underline = false;
        else if (word == "fs")
            format.halfPoints = hasParam ? std::clamp(param, 0, MaxHalfPoints) : 0;
        else if (word == "f" && hasParam)
            format.font = param;
        else if (word == "emdash")
            put(QChar(0x2014));
        else if (word == "endash")
            put(QChar(0x2013));
        else if (word == "bullet")
            put(QChar(0x2022));
        else if (word == "lquote")
            put(QChar(0x2018));
        else if (word == "rquote")
            put(QChar(0x2019));
        else if (word == "ldblquote")
            put(QChar(0x201C));
        else if (word == "rdblquote")
            put(QChar(0x201D));
        else if (word == "emspace" || word == "enspace" || word == "qmspace")
            put(QChar(' '));
    }

    void unicode(int param) {
        // Values above 32767 are written as negative 16-bit numbers.
        int code = param < 0 ? param + 65536 : param;
        if (code <= 0 || code > 0xFFFF)
            code = 0xFFFD;
        put(QChar(static_cast<char16_t>(code)));
        pendingSkip_ = top().unicodeSkip;
    }

    void plainByte(unsigned char byte) {
        if (destination() == Destination::Skip)
            return;
        // Control bytes and DEL are damage, not text; tabs are kept as the
        // writer meant them.
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F)
            return;
        if (skipFallback())
            return;
        if (destination() == Destination::FontTable && byte == ';') {
            commitFont();
            return;
        }
        put(fromCp1252(byte));
    }

    void put(QChar c) {
        // Escaped control codes are damage too; a line break inside the
        // model is always QChar::LineSeparator.
        if (c.unicode() < 0x20 && c != QChar('\t'))
            return;
        switch (destination()) {
        case Destination::Text:
            appendText(c);
            break;
        case Destination::FontTable:
            fontName_ += c;
            break;
        case Destination::Skip:
            break;
        }
    }

    void commitFont() {
        const QString name = fontName_.trimmed();
        if (!name.isEmpty() && fontNumber_ >= 0)
            fonts_.insert(fontNumber_, name);
        fontName_.clear();
    }

    void appendText(QChar c) {
        const CharFormat& format = top().format;
        RtfRun run;
        run.bold = format.bold;
        run.italic = format.italic;
        run.underline = format.underline;
        run.pointSize = format.halfPoints / 2.0;
        // A font missing from the table is shown in the document's default.
        auto font = fonts_.constFind(format.font);
        if (font == fonts_.constEnd())
            font = fonts_.constFind(defaultFont_);
        if (font != fonts_.constEnd())
            run.fontFamily = *font;
        QList<RtfRun>& runs = paragraph_.runs;
        if (!runs.isEmpty() && runs.last().sameFormat(run)) {
            runs.last().text += c;
        } else {
            run.text = c;
            runs.append(std::move(run));
        }
    }

    static double points(int twips) { return std::clamp(twips, -MaxTwips, MaxTwips) / 20.0; }

    void endParagraph() {
        // The properties in force at the paragraph mark are the paragraph's.
        paragraph_.alignment = layout_.alignment;
        paragraph_.leftIndent = layout_.leftIndent;
        paragraph_.firstLineIndent = layout_.firstLineIndent;
        paragraph_.spaceBefore = layout_.spaceBefore;
        paragraph_.spaceAfter = layout_.spaceAfter;
        document_.paragraphs.append(std::move(paragraph_));
        paragraph_ = RtfParagraph{};
    }

    std::string_view data_;
    size_t pos_ = 0;
    bool finished_ = false;
    std::vector<Group> stack_;
    int overflow_ = 0;
    int pendingSkip_ = 0;

    QHash<int, QString> fonts_;
    int defaultFont_ = -1;
    int fontNumber_ = -1;
    QString fontName_;

    // Paragraph properties being collected; its runs stay empty.
    RtfParagraph layout_;
    RtfParagraph paragraph_;
    RtfDocument document_;
};

} // namespace

std::optional<RtfDocument> readRtf(QByteArrayView data) {
    std::string_view text(data.data(), static_cast<size_t>(data.size()));
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || text.substr(start, 5) != "{\\rtf")
        return std::nullopt;
    return Parser(text.substr(start)).run();
}

std::optional<RtfDocument> readRtfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() > MaxFileBytes)
        return std::nullopt;
    // Only what the file holds: a buffer of the whole limit on every read
    // costs more than the parse.
    const QByteArray bytes = file.read(file.size());
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return readRtf(bytes);
}
