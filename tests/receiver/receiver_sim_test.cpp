// The receiver simulator driven through its pseudo-terminal as the station
// drives the real receiver: the port is opened afresh for every exchange.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
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

bool endsAnswer(const QByteArray& text) {
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

    // A command the station does not wait for: written, then the port closes.
    void send(const QByteArray& command) {
        QSerialPort port;
        open(port);
        write(port, command + '\r');
        port.close();
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

TEST_F(ReceiverSimTest, CarrierStatusHoldsEbNoOnTwelfthLineAndEndsWithTheOnlyPrompt) {
    start({"--ebno", "12.3"});
    const QByteArray answer = ask("R C");
    const QList<QByteArray> lines = answer.split('\n');
    ASSERT_GE(lines.size(), 13) << answer.toStdString(); // 12 line feeds at least
    EXPECT_TRUE(lines[11].startsWith("Eb/No")) << lines[11].toStdString();
    EXPECT_EQ(valueOf(lines[11]), "12.3 dB");
    EXPECT_TRUE(lines[11].endsWith('\r'));
    EXPECT_EQ(answer.indexOf('>'), answer.size() - 1);
}

TEST_F(ReceiverSimTest, DetailedCarrierRunsPastSevenHundredCharactersUnlessCut) {
    start();
    const QByteArray full = ask("RT C");
    EXPECT_GT(full.size(), 700);
    EXPECT_EQ(full.indexOf('>'), full.size() - 1);

    start({"--short-carrier"});
    const QByteArray cut = ask("RT C");
    EXPECT_LT(cut.size(), 700);
    EXPECT_EQ(cut.indexOf('>'), cut.size() - 1);
}

TEST_F(ReceiverSimTest, RelaysFollowCommandsSentOnEarlierOpens) {
    start();
    EXPECT_EQ(valueOf(rowOf(ask("R R"), "Relay 1")), "OPEN");
    send("RE C 1");
    send("RE C 2");
    send("RE O 2");
    const QByteArray relays = ask("R R");
    EXPECT_EQ(valueOf(rowOf(relays, "Relay 1")), "CLOSED") << relays.toStdString();
    EXPECT_EQ(valueOf(rowOf(relays, "Relay 2")), "OPEN");

    send("ER E 1");
    send("ER E 14");
    send("ER E 7");
    send("ER D 7");
    send("ER  E   9"); // blanks doubled
    const QByteArray card = ask("R ER");
    EXPECT_EQ(valueOf(rowOf(card, "Relay 1")), "ENABLED") << card.toStdString();
    EXPECT_EQ(valueOf(rowOf(card, "Relay 7")), "DISABLED");
    EXPECT_EQ(valueOf(rowOf(card, "Relay 9")), "ENABLED");
    EXPECT_EQ(valueOf(rowOf(card, "Relay 14")), "ENABLED");
    EXPECT_EQ(valueOf(rowOf(card, "Relay 2")), "DISABLED");

    EXPECT_TRUE(ask("ER E 15").contains("Invalid parameter"));
    EXPECT_TRUE(ask("R X").contains("Unknown command"));
}

TEST_F(ReceiverSimTest, AudioSettingsOfEachPortShowInStatusAndCommandsAreLoggedVerbatim) {
    start();
    send("SETAUDIO 1 S AA1 0 ");
    send("SETAUDIO 2 S AB2 3");
    send("SETAUDIO 3 S AA10");
    send("SETAUDIO 1 S AA2 5  ");
    for (const QByteArray& query : {QByteArray("R M"), QByteArray("R S")}) {
        const QByteArray answer = ask(query);
        EXPECT_EQ(valueOf(rowOf(answer, "Audio port 1")), "S AA2 5") << answer.toStdString();
        EXPECT_EQ(valueOf(rowOf(answer, "Audio port 2")), "S AB2 3");
        EXPECT_EQ(valueOf(rowOf(answer, "Audio port 3")), "S AA10");
    }
    ASSERT_TRUE(logged(6));
    EXPECT_EQ(loggedCommands(),
              (QList<QByteArray>{"SETAUDIO 1 S AA1 0 ", "SETAUDIO 2 S AB2 3", "SETAUDIO 3 S AA10",
                                 "SETAUDIO 1 S AA2 5  ", "R M", "R S"}));
}

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

TEST_F(ReceiverSimTest, SilentReceiverTakesCommandsButNeverAnswers) {
    start({"--silent"});
    QSerialPort port;
    open(port);
    write(port, "R C\r");
    ASSERT_TRUE(logged(1));
    EXPECT_FALSE(port.waitForReadyRead(300));
    EXPECT_EQ(port.readAll(), QByteArray());
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

TEST_F(ReceiverSimTest, BabblingReceiverKeepsSendingAcrossOpensAndNeverPrompts) {
    start({"--babble"});
    const auto atLeast = [](qsizetype n) {
        return [n](const QByteArray& t) { return t.size() >= n; };
    };
    {
        QSerialPort port;
        open(port);
        write(port, "R C\r");
        const QByteArray text = collect(port, atLeast(64 * 1024));
        EXPECT_GE(text.size(), 64 * 1024);
        EXPECT_FALSE(text.contains('>'));
    }
    QSerialPort again;
    open(again);
    const QByteArray more = collect(again, atLeast(4096));
    EXPECT_GE(more.size(), 4096);
    EXPECT_FALSE(more.contains('>'));
    EXPECT_EQ(sim->state(), QProcess::Running);
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
