#include "console/sorted_list.h"

#include <algorithm>

bool SortedList::less(const QString& a, const QString& b) const {
    if (compare_ == Compare::Binary)
        return a < b;
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

int SortedList::add(const QString& text, int32_t number) {
    const auto pos =
        std::upper_bound(items_.begin(), items_.end(), text,
                         [this](const QString& t, const Item& item) { return less(t, item.text); });
    const auto index = int(pos - items_.begin());
    items_.insert(pos, Item{text, number});
    if (selected >= index)
        ++selected;
    return index;
}

void SortedList::removeAt(int index) {
    if (index < 0 || index >= count())
        return;
    items_.erase(items_.begin() + index);
    if (selected == index)
        selected = -1;
    else if (selected > index)
        --selected;
}
