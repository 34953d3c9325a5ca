#include "receiver.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Every answer starts on a fresh line after the command and ends with the
// prompt; nothing in between may contain the prompt character, or the
// station would stop reading there.
constexpr char Prompt = '>';
constexpr std::size_t LabelWidth = 20;
constexpr std::size_t ValueWidth = 20;

class Page {
public:
    explicit Page(std::string_view title) : text_("\r\n") { line(title); }

    Page& line(std::string_view s) {
        text_ += s;
        text_ += "\r\n";
        return *this;
    }
    // Values are right-aligned so that a reader can take the last columns of
    // a row without knowing the label.
    Page& row(std::string_view label, std::string_view value) {
        std::string s(label);
        s += ':';
        if (s.size() < LabelWidth)
            s.resize(LabelWidth, ' ');
        if (value.size() < ValueWidth)
            s.append(ValueWidth - value.size(), ' ');
        s += value;
        return line(s);
    }
    std::string done() const { return text_ + Prompt; }

private:
    std::string text_;
};

std::string done() {
    return std::string("\r\n") + Prompt;
}
std::string failure(std::string_view why) {
    return "\r\n" + std::string(why) + "\r\n" + Prompt;
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(s.substr(start, i - start));
    }
    return out;
}

bool is(std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(word[i])) != keyword[i])
            return false;
    }
    return true;
}

// 1..last, or 0.
int number(std::string_view word, int last) {
    int n = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
    if (ec != std::errc() || end != word.data() + word.size() || n < 1 || n > last)
        return 0;
    return n;
}

std::string joined(const std::vector<std::string_view>& w, std::size_t from) {
    std::string s;
    for (std::size_t i = from; i < w.size(); ++i) {
        if (!s.empty())
            s += ' ';
        s += w[i];
    }
    return s;
}

} // namespace

Receiver::Receiver(Options options)
    : options_(std::move(options)), locked_(std::chrono::steady_clock::now()) {
    audio_.fill("NOT SET");
}

std::string Receiver::answer(std::string_view command, const LineSettings& line) {
    const std::vector<std::string_view> w = words(command);
    if (w.empty())
        return done();
    if (is(w[0], "SETAUDIO"))
        return setAudio(command);
    if (is(w[0], "RE") && w.size() == 3)
        return switchRelay(w[1], w[2]);
    if (is(w[0], "ER") && w.size() == 3)
        return switchExpansionRelay(w[1], w[2]);
    if (is(w[0], "RT") && w.size() == 2 && is(w[1], "C"))
        return carrierDetail();
    if (is(w[0], "R") && w.size() == 2) {
        if (is(w[1], "C"))
            return carrier();
        if (is(w[1], "R"))
            return relays();
        if (is(w[1], "ER"))
            return expansionRelays();
        if (is(w[1], "M"))
            return mpeg();
        if (is(w[1], "SP"))
            return serialPort(line);
        if (is(w[1], "S"))
            return settings(line);
    }
    return failure("Unknown command");
}

std::string Receiver::setAudio(std::string_view command) {
    // The station sends this in three layouts (with and without a trailing
    // blank, source and attenuation joined or not) and never reads the
    // answer, so take any of them and keep what follows the port as sent.
    const std::vector<std::string_view> w = words(command);
    if (w.size() >= 2) {
        if (const int port = number(w[1], AudioPorts))
            audio_[std::size_t(port - 1)] = w.size() > 2 ? joined(w, 2) : std::string("NOT SET");
    }
    return done();
}

std::string Receiver::switchRelay(std::string_view action, std::string_view which) {
    const int n = number(which, ReceiverRelays);
    if (!n || !(is(action, "O") || is(action, "C")))
        return failure("Invalid parameter");
    relayClosed_[std::size_t(n - 1)] = is(action, "C");
    return done();
}

std::string Receiver::switchExpansionRelay(std::string_view action, std::string_view which) {
    const int n = number(which, ExpansionRelays);
    if (!n || !(is(action, "E") || is(action, "D")))
        return failure("Invalid parameter");
    expansionEnabled_[std::size_t(n - 1)] = is(action, "E");
    return done();
}

std::string Receiver::esNo() const {
    // Es/No follows from Eb/No for 8PSK 3/4 (2.25 bits a symbol, +3.5 dB);
    // keep the two consistent so a demo does not show nonsense.
    const char* begin = options_.ebNo.c_str();
    char* end = nullptr;
    const double ebNo = std::strtod(begin, &end);
    if (end == begin || *end != '\0')
        return "-- dB";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f dB", ebNo + 3.5);
    return buf;
}

