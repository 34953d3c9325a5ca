#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>

// The serial line as the station last set it.
struct LineSettings {
    long baud = 0; // 0: a speed we do not know by number
    int stopBits = 1;
};

// The receiver's state and the text it answers each command with.
class Receiver {
public:
    struct Options {
        std::string ebNo = "9.8";
        // Cut the detailed carrier answer below the length the station waits
        // for, so that a test can watch the station run into its time-out.
        bool shortCarrier = false;
    };

    static constexpr int AudioPorts = 4;
    static constexpr int ReceiverRelays = 2;
    static constexpr int ExpansionRelays = 14;

    explicit Receiver(Options options);

    // The whole answer to one command (given without its carriage return),
    // ending in the prompt.
    std::string answer(std::string_view command, const LineSettings& line);

private:
    std::string setAudio(std::string_view command);
    std::string switchRelay(std::string_view action, std::string_view number);
    std::string switchExpansionRelay(std::string_view action, std::string_view number);
    std::string carrier() const;
    std::string carrierDetail() const;
    std::string relays() const;
    std::string expansionRelays() const;
    std::string mpeg() const;
    std::string serialPort(const LineSettings& line) const;
    std::string settings(const LineSettings& line) const;
    std::string esNo() const;
    std::string lockedFor() const;

    Options options_;
    std::chrono::steady_clock::time_point locked_;
    std::array<bool, ReceiverRelays> relayClosed_{};
    std::array<bool, ExpansionRelays> expansionEnabled_{};
    std::array<std::string, AudioPorts> audio_;
};
