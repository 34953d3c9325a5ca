#pragma once

#include "platform/wave_player.h"

#include <QString>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

// Players whose file, position and end the test controls. The factory
// records every player made; the last one is the one in use.
class FakeWavePlayers {
public:
    class Player : public WavePlayer {
    public:
        Player(FakeWavePlayers& owner, int d) : device(d), owner_(owner) {}

        bool load(const QString& hostPath, QString* error) override {
            if (owner_.failLoad) {
                *error = "damaged";
                return false;
            }
            path = hostPath;
            return true;
        }
        qint64 durationMs() const override { return owner_.durationMs; }
        int channels() const override { return 2; }
        int sampleRate() const override { return 44100; }
        int bitsPerSample() const override { return 16; }
        void setEndPositionMs(qint64 ms) override { endMs = ms; }
        qint64 positionMs() const override { return position; }
        void setPositionMs(qint64 ms) override { position = ms; }
        bool start(QString*) override { return playing = true; }
        void pause() override { paused = true; }
        void resume() override { paused = false; }
        void stop() override {
            if (!playing)
                return;
            playing = paused = false;
            notifyStopped();
        }
        bool isPlaying() const override { return playing; }
        bool isPaused() const override { return paused; }

        // Plays on for ms; stops at the end position or the end of the file.
        void play(qint64 ms) {
            const qint64 end = endMs > 0 ? endMs : owner_.durationMs;
            position = std::min(position + ms, end);
            if (position == end)
                stop();
        }

        const int device;
        QString path;
        qint64 position = 0, endMs = 0;
        bool playing = false, paused = false;

    private:
        FakeWavePlayers& owner_;
    };

    std::function<std::unique_ptr<WavePlayer>(int)> factory() {
        return [this](int device) {
            auto p = std::make_unique<Player>(*this, device);
            made.push_back(p.get());
            return p;
        };
    }
    Player& last() { return *made.back(); }

    qint64 durationMs = 300000;
    bool failLoad = false;
    // Only the last one is alive.
    std::vector<Player*> made;
};