std::string Receiver::lockedFor() const {
    const auto s =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - locked_)
            .count();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return buf;
}

std::string Receiver::carrier() const {
    // The station reads the Eb/No from the twelfth line, counting the empty
    // one after the command, so the rows above it must stay as they are.
    return Page("CARRIER STATUS")
        .row("Tuner input", "RF1")
        .row("L-band frequency", "1212.500 MHz")
        .row("Symbol rate", "7.5000 MS/s")
        .row("Modulation", "8PSK 3/4")
        .row("Signal level", "-52 dBm")
        .row("Carrier", "LOCKED")
        .row("Demodulator", "LOCKED")
        .row("Frame errors", "0")
        .row("Es/No", esNo())
        .row("Eb/No", options_.ebNo + " dB")
        .row("Bit error rate", "< 1.0E-08")
        .row("Time locked", lockedFor())
        .done();
}

std::string Receiver::carrierDetail() const {
    // The station reads this answer until a prompt after its 700th character;
    // the full answer is well past that, the short one well before it.
    Page p("CARRIER STATUS - DETAIL");
    p.row("Tuner input", "RF1")
        .row("LNB power", "ON")
        .row("LNB voltage", "18 V")
        .row("22 kHz tone", "OFF")
        .row("Local oscillator", "10750.000 MHz")
        .row("Downlink frequency", "11962.500 MHz")
        .row("L-band frequency", "1212.500 MHz")
        .row("Symbol rate", "7.5000 MS/s")
        .row("Modulation", "8PSK 3/4");
    if (options_.shortCarrier)
        return p.done();
    p.row("Pilots", "ON")
        .row("Roll-off", "0.20")
        .row("Spectrum", "NORMAL")
        .row("Signal level", "-52 dBm")
        .row("Frequency offset", "+12.4 kHz")
        .row("Carrier", "LOCKED")
        .row("Demodulator", "LOCKED")
        .row("FEC", "LOCKED")
        .row("Transport stream", "LOCKED")
        .row("Es/No", esNo())
        .row("Eb/No", options_.ebNo + " dB")
        .row("Link margin", "4.2 dB")
        .row("Frame errors", "0")
        .row("Packet errors", "0")
        .row("Bit error rate", "< 1.0E-08")
        .row("Time locked", lockedFor());
    return p.done();
}

std::string Receiver::relays() const {
    Page p("RELAY STATUS");
    for (int i = 0; i < ReceiverRelays; ++i)
        p.row("Relay " + std::to_string(i + 1), relayClosed_[std::size_t(i)] ? "CLOSED" : "OPEN");
    return p.done();
}

std::string Receiver::expansionRelays() const {
    Page p("EXPANSION RELAYS");
    for (int i = 0; i < ExpansionRelays; ++i) {
        p.row("Relay " + std::to_string(i + 1),
              expansionEnabled_[std::size_t(i)] ? "ENABLED" : "DISABLED");
    }
    return p.done();
}

std::string Receiver::mpeg() const {
    Page p("MPEG STATUS");
    p.row("Service", "1")
        .row("Decoder", "LOCKED")
        .row("Audio sample rate", "48 kHz")
        .row("Audio bit rate", "256 kb/s");
    for (int i = 0; i < AudioPorts; ++i)
        p.row("Audio port " + std::to_string(i + 1), audio_[std::size_t(i)]);
    return p.done();
}

std::string Receiver::serialPort(const LineSettings& line) const {
    return Page("SERIAL PORT")
        .row("Baud rate", line.baud ? std::to_string(line.baud) : std::string("OTHER"))
        .row("Data bits", "8")
        .row("Parity", "NONE")
        .row("Stop bits", std::to_string(line.stopBits))
        .row("Flow control", "NONE")
        .row("Echo", "OFF")
        .done();
}

std::string Receiver::settings(const LineSettings& line) const {
    Page p("SETTINGS");
    p.row("Unit", "SATELLITE RECEIVER")
        .row("Firmware", "4.20 SIM")
        .row("Unit address", "0001")
        .row("Control port", (line.baud ? std::to_string(line.baud) : std::string("OTHER")) +
                                 " 8N" + std::to_string(line.stopBits))
        .row("Expansion card", "FITTED");
    for (int i = 0; i < AudioPorts; ++i)
        p.row("Audio port " + std::to_string(i + 1), audio_[std::size_t(i)]);
    return p.done();
}
