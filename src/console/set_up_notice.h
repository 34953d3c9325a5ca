#pragma once

#include <QString>

struct StationState;
struct StationConfig;

// One line naming what the station still lacks to do its scheduled work, and
// where the operator sets it; empty when nothing is missing. A new station's
// settings are all zero, and without this line its first programme would be
// lost with only a message box to show for it. So would its relays, were
// the configuration to give no way to the ports of the card it uses.
QString SetUpNotice(const StationState& s, const StationConfig& config);
