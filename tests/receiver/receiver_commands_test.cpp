#include "receiver/receiver_commands.h"
#include "support/test.h"

namespace {

ScheduleFields fields(const QString& port, const QString& route, const QString& lang,
                      const QString& att) {
    ScheduleFields f;
    f.SatPort = port;
    f.SatRoute = route;
    f.SatLang = lang;
    f.SatAtt = att;
    // As the record holds them: fixed widths, blank padded.
    return ScheduleRecord::build(f).parse();
}

TEST(SetAudioTest, CueAndSwitchFormsKeepTheStoredPadding) {
    const ScheduleFields f = fields("1", "S", "AA1", "0");
    EXPECT_EQ(cueSetAudioCommand(f), "SETAUDIO 1 S AA1 0  ");
    EXPECT_EQ(switchSetAudioCommand(f), "SETAUDIO 1 S AA1 0 ");
    const ScheduleFields g = fields("4", "R", "B2", "14");
    EXPECT_EQ(cueSetAudioCommand(g), "SETAUDIO 4 R B2  14 ");
    EXPECT_EQ(switchSetAudioCommand(g), "SETAUDIO 4 R B2  14");
}

TEST(SetAudioTest, SetUpWindowJoinsSourceAndAttenuation) {
    EXPECT_EQ(setupSetAudioCommand(3, "S", "AA1", "0"), "SETAUDIO 3 S AA10");
    EXPECT_EQ(setupSetAudioCommand(1, "1", "XYZ", "14"), "SETAUDIO 1 1 XYZ14");
}

TEST(ExpansionRelayTest, EachPortHasItsRelaysInOrder) {
    EXPECT_EQ(expansionRelaysOfPort("1"), (QList<int>{11, 14}));
    EXPECT_EQ(expansionRelaysOfPort("2"), (QList<int>{4, 7}));
    EXPECT_EQ(expansionRelaysOfPort("3"), (QList<int>{1}));
    EXPECT_EQ(expansionRelaysOfPort("4"), (QList<int>{8}));
    EXPECT_TRUE(expansionRelaysOfPort("5").isEmpty());
    EXPECT_TRUE(expansionRelaysOfPort(" ").isEmpty());
}

TEST(RelayButtonTest, ReceiverRelaysAndExpansionRelays) {
    EXPECT_EQ(relayButtonCommand("R R", 0), "RE O 1");
    EXPECT_EQ(relayButtonCommand("R R", 1), "RE C 1");
    EXPECT_EQ(relayButtonCommand("R R", 2), "RE O 2");
    EXPECT_EQ(relayButtonCommand("R R", 3), "RE C 2");
    EXPECT_TRUE(relayButtonCommand("R R", 4).isEmpty());
    EXPECT_EQ(relayButtonCommand("R ER", 0), "ER D 1");
    EXPECT_EQ(relayButtonCommand("R ER", 1), "ER E 1");
    EXPECT_EQ(relayButtonCommand("R ER", 4), "ER D 3");
    EXPECT_EQ(relayButtonCommand("R ER", 5), "ER E 3");
    EXPECT_EQ(relayButtonCommand("R ER", 27), "ER E 14");
    EXPECT_TRUE(relayButtonCommand("R ER", 28).isEmpty());
}

} // namespace
