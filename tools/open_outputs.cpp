#include "open_outputs.h"

namespace ljgas {

template <auto Moment, class... Details>
void OpenOutputs::write(const Details&... details)
{
    for (Output& output : outputs_) {
        if (const auto hook = output.row->*Moment; hook != nullptr)
            hook(output.streams, details...);
    }
}

bool OpenOutputs::open(std::span<const BatchOutput> outputs, const OutputRequests& requests, std::string& error)
{
    outputs_.clear();
    for (const BatchOutput& row : outputs) {
        const auto request = requests.find(row.option);
        if (request == requests.end())
            continue;
        Output& output = outputs_.emplace_back(Output{&row, {}, {}, {}});
        for (const std::string& path : outputFiles(row, request->second)) {
            auto file = std::make_unique<OutputFile>();
            if (!file->open(path, error)) {
                outputs_.clear();
                return false;
            }
            output.streams.push_back(file->stream());
            output.files.push_back(std::move(file));
        }
    }
    write<&BatchOutput::atOpen>();
    return true;
}

void OpenOutputs::atLatticeStart(const Record& rec) { write<&BatchOutput::atLatticeStart>(rec); }

void OpenOutputs::atReadOut(const ReadOut& shown) { write<&BatchOutput::atReadOut>(shown); }

bool OpenOutputs::measures() const
{
    for (const Output& output : outputs_) {
        if (output.row->measures)
            return true;
    }
    return false;
}

void OpenOutputs::atEnd(const RunEnd& end)
{
    for (Output& output : outputs_) {
        if (output.row->refusedAtEnd != nullptr)
            output.refused = output.row->refusedAtEnd(end);
        if (output.refused.empty() && output.row->atEnd != nullptr)
            output.row->atEnd(output.streams, end);
    }
}

bool OpenOutputs::commit(std::vector<std::string>& written, std::string& error)
{
    bool ok = true;
    for (Output& output : outputs_) {
        if (!output.refused.empty()) {
            // Its temporary files go with it, and nothing is put in place.
            if (ok)
                error = std::string(output.row->option) + " not written: " + output.refused;
            ok = false;
            continue;
        }
        for (const std::unique_ptr<OutputFile>& file : output.files) {
            std::string problem;
            if (file->commit(problem)) {
                written.push_back(file->path());
            } else if (ok) {
                ok = false;
                error = problem;
            }
        }
    }
    outputs_.clear();
    return ok;
}

}  // namespace ljgas
