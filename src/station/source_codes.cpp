#include "station/source_codes.h"

#include "platform/drive_paths.h"

#include <QFile>
#include <QSaveFile>

QStringList parseSourceCodes(const QByteArray& text) {
    QStringList codes;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
            continue;
        // Trimming also takes tabs, which an editor may have left.
        const QString code = QString::fromLatin1(text.mid(start, i - start)).trimmed();
        if (!code.isEmpty())
            codes << code;
        start = i + 1;
    }
    return codes;
}

QStringList readSourceCodes(const DrivePaths& paths) {
    QFile file(paths.resolve(SourceCodesStationPath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseSourceCodes(file.readAll());
}

bool writeSourceCodes(const DrivePaths& paths, const QStringList& codes, QString* error) {
    QByteArray text;
    for (const QString& code : codes)
        text += code.toLatin1() + "\r\n";
    QSaveFile file(paths.resolve(SourceCodesStationPath));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void SourceCodeList::load() {
    codes_.clear();
    std::vector<SortedList::Item> items;
    for (const QString& code : readSourceCodes(paths_))
        items.push_back({code, 0});
    codes_.addAll(std::move(items));
}

QString SourceCodeList::add(const QString& text) {
    const QString code = typedSourceCode(text);
    if (code.isEmpty())
        return {};
    // The file's readers split at commas: such a code would come back as two.
    if (code.contains(','))
        return "A source code cannot contain a comma.";
    const auto before = codes_.items();
    const int index = codes_.add(code, 0);
    codes_.selected = index;
    return save(before);
}

QString SourceCodeList::removeAt(int index) {
    if (index < 0 || index >= codes_.count())
        return {};
    const auto before = codes_.items();
    codes_.removeAt(index);
    return save(before);
}

QString SourceCodeList::save(const std::vector<SortedList::Item>& before) {
    QStringList texts;
    for (const auto& item : codes_.items())
        texts << item.text;
    QString reason;
    if (writeSourceCodes(paths_, texts, &reason))
        return {};
    // The list keeps showing what the file holds.
    codes_.clear();
    codes_.addAll(before);
    return QString("Cannot save %1: %2").arg(SourceCodesStationPath, reason);
}

QString typedSourceCode(const QString& text) {
    return text.trimmed().left(SourceCodeList::MaxLength).toUpper();
}
