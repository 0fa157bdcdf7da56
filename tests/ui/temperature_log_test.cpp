// A run's temperatures come back in order and complete once most of them
// have gone to the temporary file, also when more arrive after a read.
#include "ui/model/temperature_log.h"

#include <gtest/gtest.h>

#include <vector>

namespace ljgas {
namespace {

std::vector<float> readBack(const TemperatureLog& log)
{
    std::vector<float> all;
    EXPECT_TRUE(log.forEach([&all](float T) { all.push_back(T); }));
    return all;
}

TEST(TemperatureLog, GivesBackEveryTemperatureInOrderAcrossItsBlocks)
{
    TemperatureLog log;
    std::vector<float> shown;
    const auto show = [&](std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            shown.push_back(0.3f + static_cast<float>(shown.size()) * 1e-7f);
            log.add(shown.back());
        }
    };
    show(2 * TemperatureLog::BlockSize + 5);
    EXPECT_EQ(readBack(log), shown);
    show(TemperatureLog::BlockSize);  // appended after a read
    EXPECT_EQ(log.size(), static_cast<std::int64_t>(shown.size()));
    EXPECT_EQ(readBack(log), shown);
}

}  // namespace
}  // namespace ljgas
