// The program's one uniform random sequence of single-precision values.
#pragma once

#include <cstdint>

namespace ljgas {

// Uniform single-precision values in [0, 1). A sequence made without a seed
// starts from the same fixed state and is never re-seeded, so the m-th draw
// after a program start is the same at every start.
class RandomSequence {
public:
    RandomSequence() = default;

    // A sequence of its own for replicas of one run: the generator's state
    // starts at splitmix64(seed), Vigna's mixer of a 64-bit counter. Seeds
    // that differ in any bit start at unrelated points of the generator's
    // 2^64-long cycle: the 450 draws of a lattice start from two seeds
    // share nothing (two stretches of 10^6 draws overlap with a chance of
    // about 10^-13).
    explicit RandomSequence(std::uint64_t seed) noexcept;

    float next() noexcept;

private:
    std::uint64_t state_ = 0x853c49e6748fea9bULL;
};

}  // namespace ljgas
