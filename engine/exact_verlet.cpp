#include "exact_verlet.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "fixed_point.h"
#include "pair_kernels.h"
#include "record.h"
#include "runtime/number_to_text.h"
#include "sub_steps.h"

namespace ljgas {

namespace {

constexpr double TwoTo31 = 2147483648.0;
constexpr double TwoTo64 = 18446744073709551616.0;

// a + b, failing on overflow. (Every kick is below 2^62 in size, so a kick
// taken away is added negated.)
std::int64_t add64(std::int64_t a, std::int64_t b)
{
    std::int64_t r;
    if (__builtin_add_overflow(a, b, &r)) [[unlikely]]
        fail(ErrorKind::Overflow);
    return r;
}

// Takes the mean out of V[1..n] exactly: each loses the floor of the mean,
// and the first (sum mod n) one unit more, so that the sum is 0.
void zeroSum(std::vector<std::int64_t>& V, int n)
{
    if (n <= 0)
        return;
    std::int64_t sum = 0;
    for (int k = 1; k <= n; ++k)
        sum = add64(sum, V[static_cast<std::size_t>(k)]);
    std::int64_t mean = sum / n;
    std::int64_t rest = sum % n;
    if (rest < 0)
        rest += n, --mean;
    for (int k = 1; k <= n; ++k)
        V[static_cast<std::size_t>(k)] = add64(V[static_cast<std::size_t>(k)], -(mean + (k <= rest ? 1 : 0)));
}

// The pair law at a separation of (dX, dY) position units: r^2, and then
// s = (sigma / r)^6.
struct PairGeometry {
    double r2 = 0.0;         // box lengths squared
    double inverseR2 = 0.0;  // 1 / r^2
    double s6 = 0.0;
};

PairGeometry pairGeometry(std::int32_t dX, std::int32_t dY, double sig6)
{
    PairGeometry g;
    const double dx = dX * BoxesPerPositionUnit;
    const double dy = dY * BoxesPerPositionUnit;
    g.r2 = dx * dx + dy * dy;
    g.inverseR2 = 1.0 / g.r2;
    g.s6 = sig6 * ((g.inverseR2 * g.inverseR2) * g.inverseR2);
    return g;
}

}  // namespace

int verletSubSteps(float R, float e0, float T, float dt)
{
    const double sigma = 2.0 * std::fabs(static_cast<double>(R));
    const double omega2 =
        (912.0 * std::fabs(static_cast<double>(e0)) + 78.0 * 4.6 * std::fabs(static_cast<double>(T))) / (sigma * sigma);
    const double omegaDt = std::sqrt(omega2) * dt;
    if (!(omegaDt > VerletStepLimit))
        return 1;
    if (!(omegaDt <= VerletStepLimit * MaxSubSteps))
        return MaxSubSteps;
    return static_cast<int>(std::ceil(omegaDt / VerletStepLimit));
}

ExactVerlet::ExactVerlet(int n, double R, double e0, double dt, int subSteps)
    : n_(std::clamp(n, 0, static_cast<int>(ParticleArray::last))), subSteps_(std::max(subSteps, 1)),
      list_(n_, 8.0 * std::fabs(R), 2.0 * std::fabs(R))
{
    R_ = R;
    rc2_ = 64.0 * R * R;
    const double sigma2 = 4.0 * R * R;
    sig6_ = sigma2 * sigma2 * sigma2;
    e0_ = e0;
    const double tau = dt / subSteps_;
    // A half kick tau/2 F, in units of tau 2^64 per unit of speed, of a pair
    // whose separation is dX units of 2^-32: (tau^2 / 2) 2^64 2^-32 f dX,
    // with f = 24 e0 s (1 - 2s) / r^2 (see computeHalfKicks).
    kickScale_ = 24.0 * e0 * (tau * tau) * TwoTo31;
    unitsPerSpeed_ = tau * TwoTo64;
    // (sigma / 8R)^6 = 4^-6.
    constexpr double s6 = 1.0 / 4096.0;
    cutOffEnergy_ = 4.0 * e0 * (s6 * s6 - s6);
    const auto size = static_cast<std::size_t>(n_) + 1;
    x_.assign(size, 0);
    y_.assign(size, 0);
    vx_.assign(size, 0);
    vy_.assign(size, 0);
    hx_.assign(size, 0);
    hy_.assign(size, 0);
}

void ExactVerlet::load(const Record& rec)
{
    for (int k = 1; k <= n_; ++k) {
        const auto s = static_cast<std::size_t>(k);
        x_[s] = positionToFixed(rec.x[k]);
        y_[s] = positionToFixed(rec.y[k]);
        vx_[s] = velocityToFixed(rec.vx[k], unitsPerSpeed_);
        vy_[s] = velocityToFixed(rec.vy[k], unitsPerSpeed_);
    }
    zeroMomentum();
    list_.build(x_.data(), y_.data());
    computeHalfKicks();
}

bool ExactVerlet::takeState(const ExactVerlet& from)
{
    if (from.n_ != n_ || from.subSteps_ != subSteps_ || from.R_ != R_ || from.unitsPerSpeed_ != unitsPerSpeed_)
        return false;
    x_ = from.x_;
    y_ = from.y_;
    vx_ = from.vx_;
    vy_ = from.vy_;
    list_.build(x_.data(), y_.data());
    computeHalfKicks();
    return true;
}

void ExactVerlet::store(Record& rec) const
{
    for (int k = 1; k <= n_; ++k) {
        rec.x[k] = fixedToPosition(x_[static_cast<std::size_t>(k)]);
        rec.y[k] = fixedToPosition(y_[static_cast<std::size_t>(k)]);
    }
    storeVelocities(rec);
}

void ExactVerlet::storeVelocities(Record& rec) const
{
    for (int k = 1; k <= n_; ++k) {
        rec.vx[k] = fixedToVelocity(vx_[static_cast<std::size_t>(k)], unitsPerSpeed_);
        rec.vy[k] = fixedToVelocity(vy_[static_cast<std::size_t>(k)], unitsPerSpeed_);
    }
}

// Half kick, drift, half kick, k times. The kicks between two drifts depend
// on the positions alone, so the second half kick of one inner step and the
// first of the next are the same integers, computed once.
void ExactVerlet::step()
{
    halfKick();
    for (int m = 0; m < subSteps_; ++m) {
        if (m > 0)
            kickTwice();
        if (driftAndCheckList())
            list_.build(x_.data(), y_.data());
        computeHalfKicks();
    }
    halfKick();
}

void ExactVerlet::reverse()
{
    for (int k = 1; k <= n_; ++k) {
        const auto s = static_cast<std::size_t>(k);
        vx_[s] = -vx_[s];
        vy_[s] = -vy_[s];
    }
}

void ExactVerlet::rescale(double factor)
{
    for (int k = 1; k <= n_; ++k) {
        const auto s = static_cast<std::size_t>(k);
        vx_[s] = roundOdd(factor * static_cast<double>(vx_[s]));
        vy_[s] = roundOdd(factor * static_cast<double>(vy_[s]));
    }
    zeroMomentum();
}

// The centre of mass at rest, exactly: the kicks keep it so (each pair's two
// kicks are opposite integers), and a rescaling puts it back. Without it a
// momentum left by the single-precision start would be multiplied by every
// rescaling, and the gas would slide.
void ExactVerlet::zeroMomentum()
{
    zeroSum(vx_, n_);
    zeroSum(vy_, n_);
}

double ExactVerlet::squaredSpeeds() const
{
    double sum = 0.0;
    for (int k = 1; k <= n_; ++k) {
        const double vx = static_cast<double>(vx_[static_cast<std::size_t>(k)]) / unitsPerSpeed_;
        const double vy = static_cast<double>(vy_[static_cast<std::size_t>(k)]) / unitsPerSpeed_;
        sum += vx * vx + vy * vy;
    }
    return sum;
}

ConservedEnergy ExactVerlet::energy() const
{
    ConservedEnergy e;
    e.kinetic = 0.5 * squaredSpeeds();
    double sum = 0.0;  // of s^2 - s
    for (const VerletList::Pair& p : list_.pairs()) {
        const auto i = static_cast<std::size_t>(p.i);
        const auto j = static_cast<std::size_t>(p.j);
        const PairGeometry g = pairGeometry(separation(x_[i], x_[j]), separation(y_[i], y_[j]), sig6_);
        if (!(g.r2 < rc2_))
            continue;
        sum += g.s6 * g.s6 - g.s6;
        ++e.pairsWithinCutOff;
    }
    e.potential = 4.0 * e0_ * sum;
    e.shiftedPotential = e.potential - static_cast<double>(e.pairsWithinCutOff) * cutOffEnergy_;
    return e;
}

namespace {

// The half kick of one pair on i, in velocity units: with s = (sigma/r)^6,
// F_i = 24 e0 s (1 - 2s) / r^2 (r_j - r_i), negative (apart) on the wall.
// Each component is rounded to an integer by itself, and j gets its
// negation: the kick then depends only on the two positions, not on the
// pair's order in the list or the order of the sums.
struct PairKick {
    double rc2, sig6, kickScale;

