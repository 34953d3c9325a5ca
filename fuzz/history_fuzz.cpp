#include "fuzz_support.h"
#include "history/take_history.h"

#include <QFile>

// A take history file damaged on disk, read as the command line and the
// Recordings window read it: it opens or is refused with a reason, and every
// row it gives has an outcome the monitoring words can name.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApplication();
    const QString path = fuzz::writeScratch("history.db", fuzz::bytes(data, size));
    QFile::remove(path + "-wal");
    QFile::remove(path + "-shm");
    QString error;
    const auto history = TakeHistory::openForReading(path, &error);
    fuzz::check(history || !error.isEmpty(), "a refused history says why");
    if (!history)
        return 0;
    for (const TakeRecord& r : history->since(QDateTime::fromSecsSinceEpoch(0)))
        fuzz::check(outcomeFromWord(outcomeWord(r.outcome)) == r.outcome,
                    "every row's outcome has its word");
    return 0;
}
