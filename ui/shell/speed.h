// The speeds a run can be watched at, as the Run menu offers them.
#pragma once

#include <array>
#include <string>

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

// The Run menu's item for a speed, saying the rate: "&Normal: 1 000 steps/s",
// "&Maximum: as fast as the machine goes".
inline std::string speedMenuText(const Speed& speed)
{
    if (speed.stepsPerSecond <= 0)
        return std::string(speed.name) + ": as fast as the machine goes";
    const std::string digits = std::to_string(speed.stepsPerSecond);
    std::string grouped;
    for (std::size_t m = 0; m < digits.size(); ++m) {
        if (m > 0 && (digits.size() - m) % 3 == 0)
            grouped += ' ';
        grouped += digits[m];
    }
    return std::string(speed.name) + ": " + grouped + " steps/s";
}

}  // namespace ljgas
