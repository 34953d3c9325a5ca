#pragma once

#include "platform/drive_paths.h"

#include <QString>
#include <QWidget>

class QKeyEvent;
class QTextEdit;
struct RtfDocument;

// Shows the station's help file, read from the system drive. The file ships
// with the station; when it is missing or damaged the window says where it
// belongs instead of staying blank.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    static inline const QString HelpFolder = R"(c:\program files\duzidazoda)";
    static inline const QString HelpFile = HelpFolder + R"(\sathelp.rtf)";
    // Names the folder exactly as the window looks for it, so the engineer
    // installs the file where it will be found.
    static inline const QString MissingText =
        "The help file, sathelp.rtf was not found.  It should be installed in " + HelpFolder;

    // The help under the drive mapping, where the station has always kept it,
    // else the one the package installed; empty when there is neither.
    static QString locate(const DrivePaths& paths);

    explicit frmHelp(const DrivePaths& paths, QWidget* parent = nullptr);
    // Reads the help from a host path directly.
    explicit frmHelp(const QString& hostPath, QWidget* parent = nullptr);

    // True when the help file was read and shown.
    bool loaded() const { return loaded_; }

    QTextEdit* RichTextBox1;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool load(const QString& hostPath);
    void render(const RtfDocument& document);

    bool loaded_ = false;
};
