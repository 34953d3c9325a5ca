// The receiver simulator's own behaviours that the link's tests do not
// already exercise against it: split input, its slow and promptless modes,
// the speed it reports, and the link it offers for demonstrations.
#include "support/test.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace {

constexpr int AnswerTimeoutMs = 3000;

bool waitUntil(const std::function<bool()>& condition, int timeoutMs = AnswerTimeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

bool endsAnswer(QByteArray& text) {
    return text.contains('>');
}

// Reads until `done` holds or the time-out passes; `done` may tidy the text.
QByteArray collect(QSerialPort& port, const std::function<bool(QByteArray&)>& done,
                   int timeoutMs = AnswerTimeoutMs) {
    QByteArray text;
    QElapsedTimer timer;
    timer.start();
    while (!done(text) && timer.elapsed() < timeoutMs) {
        if (port.bytesAvailable() > 0 || port.waitForReadyRead(int(timeoutMs - timer.elapsed())))
            text += port.readAll();
    }
    return text;
}

class ReceiverSimTest : public ::testing::Test {
protected:
    ~ReceiverSimTest() override { stop(); }

    void stop() {
        if (sim && sim->state() != QProcess::NotRunning) {
            sim->kill();
            sim->waitForFinished(AnswerTimeoutMs);
        }
    }

    // Starts the simulator and takes the device path from its first line.
    void start(QStringList args = {}) {
        args << "--log" << logPath();
        stop();
        sim = std::make_unique<QProcess>();
        sim->start(RECEIVER_SIM, args);
        ASSERT_TRUE(sim->waitForStarted(AnswerTimeoutMs));
        ASSERT_TRUE(waitUntil([&] { return sim->canReadLine(); }))
            << sim->readAllStandardError().toStdString();
        device = QString::fromLocal8Bit(sim->readLine()).trimmed();
        ASSERT_TRUE(device.startsWith("/dev/")) << device.toStdString();
    }

    void open(QSerialPort& port, const QString& path = {}, qint32 baud = 19200) {
        port.setPortName(path.isEmpty() ? device : path);
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
        // 8N1 without flow control, as the station sets its port.
        ASSERT_TRUE(port.setBaudRate(baud) && port.setDataBits(QSerialPort::Data8) &&
                    port.setParity(QSerialPort::NoParity) &&
                    port.setStopBits(QSerialPort::OneStop) &&
                    port.setFlowControl(QSerialPort::NoFlowControl))
            << port.errorString().toStdString();
        port.readAll();
    }

    void write(QSerialPort& port, const QByteArray& data) {
        ASSERT_EQ(port.write(data), data.size());
        ASSERT_TRUE(port.waitForBytesWritten(AnswerTimeoutMs));
    }

    // A query. Like the station, a prompt among the first characters is taken
    // for the late answer to a command sent just before, not for this one.
    QByteArray ask(const QByteArray& command, const QString& path = {}, qint32 baud = 19200) {
        QSerialPort port;
        open(port, path, baud);
        write(port, command + '\r');
        return collect(port, [](QByteArray& text) {
            qsizetype mark;
            while ((mark = text.indexOf('>')) >= 0 && mark < 4)
                text.remove(0, mark + 1);
            return text.contains('>');
        });
    }

    QString logPath() const { return dir.filePath("commands.log"); }
    QList<QByteArray> loggedCommands() const {
        QFile f(logPath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines = f.readAll().split('\n');
        lines.removeLast(); // after the last line end
        return lines;
    }
    bool logged(int count) {
        return waitUntil([&] { return loggedCommands().size() >= count; });
    }

    // The value the station takes from a status line: its last 20 columns.
    static QByteArray valueOf(const QByteArray& line) { return line.right(20).trimmed(); }
    static QByteArray rowOf(const QByteArray& answer, const QByteArray& label) {
        for (const QByteArray& line : answer.split('\n')) {
            if (line.startsWith(label + ':'))
                return line;
        }
        return {};
    }

    QTemporaryDir dir;
    std::unique_ptr<QProcess> sim;
    QString device;
};

TEST_F(ReceiverSimTest, SerialPortAnswerShowsTheSpeedTheStationSet) {
    start();
    EXPECT_EQ(valueOf(rowOf(ask("R SP", {}, 9600), "Baud rate")), "9600");
    EXPECT_EQ(valueOf(rowOf(ask("R SP", {}, 19200), "Baud rate")), "19200");
}

TEST_F(ReceiverSimTest, CommandsAreCutAtCarriageReturnsWhateverTheWritesLookLike) {
    start();
    QSerialPort port;
    open(port);
    write(port, "R ");
    EXPECT_FALSE(port.waitForReadyRead(300)) << "answered half a command";
    write(port, "C\r");
    EXPECT_TRUE(collect(port, endsAnswer).contains("Eb/No"));

    // Two commands in one write, each followed by a stray line feed.
    write(port, "RE C 2\r\nR R\r\n");
    const QByteArray both = collect(port, [](const QByteArray& t) { return t.count('>') == 2; });
    EXPECT_FALSE(both.contains("Unknown"));
    EXPECT_EQ(valueOf(rowOf(both, "Relay 2")), "CLOSED") << both.toStdString();
    port.close();

    ASSERT_TRUE(logged(3));
    EXPECT_EQ(loggedCommands(), (QList<QByteArray>{"R C", "RE C 2", "R R"}));
}

TEST_F(ReceiverSimTest, SlowAnswerArrivesLateButWhole) {
    start({"--slow", "400"});
    QElapsedTimer timer;
    timer.start();
    const QByteArray answer = ask("R C");
    EXPECT_GE(timer.elapsed(), 400);
    EXPECT_GT(answer.count('\n'), 12);
    EXPECT_TRUE(answer.endsWith('>'));
}

TEST_F(ReceiverSimTest, NoPromptAnswersInFullWithoutTheEndMark) {
    start({"--no-prompt"});
    QSerialPort port;
    open(port);
    write(port, "R C\r");
    QByteArray answer =
        collect(port, [](const QByteArray& t) { return t.contains("Time locked"); });
    answer += collect(port, endsAnswer, 300);
    EXPECT_TRUE(answer.contains("Eb/No"));
    EXPECT_FALSE(answer.contains('>')) << answer.toStdString();
}

TEST_F(ReceiverSimTest, LinkReplacesAnOldOneServesAndGoesOnTermination) {
    const QString link = dir.filePath("receiver");
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), link));
    start({"--link", link});
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), device);
    EXPECT_TRUE(ask("R C", link).contains("Eb/No"));

    sim->terminate();
    ASSERT_TRUE(sim->waitForFinished(AnswerTimeoutMs));
    EXPECT_EQ(sim->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim->exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

} // namespace
