#include "schedule/source_codes.h"

#include "fakes/temp_station.h"

#include <QDir>
#include <gtest/gtest.h>

// Mixed line ends, padding, blank lines and no final line end; the order is
// the file's, not sorted.
TEST(SourceCodes, LinesTrimmedInFileOrder) {
    TempStation t;
    TempStation::writeFile(t.host("c:\\satfile\\Source.dat"),
                           "ZZ9\r\n AA1 \r\n\r\nBB2\n   \n\tCC3\t\nAA0");
    EXPECT_EQ(readSourceCodes(*t.paths), (QStringList{"ZZ9", "AA1", "BB2", "CC3", "AA0"}));
}

TEST(SourceCodes, MissingOrUnreadableFileGivesNone) {
    TempStation t;
    EXPECT_TRUE(readSourceCodes(*t.paths).isEmpty());
    ASSERT_TRUE(QDir().mkpath(t.host("c:\\satfile\\Source.dat")));
    EXPECT_TRUE(readSourceCodes(*t.paths).isEmpty());
}