    void operator()(std::int32_t dX, std::int32_t dY, std::int64_t& cx, std::int64_t& cy) const
    {
        // Every listed pair is worked out, and one beyond the cut-off gets
        // a kick of 0: a quarter of them are, at random, and a branch on it
        // would cost more than the arithmetic.
        const PairGeometry g = pairGeometry(dX, dY, sig6);
        const double q = g.r2 < rc2 ? ((kickScale * g.s6) * (1.0 - 2.0 * g.s6)) * g.inverseR2 : 0.0;
        cx = roundOdd(q * dX);
        cy = roundOdd(q * dY);
    }

    // The pair's kick added to the sums of i and, negated, of j.
    void addTo(std::vector<std::int64_t>& hx, std::vector<std::int64_t>& hy, const std::vector<std::uint32_t>& X,
               const std::vector<std::uint32_t>& Y, int i, int j) const
    {
        const auto a = static_cast<std::size_t>(i);
        const auto b = static_cast<std::size_t>(j);
        std::int64_t cx = 0, cy = 0;
        (*this)(separation(X[a], X[b]), separation(Y[a], Y[b]), cx, cy);
        hx[a] = add64(hx[a], cx);
        hy[a] = add64(hy[a], cy);
        hx[b] = add64(hx[b], -cx);
        hy[b] = add64(hy[b], -cy);
    }
};

std::string discs(int i, int j) { return "discs " + std::to_string(i) + " and " + std::to_string(j); }

// What a pair whose kick failed was doing, from its positions again.
void explainPair(EngineError& e, const std::vector<std::uint32_t>& X, const std::vector<std::uint32_t>& Y, int i, int j,
                 double R)
{
    const double dx = separation(X[static_cast<std::size_t>(i)], X[static_cast<std::size_t>(j)]) * BoxesPerPositionUnit;
    const double dy = separation(Y[static_cast<std::size_t>(i)], Y[static_cast<std::size_t>(j)]) * BoxesPerPositionUnit;
    e.explain("the kick between " + discs(i, j) + " at distance " + shortNumber(std::sqrt(dx * dx + dy * dy) / R) +
                  " R, beyond the velocities' fixed point",
              SuspectBox::e0);
}

}  // namespace

// A pair's kick below this in size on both axes, and the sums of at most
// ParticleArray::last of them stay below 2^61: no sum can overflow, and
// the scatter needs no checks.
constexpr double SmallKick = 2251799813685248.0;  // 2^51
static_assert(ParticleArray::last * SmallKick < 2305843009213693952.0);

// The pairs' kicks a batch at a time: separations gathered, the pair law on
// the level's lanes (a batch they cannot finish, with a kick of 2^51 or
// more or one that fails, is redone one pair at a time, which gives the
// same integers or raises the error at its pair), then every kick added to
// its two discs' sums, without checks when every kick was small.
void ExactVerlet::computeHalfKicks()
{
    const std::vector<VerletList::Pair>& pairs = list_.pairs();
    const PairKick kick{rc2_, sig6_, kickScale_};
    const kernels::ExactPairLaw law{rc2_, sig6_, kickScale_, SmallKick};
    const auto batched = kernels::kernels().exactPairKicks;
    constexpr std::size_t Batch = 256;
    std::int32_t dX[Batch], dY[Batch];
    cx_.resize(pairs.size());
    cy_.resize(pairs.size());
    bool small = true;
    for (std::size_t first = 0; first < pairs.size(); first += Batch) {
        const std::size_t count = std::min(Batch, pairs.size() - first);
        const VerletList::Pair* batch = pairs.data() + first;
        for (std::size_t m = 0; m < count; ++m) {
            const auto i = static_cast<std::size_t>(batch[m].i);
            const auto j = static_cast<std::size_t>(batch[m].j);
            dX[m] = separation(x_[i], x_[j]);
            dY[m] = separation(y_[i], y_[j]);
        }
        std::int64_t* cx = cx_.data() + first;
        std::int64_t* cy = cy_.data() + first;
        if (batched != nullptr && batched(dX, dY, static_cast<int>(count), law, cx, cy))
            continue;
        std::size_t m = 0;
        try {
            for (; m < count; ++m) {
                kick(dX[m], dY[m], cx[m], cy[m]);
                small = small && std::abs(static_cast<double>(cx[m])) < SmallKick &&
                        std::abs(static_cast<double>(cy[m])) < SmallKick;
            }
        } catch (EngineError& e) {
            explainPair(e, x_, y_, batch[m].i, batch[m].j, R_);
            throw;
        }
    }
    // The list is in order of i: its run of pairs is summed before it
    // reaches i's total (integer sums have no order).
    std::fill(hx_.begin(), hx_.end(), 0);
    std::fill(hy_.begin(), hy_.end(), 0);
    if (small)
        scatterKicks(pairs, [](std::int64_t a, std::int64_t b) { return a + b; });
    else
        scatterKicks(pairs, add64);
}

template <class Add>
void ExactVerlet::scatterKicks(const std::vector<VerletList::Pair>& pairs, Add add)
{
    std::int64_t* hx = hx_.data();
    std::int64_t* hy = hy_.data();
    const std::int64_t* cx = cx_.data();
    const std::int64_t* cy = cy_.data();
    for (std::size_t m = 0; m < pairs.size();) {
        const auto i = static_cast<std::size_t>(pairs[m].i);
        std::int64_t sx = 0, sy = 0;
        for (; m < pairs.size() && static_cast<std::size_t>(pairs[m].i) == i; ++m) {
            const auto j = static_cast<std::size_t>(pairs[m].j);
            sx = add(sx, cx[m]);
            sy = add(sy, cy[m]);
            hx[j] = add(hx[j], -cx[m]);
            hy[j] = add(hy[j], -cy[m]);
        }
        hx[i] = add(hx[i], sx);
        hy[i] = add(hy[i], sy);
    }
}

void ExactVerlet::halfKicksOfAllPairs(std::vector<std::int64_t>& hx, std::vector<std::int64_t>& hy) const
{
    hx.assign(hx_.size(), 0);
    hy.assign(hy_.size(), 0);
    const PairKick kick{rc2_, sig6_, kickScale_};
    for (int i = 2; i <= n_; ++i)
        for (int j = 1; j < i; ++j)
            kick.addTo(hx, hy, x_, y_, i, j);
}

void ExactVerlet::halfKick()
{
    for (int k = 1; k <= n_; ++k) {
        const auto s = static_cast<std::size_t>(k);
        const std::int64_t vx = add64(vx_[s], hx_[s]);
        const std::int64_t vy = add64(vy_[s], hy_[s]);
        if (vx >= LargestVelocity || vx <= -LargestVelocity || vy >= LargestVelocity || vy <= -LargestVelocity)
            [[unlikely]] {
            EngineError e(ErrorKind::Overflow);
            e.explain("the kick of disc " + std::to_string(k) + ": it would move more than a quarter of the box in " +
                      "an inner step");
            throw e;
        }
        vx_[s] = vx;
        vy_[s] = vy;
    }
}

// The second half kick of one inner step and the first of the next, which
// are the same integers, in one pass: the sums go to spare arrays that then
// change places with the velocities. Where either half kick would fail,
// nothing is kept and the two are made one after the other, which raises
// the error at its disc with the same velocities written as ever.
void ExactVerlet::kickTwice()
{
    nextVx_.resize(vx_.size());
    nextVy_.resize(vy_.size());
    const auto batched = kernels::kernels().kickTwice;
    bool bad = false;
    if (batched != nullptr) {
        bad = !batched(vx_.data() + 1, hx_.data() + 1, n_, nextVx_.data() + 1) ||
              !batched(vy_.data() + 1, hy_.data() + 1, n_, nextVy_.data() + 1);
    } else {
        for (int k = 1; k <= n_; ++k) {
            const auto s = static_cast<std::size_t>(k);
            std::int64_t ax, ay, bx, by;
            bad |= __builtin_add_overflow(vx_[s], hx_[s], &ax);
            bad |= __builtin_add_overflow(ax, hx_[s], &bx);
            bad |= __builtin_add_overflow(vy_[s], hy_[s], &ay);
            bad |= __builtin_add_overflow(ay, hy_[s], &by);
            for (const std::int64_t v : {ax, ay, bx, by})
                bad |= (v >= LargestVelocity) | (v <= -LargestVelocity);
            nextVx_[s] = bx;
            nextVy_[s] = by;
        }
    }
    if (bad) [[unlikely]] {
        halfKick();
        halfKick();
        return;
    }
    vx_.swap(nextVx_);
    vy_.swap(nextVy_);
}

// Each coordinate moves by its velocity's whole position units, wrapping
// round the box by the integers' overflow. True when some disc has moved
// more than half the list's margin since it was built.
bool ExactVerlet::driftAndCheckList()
{
    const auto batched = kernels::kernels().driftAndCheck;
    if (batched != nullptr && list_.allowedMove2() < (std::uint64_t{1} << 62))
        return batched(x_.data() + 1, y_.data() + 1, vx_.data() + 1, vy_.data() + 1, list_.builtX() + 1,
                       list_.builtY() + 1, n_, static_cast<std::int64_t>(list_.allowedMove2()));
    bool outdated = false;
    for (int k = 1; k <= n_; ++k) {
        const auto s = static_cast<std::size_t>(k);
        x_[s] += static_cast<std::uint32_t>(driftOf(vx_[s]));
        y_[s] += static_cast<std::uint32_t>(driftOf(vy_[s]));
        outdated |= list_.movedTooFar(k, x_[s], y_[s]);
    }
    return outdated;
}

}  // namespace ljgas
