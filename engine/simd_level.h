// Which instruction set the batched pair loops use. Every level gives the
// same results to the bit; they differ only in speed.
#pragma once

namespace ljgas {

enum class SimdLevel {
    Scalar,  // one pair at a time, the reference for all others
    Avx2,    // four pairs at a time in double precision
    Avx512,  // eight pairs at a time
};

// The level in use: the best this processor supports, unless lowered.
SimdLevel simdLevel();

// Use `level`, or the best supported below it. Returns the level now in use.
// For tests and benchmarks that compare levels; not for use during a run.
SimdLevel setSimdLevel(SimdLevel level);

// The best level this processor supports.
SimdLevel bestSimdLevel();

const char* simdLevelName(SimdLevel level);

}  // namespace ljgas
