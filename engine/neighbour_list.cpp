#include "neighbour_list.h"

namespace ljgas {

std::int32_t pairsPerSlice(std::int32_t n)
{
    const std::int32_t ordered = mul32(n, sub32(n, 1));
    return toInt32(static_cast<double>(ordered) / 2.0 / SliceCount);
}

std::int32_t pairsPerRefresh(std::int32_t n)
{
    const std::int32_t ordered = mul32(n, sub32(n, 1));
    return toInt32(static_cast<double>(ordered) / SliceCount / 2.0);
}

// n(n-1) is never negative, so neither is ListCap.
NeighbourList::NeighbourList(std::int32_t n) : ListCap(pairsPerSlice(n))
{
    const std::size_t cells = (static_cast<std::size_t>(ListCap) + 1) * (SliceCount + 1);
    ListI_.assign(cells, 0);
    ListJ_.assign(cells, 0);
}

void buildNeighbourList(NeighbourList& list, PairCursor& cursor, const Record& rec, float rc2)
{
    cursor.reset();
    for (std::int16_t s = 1; s <= SliceCount; ++s)
        list.refresh(s, list.ListCap, cursor, rec, rc2, [](float) {});
}

}  // namespace ljgas
