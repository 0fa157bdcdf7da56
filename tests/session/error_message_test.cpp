// The failure table, as the user reads it: every way the engine can end a
// start or a run, with the step, what was being computed and the likely
// cause, and what the suspected box held when it does not read as a number.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "engine/checked.h"
#include "session/session.h"

namespace ljgas {
namespace {

struct Failure {
    const char* name;
    const char* R;
    const char* e0;
    const char* Tsoll;
    std::function<void(ParticleState&)> prepare;  // after the lattice start
    int steps;
    const char* message;  // the session's, with the boxes as given
};

std::ostream& operator<<(std::ostream& out, const Failure& row) { return out << row.name; }

void coincident(ParticleState& s) { s.x[1] = s.x[0], s.y[1] = s.y[0]; }

// The record's particles 1..225 as a state to put back.
ParticleState stateOf(const Record& rec)
{
    ParticleState s;
    for (int k = 1; k <= ParticleCount; ++k)
        s.x[k - 1] = rec.x[k], s.y[k - 1] = rec.y[k], s.vx[k - 1] = rec.vx[k], s.vy[k - 1] = rec.vy[k];
    return s;
}

class FailureTable : public ::testing::TestWithParam<Failure> {};

TEST_P(FailureTable, SaysWhatFailedAndWhy)
{
    const Failure& row = GetParam();
    Session session({row.R, row.e0, row.Tsoll, true, {}});
    try {
        session.initialize();
        if (row.prepare) {
            ParticleState state = stateOf(session.record());
            row.prepare(state);
            session.place(state);
        }
        session.start();
        for (int k = 0; k < row.steps; ++k)
            session.step();
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.what(), std::string(row.message));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FailureTable,
    ::testing::Values(
        Failure{"ZeroRadius", "abc", "0.2", "0.3", nullptr, 5,
                "Division by zero at step 1: the bin of the distance between discs 2 and 1 with R = 0 "
                "(the R= box reads 'abc' as 0)"},
        Failure{"NegativeRadius", "-0.01", "0.2", "0.3", nullptr, 300,
                "Index out of range at step 201: g(r) bin -194 of discs 2 and 1 (R is negative)"},
        Failure{"RadiusTooSmallFor16Bits", "1e-4", "0.2", "0.3", nullptr, 5,
                "Overflow at step 1: the g(r) bin of discs 5 and 1, 3.81e+04, does not fit 16 bits "
                "(R = 0.0001 is below about 3.1e-4)"},
        Failure{"RadiusTooSmallForTheHistogram", "4e-4", "0.2", "0.3", nullptr, 300,
                "Index out of range at step 201: g(r) bin 21469 of discs 49 and 11 lies beyond the histogram's "
                "20000 bins (R = 0.0004 is below about 5.05e-4)"},
        Failure{"RadiusBeyondSingle", "1e39", "0.2", "0.3", nullptr, 5,
                "Overflow: R = 1e+39 lies beyond single precision (3.4e+38)"},
        Failure{"CutOffBeyondSingle", "1e20", "0.2", "0.3", nullptr, 5,
                "Overflow: the neighbour cut-off (8R)^2 with R = 1e+20, beyond single precision"},
        Failure{"WellBeyondSingle", "0.01", "1e39", "0.3", nullptr, 5,
                "Overflow at step 1: the force between discs 2 and 1 at distance 6.67 R with e0 = inf, beyond "
                "single precision"},
        Failure{"DiscsOnTopOfEachOther", "0.01", "0.2", "0.3", coincident, 5,
                "Division by zero at step 1: the force between discs 2 and 1 at distance 0 R: they have run into "
                "each other"},
        Failure{"NegativeWell", "0.01", "-0.2", "0.3", nullptr, 100,
                "Division by zero at step 71: the force between discs 202 and 34 at distance 0 R: they have run "
                "into each other, pulled together by e0 = -0.2 (below 0 the wall attracts)"},
        Failure{"SpeedBeyondSingle", "0.03", "1e30", "0.3", nullptr, 5,
                "Overflow at step 1: the sum of the squared speeds: disc 1 moves at 7.43e+23, whose square lies "
                "beyond single precision"},
        Failure{"EveryDiscAtRest", "0.01", "0", "zero",
                [](ParticleState& s) {
                    s.vx.fill(0.0f);
                    s.vy.fill(0.0f);
                },
                25,
                "Overflow at step 20: the thermostat's Tsoll / T with Tsoll = 0 and T = 0: every disc is at rest "
                "(the Tsoll= box reads 'zero' as 0)"}),
    [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ljgas
