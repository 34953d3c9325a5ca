#include "station/sorted_list.h"

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

void SortedList::addAll(std::vector<Item> items) {
    const auto first = items_.size();
    for (Item& item : items)
        items_.push_back(std::move(item));
    const auto byText = [this](const Item& a, const Item& b) { return less(a.text, b.text); };
    std::stable_sort(items_.begin() + std::ptrdiff_t(first), items_.end(), byText);
    std::inplace_merge(items_.begin(), items_.begin() + std::ptrdiff_t(first), items_.end(),
                       byText);
    selected = -1;
}
