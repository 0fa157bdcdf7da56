#include "forces.h"

namespace ljgas {

void kick(Record& rec, const NeighbourList& list, const RunParams& p)
{
    for (int s = 1; s <= SliceCount; ++s) {
        const int count = list.ListCount[s];
        for (int k = 1; k <= count; ++k)
            kickPair(rec, list.ListI(k, s), list.ListJ(k, s), p);
    }
}

}  // namespace ljgas
