#include "forces.h"

#include <algorithm>

#include "pair_kernels.h"
#include "simd_level.h"

namespace ljgas {

void kick(Record& rec, const NeighbourList& list, const RunParams& p)
{
    for (int s = 1; s <= SliceCount; ++s) {
        const int count = list.ListCount[s];
        for (int k = 1; k <= count; ++k)
            kickPair(rec, list.ListI(k, s), list.ListJ(k, s), p);
    }
}

KickScratch::KickScratch(std::int32_t listCap)
    : capacity(static_cast<std::size_t>(listCap)), xi(capacity), yi(capacity),
      xj(capacity), yj(capacity), tx(capacity), ty(capacity),
      savedVx(ParticleArray::last + 1), savedVy(ParticleArray::last + 1)
{
}

void kick(Record& rec, const NeighbourList& list, const RunParams& p, KickScratch& scratch)
{
    const SimdLevel level = simdLevel();
    if (level < SimdLevel::Avx2)
        return kick(rec, list, p);
    const auto pairKicks = level >= SimdLevel::Avx512 ? kernels::pairKicksAvx512 : kernels::pairKicksAvx2;

    // The positions of the stored pairs in visiting order. Their indexes were
    // checked against the particle arrays when the refresh read them.
    const float* x = rec.x.data();
    const float* y = rec.y.data();
    std::size_t total = 0;
    int highest = 0;  // the largest particle index of any pair
    for (int s = 1; s <= SliceCount; ++s) {
        const int count = list.ListCount[s];
        if (count < 0 || count > list.ListCap || total + static_cast<std::size_t>(count) > scratch.capacity)
            return kick(rec, list, p);
        const std::int16_t* I = list.sliceI(s);
        const std::int16_t* J = list.sliceJ(s);
        for (int k = 1; k <= count; ++k, ++total) {
            const int i = I[k];
            const int j = J[k];
            scratch.xi[total] = x[i];
            scratch.yi[total] = y[i];
            scratch.xj[total] = x[j];
            scratch.yj[total] = y[j];
        }
        // A slice holds its pairs in sequence order, so i never falls.
        highest = count > 0 ? std::max<int>(highest, list.sliceI(s)[count]) : highest;
    }

    // Every pair's kick first: it depends on positions only.
    const kernels::PairPositions positions{scratch.xi.data(), scratch.yi.data(), scratch.xj.data(),
                                           scratch.yj.data()};
    if (!pairKicks(positions, static_cast<int>(total), p.sig6, p.e0, p.dt, scratch.tx.data(), scratch.ty.data()))
        return kick(rec, list, p);

    // Velocities in list order: a particle in several pairs takes its kicks
    // one after another, each sum rounded to single. (A sum of two singles
    // worked out in double and then rounded is the single-precision sum:
    // double carries more than twice the digits.) The overflow checks come
    // at the end: the kicks are finite, so a velocity that overflows stays
    // infinite through the rest of the kick.
    float* vx = rec.vx.data();
    float* vy = rec.vy.data();
    const auto touched = static_cast<std::size_t>(highest) + 1;
    std::copy_n(vx, touched, scratch.savedVx.data());
    std::copy_n(vy, touched, scratch.savedVy.data());
    const float* kx = scratch.tx.data();
    const float* ky = scratch.ty.data();
    for (int s = 1; s <= SliceCount; ++s) {
        const int count = list.ListCount.data()[s];
        const std::int16_t* I = list.sliceI(s);
        const std::int16_t* J = list.sliceJ(s);
        for (int k = 1; k <= count; ++k, ++kx, ++ky) {
            const int i = I[k];
            const int j = J[k];
            vx[i] = vx[i] + *kx;
            vy[i] = vy[i] + *ky;
            vx[j] = vx[j] - *kx;
            vy[j] = vy[j] - *ky;
        }
    }
    if (!kernels::allFiniteAvx2(vx, static_cast<int>(touched)) ||
        !kernels::allFiniteAvx2(vy, static_cast<int>(touched))) {
        std::copy_n(scratch.savedVx.data(), touched, vx);
        std::copy_n(scratch.savedVy.data(), touched, vy);
        kick(rec, list, p);
    }
}

}  // namespace ljgas
