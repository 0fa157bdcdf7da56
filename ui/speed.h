// The speeds a run can be watched at, as the Run menu offers them.
#pragma once

#include <array>

namespace ljgas {

struct Speed {
    const char* name;    // the menu item's text
    int stepsPerSecond;  // 0: as fast as the machine goes
};

// At the default temperature a disc moves about 0.55 box lengths per unit
// time, 5.5e-4 per step; at 1000 steps/s and 60 frames/s that is about 0.009
// per frame, one disc radius (R = 0.01): slow enough to follow one disc.
inline constexpr int DefaultStepsPerSecond = 1000;

inline constexpr std::array<Speed, 5> Speeds{{
    {"&Slow", 250},
    {"&Normal", DefaultStepsPerSecond},
    {"&Fast", 4000},
    {"&Very Fast", 16000},
    {"&Maximum", 0},
}};

}  // namespace ljgas
