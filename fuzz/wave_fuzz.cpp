#include "export/export_copy.h"
#include "fuzz_support.h"
#include "platform/station_config.h"
#include "platform/wave_player.h"

// A recording as playback loads it and as the hand-off copies it: the copy
// reads the audio, fades its end and checks what it stored.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString wave = fuzz::writeScratch("take.wav", fuzz::bytes(data, size));

    StationConfig config;
    config.audioBackend = "simulated";
    config.audioOutputs[0] = fuzz::scratchDir() + "/play.pcm";
    const auto player = makeWavePlayer(config, 0);
    QString error;
    if (player->load(wave, &error)) {
        fuzz::check(player->durationMs() >= 0, "a length is not negative");
        player->setEndPositionMs(1000);
        player->setPositionMs(500);
        fuzz::check(player->positionMs() >= 0, "a position is not negative");
    } else {
        fuzz::check(!error.isEmpty(), "a refusal says why");
    }

    CopyOrder order;
    order.source = wave;
    order.destination = fuzz::scratchDir() + "/store/take.wav";
    order.lengthMs = 6000;
    order.fade = true;
    static const bool storeMade = QDir().mkpath(fuzz::scratchDir() + "/store");
    fuzz::check(storeMade, "the store folder exists");
    ExportCopy copy(order);
    // A copy still running after this long would hold up the hand-off.
    fuzz::check(copy.waitFor(20000), "the copy ends");
    const CopyResult result = copy.result();
    fuzz::check(result.ok || !result.error.isEmpty(), "a failed copy says why");
    return 0;
}
