#pragma once

#include "schedule/schedule_views.h"

#include <QString>
#include <vector>

// Prints the lines on the default printer, or into a PDF file when pdfPath is
// given, in Courier New at each line's size, column 1 at the left of the
// printable area, going on to a new page when one is full. Returns the
// failure for the operator; empty when the job went to the printer.
QString PrintLines(const std::vector<PrintLine>& lines, const QString& pdfPath = {});
