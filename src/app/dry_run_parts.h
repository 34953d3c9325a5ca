#pragma once

#include "app/receiver_answers.h"
#include "platform/audio.h"
#include "platform/io_ports.h"
#include "platform/serial_port.h"
#include "platform/timers.h"
#include "platform/wave_player.h"
#include "station/messages.h"

#include <QByteArray>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

// The hardware of a station run ahead of time: nothing here reaches a real
// device, and each part answers the way a working station's would.

// Sound cards on which programme audio is always present: a started input
// delivers one loud buffer, as soon as a real card would have filled one,
// which starts the take; the take then runs for its scheduled length without
// more buffers, so a week of takes writes almost nothing.
class DryRunAudio : public AudioDevices {
public:
    explicit DryRunAudio(Timers& timers) : timers_(timers) {}
    QStringList inputNames() const override { return {"Input 1", "Input 2"}; }
    QStringList outputNames() const override { return {"Output 1", "Output 2"}; }
    std::unique_ptr<AudioInput> createInput(int device) override;

private:
    Timers& timers_;
};

// A receiver that answers every command on the line, as the network's
// receiver does; each write is reported with its bytes.
class DryRunSerialPort : public SerialPort {
public:
    explicit DryRunSerialPort(std::function<void(const QByteArray&)> written);
    bool open(const QString& device, const QString& settings, int* errorNumber,
              QString* description) override;
    bool isOpen() const override { return open_; }
    bool write(const QByteArray& data) override;
    qint64 bytesToWrite() const override { return 0; }
    QByteArray readAll() override;
    void close() override;

private:
    std::function<void(const QByteArray&)> written_;
    ReceiverAnswers receiver_;
    QByteArray command_, pending_;
    bool open_ = false;
};

// I/O ports in memory: every remote contact open, relays written and kept.
class DryRunPorts : public IoPorts {
public:
    DryRunPorts();
    std::optional<uint8_t> Inp(int port) override;
    bool Outp(int port, uint8_t value) override;
    QString lastError() const override { return {}; }

private:
    std::array<uint8_t, 1024> bytes_{};
};

// A player that plays nothing: nobody presses Play in a dry run.
std::unique_ptr<WavePlayer> makeDryRunPlayer(int device);

// Messages for nobody to answer: each one shown is reported; a question is
// answered No.
class DryRunMessages : public Messages {
public:
    explicit DryRunMessages(std::function<void(const QString&)> shown) : shown_(std::move(shown)) {}
    void ShowMessage(const QString& text) override { shown_(text); }
    bool AskYesNo(const QString&, const QString&) override { return false; }

private:
    std::function<void(const QString&)> shown_;
};
