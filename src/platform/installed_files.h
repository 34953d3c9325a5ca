#pragma once

#include <QString>

// Files the package installs beside the program (the help text). They are
// looked for relative to the running binary first, so a package unpacked
// under any root or prefix finds its own files, then in the XDG data folders.
// Empty when the file is in none of them.
QString installedDataFile(const QString& name);
