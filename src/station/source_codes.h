#pragma once

#include "station/sorted_list.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class DrivePaths;

// The programme source codes the operator keeps in Source.dat, one a line.
constexpr const char* SourceCodesStationPath = "c:\\satfile\\Source.dat";

// The codes of a Source.dat text in file order. A code ends at a comma or a
// line end and the blanks around it are dropped; empty fields are no codes.
QStringList parseSourceCodes(const QByteArray& text);

// The codes of Source.dat. A file that is missing or cannot be read gives no
// codes: the windows that offer them then ask the operator to add some.
QStringList readSourceCodes(const DrivePaths& paths);

// Rewrites Source.dat with one code a line. The new text goes to a temporary
// file that then replaces the old one, so a crash or a full disk leaves the
// old list, never an empty or half-written one. False with the reason.
bool writeSourceCodes(const DrivePaths& paths, const QStringList& codes, QString* error);

// The list the operator maintains: sorted by text (letter case ignored), a
// code added twice listed twice, every change saved at once.
class SourceCodeList {
public:
    static constexpr int MaxLength = 3;

    explicit SourceCodeList(const DrivePaths& paths) : paths_(paths) {}

    // Reads Source.dat; a missing file gives an empty list.
    void load();
    const SortedList& codes() const { return codes_; }

    // Adds the text upper-cased and saves; the new entry (the last of equal
    // ones) becomes the selection. Blank text adds nothing. An empty result
    // means done; otherwise the message for the operator, and the list and
    // file are as they were.
    QString add(const QString& text);
    // Removes an entry and saves; nothing without an entry. Same result.
    QString removeAt(int index);

private:
    QString save(const std::vector<SortedList::Item>& before);

    const DrivePaths& paths_;
    SortedList codes_;
};

// The code a typed text stands for, written as the list keeps its codes and
// the receiver is sent them: blanks around it dropped, at most three
// characters, upper case.
QString typedSourceCode(const QString& text);
