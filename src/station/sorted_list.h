#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// A list kept sorted by its text, each entry carrying a 32-bit number, as the
// station's sorted list boxes behave: a new entry goes after the entries whose
// text compares equal, so equal texts keep the order they were added in.
class SortedList {
public:
    enum class Compare { CaseInsensitive, Binary };

    struct Item {
        QString text;
        int32_t number = 0;
    };

    explicit SortedList(Compare compare = Compare::CaseInsensitive) : compare_(compare) {}

    // Returns the index the entry went to.
    int add(const QString& text, int32_t number);
    // Adds many entries as if one by one in their order, in one sort.
    void addAll(std::vector<Item> items);
    // Replaces the entries with ones the caller has already put in the
    // list's order (by less(), equal texts in the order they were added).
    void assignInOrder(std::vector<Item> items) {
        items_ = std::move(items);
        selected = -1;
    }
    void removeAt(int index);
    void clear() { items_.clear(); }

    int count() const { return int(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    const Item& at(int index) const { return items_.at(size_t(index)); }
    const std::vector<Item>& items() const { return items_; }

    // The selected entry, -1 for none.
    int selected = -1;

    // The list's order of texts.
    bool less(const QString& a, const QString& b) const;

private:
    Compare compare_;
    std::vector<Item> items_;
};
