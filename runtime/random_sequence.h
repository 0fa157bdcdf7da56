// The program's one uniform random sequence of single-precision values.
#pragma once

#include <cstdint>

namespace ljgas {

// Uniform single-precision values in [0, 1). Every sequence starts from the
// same fixed state and is never re-seeded, so the m-th draw after a program
// start is the same at every start.
class RandomSequence {
public:
    float next() noexcept;

private:
    std::uint64_t state_ = 0x853c49e6748fea9bULL;
};

}  // namespace ljgas
