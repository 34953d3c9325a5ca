#pragma once

#include "app/station_assembly.h"
#include "fakes/fake_audio.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_wave_player.h"
#include "fakes/temp_station.h"
#include "platform/io_ports.h"

#include <memory>

// A whole station on a TempStation, built by the program's own assembly on
// fake sound cards, a fake serial line, fake players and a port file in
// which every remote contact is open.
struct AssembledStation {
    explicit AssembledStation(TempStation& t)
        : station(t), portFile(t.root() + "/ports"), ports(portFile) {
        QByteArray bytes(1024, '\0');
        bytes[889] = char(127); // the parallel status lines
        TempStation::writeFile(portFile, bytes);
    }

    // Builds the parts; the test's settings and schedules are written first.
    StationAssembly& assemble() {
        parts = std::make_unique<StationAssembly>(
            *station.station,
            StationHardware{audio, ports, std::make_unique<FakeSerialPort>(serial),
                            players.factory()});
        return *parts;
    }

    // Byte n of the port file: the contacts on 889, the relays on 888.
    void setPort(int n, uint8_t value) { TempStation::writeByte(portFile, n, value); }

    // The cards deliver their buffers as the frames come due, each sample at
    // its input's level.
    void startCards() {
        card = station.time.create(10);
        card->setHandler([this] {
            const qint64 now = station.time.monotonicMs();
            for (int device = 0; device < 2; ++device) {
                auto* in = audio.input(device);
                if (!in) {
                    delivered[device] = now * AudioSampleRate / 1000;
                    continue;
                }
                const int frames = AudioBufferBytes / (2 * in->channels());
                while (now * AudioSampleRate / 1000 - delivered[device] >= frames) {
                    delivered[device] += frames;
                    in->push(levelBuffer(in->channels(), level[device], level[device]));
                }
            }
        });
        card->setEnabled(true);
    }

    TempStation& station;
    FakeAudioDevices audio;
    // What each input hears: the value of every sample.
    qint16 level[2] = {0, 0};
    qint64 delivered[2] = {0, 0};
    std::unique_ptr<Timer> card;
    FakeSerialPort::Shared serial;
    FakeWavePlayers players;
    QString portFile;
    PortFile ports;
    std::unique_ptr<StationAssembly> parts;
};
