#include "ui/model/temperature_log.h"

#include <algorithm>

namespace ljgas {

void TemperatureLog::add(float T)
{
    recent_.push_back(T);
    if (recent_.size() < BlockSize || fileFailed_)
        return;
    if (!file_)
        file_.reset(std::tmpfile());
    // Appended at the end, wherever the last read back left the position.
    if (file_ && std::fseek(file_.get(), 0, SEEK_END) == 0 &&
        std::fwrite(recent_.data(), sizeof(float), recent_.size(), file_.get()) == recent_.size() &&
        std::fflush(file_.get()) == 0) {
        spilled_ += static_cast<std::int64_t>(recent_.size());
        recent_.clear();
        return;
    }
    // A full disc or no temporary folder: keep everything in memory from now
    // on, and leave the file with what it held before this block.
    fileFailed_ = true;
}

bool TemperatureLog::forEach(const std::function<void(float T)>& visit) const
{
    if (spilled_ > 0) {
        if (std::fseek(file_.get(), 0, SEEK_SET) != 0)
            return false;
        std::vector<float> block(BlockSize);
        for (std::int64_t left = spilled_; left > 0;) {
            const auto want = static_cast<std::size_t>(std::min<std::int64_t>(left, BlockSize));
            if (std::fread(block.data(), sizeof(float), want, file_.get()) != want)
                return false;
            for (std::size_t k = 0; k < want; ++k)
                visit(block[k]);
            left -= static_cast<std::int64_t>(want);
        }
    }
    for (float T : recent_)
        visit(T);
    return true;
}

}  // namespace ljgas
