#pragma once

#include <QStringList>

class DrivePaths;

// The programme source codes the operator keeps in Source.dat, one a line.
constexpr const char* SourceCodesStationPath = "c:\\satfile\\Source.dat";

// The codes in file order, each trimmed, empty lines left out. A file that is
// missing or cannot be read gives no codes: the windows that offer them then
// ask the operator to add some.
QStringList readSourceCodes(const DrivePaths& paths);
