#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

// The subset of RTF that a help file written in an ordinary word processor
// uses: text, paragraphs, bold/italic/underline, font sizes and font names.
// Everything else (pictures, tables' layout, colours, styles) is dropped, and
// damaged input yields whatever could be read rather than an error.

struct RtfRun {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    // In points; 0 leaves the viewer's default size.
    double pointSize = 0;
    // Empty leaves the viewer's default family.
    QString fontFamily;

    bool sameFormat(const RtfRun& other) const;
    bool operator==(const RtfRun&) const = default;
};

enum class RtfAlignment { Left, Center, Right, Justify };

struct RtfParagraph {
    QList<RtfRun> runs;
    RtfAlignment alignment = RtfAlignment::Left;
    // In points. A negative first-line indent hangs the first line out to
    // the left, as bulleted lists do.
    double leftIndent = 0;
    double firstLineIndent = 0;
    double spaceBefore = 0;
    double spaceAfter = 0;

    QString text() const;
};

struct RtfDocument {
    QList<RtfParagraph> paragraphs;

    // Paragraphs joined with '\n'.
    QString plainText() const;
};

// Empty when the bytes do not begin with "{\rtf" (leading blanks allowed).
std::optional<RtfDocument> readRtf(QByteArrayView data);

// Empty when the file cannot be read, is implausibly large for a help file,
// or is not RTF.
std::optional<RtfDocument> readRtfFile(const QString& path);
