#include "windows/frmHelp.h"

#include "platform/installed_files.h"
#include "windows/rtf_reader.h"

#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>
#include <QVBoxLayout>
#include <algorithm>

namespace {

Qt::Alignment toQt(RtfAlignment alignment) {
    switch (alignment) {
    case RtfAlignment::Center:
        return Qt::AlignHCenter;
    case RtfAlignment::Right:
        return Qt::AlignRight;
    case RtfAlignment::Justify:
        return Qt::AlignJustify;
    case RtfAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat toQt(const RtfRun& run) {
    QTextCharFormat format;
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline);
    if (run.pointSize > 0)
        format.setFontPointSize(run.pointSize);
    if (!run.fontFamily.isEmpty())
        format.setFontFamilies(QStringList{run.fontFamily});
    return format;
}

} // namespace

QString frmHelp::locate(const DrivePaths& paths) {
    const QString mapped = paths.resolve(HelpFile);
    if (QFileInfo(mapped).isFile())
        return mapped;
    return installedDataFile("sathelp.rtf");
}

frmHelp::frmHelp(const DrivePaths& paths, QWidget* parent) : frmHelp(locate(paths), parent) {}

frmHelp::frmHelp(const QString& hostPath, QWidget* parent)
    : QWidget(parent, Qt::Window), RichTextBox1(new QTextEdit(this)) {
    setObjectName("frmHelp");
    setWindowTitle("Varnola Help");
    resize(640, 480);

    RichTextBox1->setObjectName("RichTextBox1");
    RichTextBox1->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichTextBox1);

    loaded_ = load(hostPath);
    if (!loaded_) {
        RichTextBox1->setFont(QFont("Times New Roman"));
        RichTextBox1->setPlainText(MissingText);
    }
}

void frmHelp::keyPressEvent(QKeyEvent* event) {
    // Escape puts the help away, as it does the station's dialogs.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmHelp::load(const QString& hostPath) {
    const std::optional<RtfDocument> document = readRtfFile(hostPath);
    if (!document)
        return false;
    render(*document);
    return true;
}

void frmHelp::render(const RtfDocument& document) {
    // The model is in points; block margins are in the document's pixels.
    const double pixelsPerPoint = RichTextBox1->logicalDpiX() / 72.0;
    QTextDocument* text = RichTextBox1->document();
    text->clear();
    QTextCursor cursor(text);
    cursor.beginEditBlock();
    bool first = true;
    for (const RtfParagraph& paragraph : document.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(toQt(paragraph.alignment));
        block.setLeftMargin(std::max(0.0, paragraph.leftIndent) * pixelsPerPoint);
        block.setTextIndent(paragraph.firstLineIndent * pixelsPerPoint);
        block.setTopMargin(paragraph.spaceBefore * pixelsPerPoint);
        block.setBottomMargin(paragraph.spaceAfter * pixelsPerPoint);
        // A hanging first line tabs to the indent, which is how bulleted
        // and numbered lists line up their text.
        if (paragraph.firstLineIndent < 0 && paragraph.leftIndent > 0)
            block.setTabPositions(
                {QTextOption::Tab(paragraph.leftIndent * pixelsPerPoint, QTextOption::LeftTab)});
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const RtfRun& run : paragraph.runs)
            cursor.insertText(run.text, toQt(run));
    }
    cursor.endEditBlock();
    RichTextBox1->moveCursor(QTextCursor::Start);
}
