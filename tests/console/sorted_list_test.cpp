#include "station/sorted_list.h"
#include "support/test.h"

#include <QStringList>

namespace {

QStringList texts(const SortedList& l) {
    QStringList out;
    for (const auto& i : l.items())
        out << i.text + "#" + QString::number(i.number);
    return out;
}

// The playlist and the finders rely on entries with equal texts staying in
// the order they were added.
TEST(SortedListTest, SortsByTextAndKeepsEqualTextsInArrivalOrder) {
    SortedList l;
    l.add("15:00:00  News", 3);
    l.add("09:00:00  Early", 1);
    l.add("15:00:00  News", 7);
    l.add("15:00:00  Arts", 2);
    EXPECT_EQ(texts(l), (QStringList{"09:00:00  Early#1", "15:00:00  Arts#2", "15:00:00  News#3",
                                     "15:00:00  News#7"}));
}

TEST(SortedListTest, CaseInsensitiveByDefaultBinaryOnRequest) {
    SortedList folded;
    folded.add("b", 1);
    folded.add("A", 2);
    folded.add("a", 3);
    EXPECT_EQ(texts(folded), (QStringList{"A#2", "a#3", "b#1"}));
    SortedList binary(SortedList::Compare::Binary);
    binary.add("b", 1);
    binary.add("a", 3);
    binary.add("A", 2);
    EXPECT_EQ(texts(binary), (QStringList{"A#2", "a#3", "b#1"}));
}

TEST(SortedListTest, SelectionFollowsItsEntryThroughAddsAndRemoves) {
    SortedList l;
    l.add("b", 1);
    l.add("d", 2);
    l.selected = 1; // "d"
    l.add("a", 3);
    EXPECT_EQ(l.at(l.selected).text, "d");
    l.removeAt(0);
    EXPECT_EQ(l.at(l.selected).text, "d");
    l.removeAt(l.selected);
    EXPECT_EQ(l.selected, -1);
    l.removeAt(5); // out of range: nothing happens
    EXPECT_EQ(l.count(), 1);
}

} // namespace
