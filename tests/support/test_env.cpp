#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <ctime>
#include <string>

void prepareTestEnvironment() {
    // Local time without daylight-saving jumps, whatever the host says.
    setenv("TZ", "UTC", 1);
    tzset();
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !QDir(runtime).exists()) {
        const std::string dir = QDir::tempPath().toStdString() + "/varnola-test-runtime";
        QDir().mkpath(QString::fromStdString(dir));
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    QDir(std::getenv("XDG_RUNTIME_DIR")).mkpath(".");
    // Files the program would find installed on this machine (its help under
    // /usr/share) must not leak into a test of what it does without them.
    const std::string noData = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/no-installed-data";
    setenv("XDG_DATA_DIRS", noData.c_str(), 1);
    setenv("XDG_DATA_HOME", noData.c_str(), 1);
    QFile::setPermissions(QString::fromLocal8Bit(std::getenv("XDG_RUNTIME_DIR")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
