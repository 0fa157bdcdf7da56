#include "forces.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "pair_kernels.h"
#include "runtime/number_to_text.h"

namespace ljgas {

namespace {

// What failed in the kick of the pair (i, j), worked out again from the same
// numbers without the checks: the discs have run into each other, or e0 is
// too deep for single precision, or the kick made a speed too large for it.
void explainKick(EngineError& e, const Record& rec, int i, int j, const RunParams& p)
{
    if (i < 1 || i > ParticleArray::last || j < 1 || j > ParticleArray::last)
        return;
    const std::string pair = "discs " + std::to_string(i) + " and " + std::to_string(j);
    const double dx = static_cast<float>(minimumImage(static_cast<double>(rec.x[j]) - rec.x[i]));
    const double dy = static_cast<float>(minimumImage(static_cast<double>(rec.y[j]) - rec.y[i]));
    const double r = std::sqrt(dx * dx + dy * dy);
    const double R = p.R;
    const std::string distance = R > 0.0 ? shortNumber(r / R) + " R" : shortNumber(r);
    if (e.kind() == ErrorKind::DivisionByZero || r == 0.0) {
        const std::string met = "the force between " + pair + " at distance " + distance +
                                ": they have run into each other";
        // A negative well depth turns the repulsive wall into a pull, and
        // nothing keeps two discs apart any more.
        if (p.e0 < 0.0f)
            e.explain(met + ", pulled together by e0 = " + shortNumber(p.e0) + " (below 0 the wall attracts)",
                      SuspectBox::e0);
        else
            e.explain(met);
        return;
    }
    const float r2 = static_cast<float>(dx * dx + dy * dy);
    const float r8 = static_cast<float>(static_cast<double>(r2) * r2 * r2 * r2);
    const double r14 = static_cast<double>(r2) * r8 * r2 * r2;
    const double s6 = p.sig6;
    const double perDepth = (s6 * 6.0 / r8 - s6 * 12.0 * s6 / r14) * 4.0;  // f for e0 = 1
    if (!std::isfinite(static_cast<float>(perDepth * p.e0))) {
        if (std::isfinite(static_cast<float>(perDepth)) && std::fabs(p.e0) > 1.0f)
            e.explain("the force between " + pair + " at distance " + distance + " with e0 = " + shortNumber(p.e0) +
                          ", beyond single precision",
                      SuspectBox::e0);
        else
            e.explain("the force between " + pair + " at distance " + distance);
        return;
    }
    e.explain("the velocity of disc " + std::to_string(i) + " or " + std::to_string(j) +
              " after their kick, beyond single precision");
}

// The one-pair kick, then the squared speeds.
float kickOneByOne(Record& rec, const NeighbourList& list, const RunParams& p, KickScratch& scratch)
{
    kick(rec, list, p);
    const auto count = static_cast<int>(scratch.saved) - 1;
    return kernels::kernels().squaredSpeeds(rec.vx.data() + 1, rec.vy.data() + 1, count, scratch.speed2.data() + 1);
}

}  // namespace

void kick(Record& rec, const NeighbourList& list, const RunParams& p)
{
    for (int s = 1; s <= SliceCount; ++s) {
        const int count = list.ListCount[s];
        for (int k = 1; k <= count; ++k) {
            const int i = list.ListI(k, s);
            const int j = list.ListJ(k, s);
            try {
                kickPair(rec, i, j, p);
            } catch (EngineError& e) {
                explainKick(e, rec, i, j, p);
                throw;
            }
        }
    }
}

KickScratch::KickScratch(std::int32_t listCap)
    : capacity(static_cast<std::size_t>(listCap)), xi(capacity), yi(capacity), xj(capacity), yj(capacity), tx(capacity),
      ty(capacity), savedVx(ParticleArray::last + 1), savedVy(ParticleArray::last + 1), speed2(ParticleArray::last + 1)
{
}

float kick(Record& rec, const NeighbourList& list, const RunParams& p, KickScratch& scratch)
{
    // The velocities before the kick, to go back to here or in a caller
    // that begins the step again.
    float* vx = rec.vx.data();
    float* vy = rec.vy.data();
    const auto touched = static_cast<std::size_t>(std::clamp<int>(rec.n, 0, ParticleArray::last)) + 1;
    std::copy_n(vx, touched, scratch.savedVx.data());
    std::copy_n(vy, touched, scratch.savedVy.data());
    scratch.saved = touched;

    const kernels::Kernels& batched = kernels::kernels();
    if (batched.pairKicks == nullptr)
        return kickOneByOne(rec, list, p, scratch);

    // The positions of the stored pairs in visiting order. Every pair joins
    // two of particles 1..n, checked when the refresh or the guard took them.
    const float* x = rec.x.data();
    const float* y = rec.y.data();
    std::size_t total = 0;
    for (int s = 1; s <= SliceCount; ++s) {
        const int count = list.ListCount[s];
        if (count < 0 || count > list.ListCap || total + static_cast<std::size_t>(count) > scratch.capacity)
            return kickOneByOne(rec, list, p, scratch);
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
    }
    // Every pair's kick first: it depends on positions only.
    const kernels::PairPositions positions{scratch.xi.data(), scratch.yi.data(), scratch.xj.data(), scratch.yj.data()};
    if (!batched.pairKicks(positions, static_cast<int>(total), p.sig6, p.e0, p.dt, scratch.tx.data(),
                           scratch.ty.data()))
        return kickOneByOne(rec, list, p, scratch);

    // Velocities in list order: a particle in several pairs takes its kicks
    // one after another, each sum rounded to single. (A sum of two singles
    // worked out in double and then rounded is the single-precision sum:
    // double carries more than twice the digits.) The overflow checks come
    // at the end: the kicks are finite, so a velocity that overflows stays
    // infinite through the rest of the kick.
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
    // A square that is not finite comes from a velocity that is not, or one
    // so near the end of single precision that the one-pair code must look.
    const float fastest = batched.squaredSpeeds(vx + 1, vy + 1, static_cast<int>(touched) - 1,
                                                scratch.speed2.data() + 1);
    if (!std::isfinite(fastest)) {
        std::copy_n(scratch.savedVx.data(), touched, vx);
        std::copy_n(scratch.savedVy.data(), touched, vy);
        return kickOneByOne(rec, list, p, scratch);
    }
    return fastest;
}

}  // namespace ljgas
