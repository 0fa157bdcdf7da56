// The temperatures one run has shown, kept for export; all but the latest
// block wait in an unnamed temporary file (some 18 MB an hour at full speed).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace ljgas {

class TemperatureLog {
public:
    void add(float T);
    std::int64_t size() const { return spilled_ + static_cast<std::int64_t>(recent_.size()); }

    // visit(T) for every temperature in order; false when the temporary
    // file could not be read back.
    bool forEach(const std::function<void(float T)>& visit) const;

    // Temperatures held in memory before a block goes to the file: 64 KiB.
    static constexpr std::size_t BlockSize = 16384;

private:
    struct Close {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    std::vector<float> recent_;
    std::unique_ptr<std::FILE, Close> file_;
    std::int64_t spilled_ = 0;  // temperatures in the file
    bool fileFailed_ = false;   // no file could be had or written: all stay in memory
};

}  // namespace ljgas
