#include "export/export_setup.h"

#include "station/schedule_file.h"

std::vector<ExportProgramEntry> ExportProgramList(const ScheduleFile& file, ExportListView view) {
    std::vector<ExportProgramEntry> entries;
    for (const ScheduleFile::Entry& e : file.scan()) {
        const QString number = QString::number(e.n).rightJustified(3, ' ');
        const QString text = view == ExportListView::Names
                                 ? e.fields.SatName + " " + e.fields.SatLen + " " + number
                                 : number + " " + e.fields.SatName + " " + e.fields.SatLen;
        entries.push_back({text, e.n});
    }
    return entries;
}

QString WinjockSlotText(ScheduleNo n) {
    return QString::number(n + 8000).rightJustified(3, '0');
}

QString WinjockPathText(ScheduleNo n) {
    return "H:\\programs\\SF" + WinjockSlotText(n) + "NNN.wav";
}

bool DestinationCharAccepted(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == ':' ||
           u == '\\' || u == '_' || u == '\b';
}

QString RefusedKeyMessage(QChar c) {
    return QString(" ") + c + " " + " is not a valid character";
}

ExportRecord BuildExportRecord(const ExportForm& form) {
    ExportRecord r;
    r.ExportMode = form.mode;
    for (size_t d = 0; d < 7; ++d) {
        r.ExportDays[d] = form.days[d] ? 1 : 0;
        r.ExportPaths[d] = form.paths[d];
    }
    r.ExportFade = form.fade ? 1 : 0;
    r.ExportLength = form.length;
    r.WinjockNumber = TypedNumber(form.number);
    return r;
}
