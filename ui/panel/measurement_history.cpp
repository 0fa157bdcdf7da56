#include "ui/panel/measurement_history.h"

#include <algorithm>

#include "files/thermo_file.h"
#include "runtime/number_to_text.h"

namespace ljgas {

namespace {

// A line of thermo_file.h without its line end, and the time added to it.
std::string withTime(std::string line, const std::string& time)
{
    line.pop_back();
    return line + "," + time + "\n";
}

}  // namespace

MeasurementHistory::MeasurementHistory(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 2)) {}

void MeasurementHistory::add(const Reading& reading)
{
    const std::int64_t index = offered_++;
    if (index % stride_ != 0)
        return;
    if (kept_.size() == capacity_) {
        thin();
        if (index % stride_ != 0)
            return;
    }
    kept_.push_back(reading);
    ++version_;
}

// Kept entry m is read-out m * stride; keeping the even entries leaves
// read-outs 0, 2 stride, 4 stride, ...
void MeasurementHistory::thin()
{
    std::size_t to = 0;
    for (std::size_t from = 0; from < kept_.size(); from += 2)
        kept_[to++] = kept_[from];
    kept_.resize(to);
    stride_ *= 2;
}

void MeasurementHistory::clear()
{
    kept_.clear();
    kept_.shrink_to_fit();
    stride_ = 1;
    offered_ = 0;
    ++version_;
}

std::string MeasurementHistory::csvText() const
{
    std::string text = withTime(thermoHeader(), "time");
    for (const Reading& r : kept_)
        text += withTime(thermoLine(r.step, r.T, r.measured), exactNumber(r.time()));
    return text;
}

}  // namespace ljgas
