#include "cell_list.h"

#include <algorithm>

namespace ljgas {

int CellList::sidesFor(double reach, int most)
{
    int m = std::max(most, 1);
    while (m >= 3 && reach * m * (1.0 + 1e-9) > 1.0)
        --m;
    return m >= 3 ? m : 1;
}

void CellList::reset(int side, int items)
{
    side_ = side < 3 ? 1 : side;
    head_.assign(static_cast<std::size_t>(side_) * static_cast<std::size_t>(side_), -1);
    next_.assign(static_cast<std::size_t>(std::max(items, 0)), -1);
}

int CellList::cellOf(double v) const { return std::clamp(static_cast<int>(v * side_), 0, side_ - 1); }

void CellList::insert(int item, int cx, int cy)
{
    const auto cell = static_cast<std::size_t>(cy * side_ + cx);
    next_[static_cast<std::size_t>(item)] = head_[cell];
    head_[cell] = item;
}

}  // namespace ljgas
