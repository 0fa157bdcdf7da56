#include "random_sequence.h"

namespace ljgas {

namespace {

// PCG32 (O'Neill, 2014): a 64-bit linear congruential state, output through
// a xorshift and a state-dependent rotation. The multiplier is Knuth's MMIX
// constant; the increment selects one fixed stream and must be odd.
constexpr std::uint64_t Multiplier = 6364136223846793005ULL;
constexpr std::uint64_t Increment = 0xda3e39cb94b95bdbULL;

std::uint32_t rotateRight(std::uint32_t v, unsigned r) { return (v >> r) | (v << ((32u - r) & 31u)); }

// splitmix64's output function (Steele, Lea and Flood 2014; Vigna's
// constants) applied to the golden-ratio step past `seed`.
std::uint64_t splitmix64(std::uint64_t seed)
{
    std::uint64_t z = seed + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30u)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27u)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31u);
}

}  // namespace

RandomSequence::RandomSequence(std::uint64_t seed) noexcept : state_(splitmix64(seed)) {}

float RandomSequence::next() noexcept
{
    const std::uint64_t old = state_;
    state_ = old * Multiplier + Increment;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rotation = static_cast<unsigned>(old >> 59u);
    const std::uint32_t bits = rotateRight(xorshifted, rotation);

    // The top 24 bits fill a float's significand exactly, so the value is
    // k / 2^24 with k in 0..2^24-1: uniform on that grid, never 1.
    constexpr float Scale = 1.0f / 16777216.0f;
    return static_cast<float>(bits >> 8u) * Scale;
}

}  // namespace ljgas
