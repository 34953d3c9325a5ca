#include "station/source_codes.h"
#include "support/test.h"

#include "fakes/temp_station.h"

#include <QDir>
#include <QFile>

namespace {

QStringList texts(const SortedList& list) {
    QStringList out;
    for (const auto& item : list.items())
        out << item.text;
    return out;
}

class SourceCodesTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.startUp();
        // Each test makes the file it needs; start-up may leave an empty one.
        QFile::remove(path());
    }
    QString path() const { return t.host(SourceCodesStationPath); }

    TempStation t;
};

} // namespace

// Commas end codes as line ends do; padding, blank lines and a missing final
// line end are no codes; the order is the file's, not sorted.
TEST_F(SourceCodesTest, FieldsTrimmedInFileOrder) {
    TempStation::writeFile(path(), "ZZ9\r\n AA1 , BB2\r\n\r\nBB2\n   \n\tCC3\t\nAA0");
    EXPECT_EQ(readSourceCodes(*t.paths), (QStringList{"ZZ9", "AA1", "BB2", "BB2", "CC3", "AA0"}));
}

TEST_F(SourceCodesTest, MissingOrUnreadableFileGivesNone) {
    EXPECT_TRUE(readSourceCodes(*t.paths).isEmpty());
    ASSERT_TRUE(QDir().mkpath(path()));
    EXPECT_TRUE(readSourceCodes(*t.paths).isEmpty());
}

TEST_F(SourceCodesTest, AddedCodesAreUpperCasedSortedAndKeptTwice) {
    TempStation::writeFile(path(), "SR1\r\naa1\r\nFN1\r\n");
    SourceCodeList list(*t.paths);
    list.load();
    EXPECT_EQ(texts(list.codes()), (QStringList{"aa1", "FN1", "SR1"}));
    EXPECT_EQ(list.add(" sr2 "), "");
    EXPECT_EQ(list.codes().selected, 3);
    EXPECT_EQ(list.add("Fn1"), "");
    EXPECT_EQ(list.codes().selected, 2) << "the last of the equal entries";
    EXPECT_EQ(list.add("   "), "");
    EXPECT_EQ(TempStation::readFile(path()), "aa1\r\nFN1\r\nFN1\r\nSR1\r\nSR2\r\n");
}

// The editor and the list store what the operator types as the list shows
// codes and the receiver expects them.
TEST(TypedSourceCode, UpperCaseTrimmedToThreeCharacters) {
    const struct {
        const char* typed;
        const char* code;
    } cases[] = {{"sr1", "SR1"}, {"Fn1", "FN1"},  {"AA1", "AA1"}, {"sr ", "SR"},
                 {" xy", "XY"},  {"abcd", "ABC"}, {"   ", ""},    {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(typedSourceCode(c.typed), c.code) << c.typed;
}

// Such a code would be read back as two.
TEST_F(SourceCodesTest, CommaIsRefusedAndTheFileKept) {
    TempStation::writeFile(path(), "AA1\r\n");
    SourceCodeList list(*t.paths);
    list.load();
    EXPECT_EQ(list.add("A,B"), "A source code cannot contain a comma.");
    EXPECT_EQ(texts(list.codes()), QStringList{"AA1"});
    EXPECT_EQ(TempStation::readFile(path()), "AA1\r\n");
}

// A failed save is reported, and the list goes back to what the file holds.
TEST_F(SourceCodesTest, FailedSaveIsReportedAndTheListKept) {
    ASSERT_TRUE(QDir().mkpath(path()));
    SourceCodeList list(*t.paths);
    list.load();
    const QString failure = list.add("AA1");
    EXPECT_TRUE(failure.startsWith("Cannot save c:\\satfile\\Source.dat: "))
        << failure.toStdString();
    EXPECT_TRUE(list.codes().isEmpty());
}
