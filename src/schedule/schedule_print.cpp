#include "schedule/schedule_print.h"

#include "schedule/schedule_widgets.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

QString PrintLines(const std::vector<PrintLine>& lines, const QString& pdfPath) {
    QPrinter printer(QPrinter::HighResolution);
    if (pdfPath.isEmpty()) {
        // Without a printer Qt would quietly write a PDF nobody asked for.
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return "No printer is installed: the schedule list was not printed.";
        printer.setPrinterName(info.printerName());
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
    }
    printer.setDocName("Satellite Record Schedule");

    QPainter painter;
    if (!painter.begin(&printer))
        return "The printer could not start the schedule list.";
    const double pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    double y = 0;
    for (const PrintLine& line : lines) {
        const QFont font = fixedPitchFont(line.pointSize);
        const QFontMetricsF metrics(font, &printer);
        if (y > 0 && y + metrics.height() > pageHeight) {
            if (!printer.newPage()) {
                painter.end();
                return "The printer failed while printing the schedule list.";
            }
            y = 0;
        }
        painter.setFont(font);
        painter.drawText(QPointF(0, y + metrics.ascent()), line.text);
        y += metrics.lineSpacing();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return "The printer failed while printing the schedule list.";
    return {};
}
