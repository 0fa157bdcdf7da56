// The window's runs as a stack stepped by one loop: Go pressed in a step's
// yield nests a run without nesting a call, and beyond the depth limit it
// starts the innermost run afresh instead of nesting deeper.
#include "ui/run_stack.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../engine/fake_host.h"
#include "engine/lattice.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

TEST(RunStack, GoBeyondTheDepthLimitRestartsTheInnermostRun)
{
    Record rec;
    RandomSequence random;
    initializeLattice(rec, 0.01f, random);
    test::FakeHost host(rec);
    std::vector<std::string> errors;
    RunStack runs(rec, host, [&errors](const std::string& message) { errors.push_back(message); }, 3);

    std::vector<std::size_t> depths;
    std::set<void*> yieldFrames;
    std::vector<int> temperatureYields;
    host.showTemperature = [&](float) { temperatureYields.push_back(host.yields); };
    host.onYield = [&](int yield) {
        yieldFrames.insert(__builtin_frame_address(0));
        if (yield <= 6) {
            runs.go();
            depths.push_back(runs.depth());
        }
    };
    host.stopAtYield = 30;
    runs.go();

    EXPECT_EQ(depths, (std::vector<std::size_t>{2, 3, 3, 3, 3, 3}));
    EXPECT_EQ(host.plotSetUps, 7);  // every press ran the start steps
    // The run pressed in yield 6 counts its steps afresh: its 20th step, the
    // first read-out, comes after yield 25. No run below it stepped again.
    EXPECT_EQ(temperatureYields, std::vector<int>{25});
    // Every yield, at every depth, is called from the same frame of the one loop.
    EXPECT_EQ(yieldFrames.size(), 1u);
    EXPECT_EQ(runs.depth(), 0u);  // one Stop ended them all
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace ljgas
