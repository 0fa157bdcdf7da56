#include "open_outputs.h"

#include "files/file_error.h"

namespace ljgas {

template <auto Moment, class... Details>
void OpenOutputs::write(const Details&... details)
{
    for (Output& output : outputs_) {
        const auto hook = output.row->*Moment;
        if (hook == nullptr || !output.refused.empty())
            continue;
        try {
            hook(output.streams, details...);
        } catch (const FileError& error) {
            output.refused = std::string(output.row->option) + " not written: " + error.what();
        }
    }
}

void OpenOutputs::open(std::span<const BatchOutput> outputs, const OutputRequests& requests)
{
    outputs_.clear();
    try {
        for (const BatchOutput& row : outputs) {
            const auto request = requests.find(row.option);
            if (request == requests.end())
                continue;
            Output& output = outputs_.emplace_back(Output{&row, {}, {}, {}});
            for (const std::string& path : outputFiles(row, request->second)) {
                output.files.push_back(std::make_unique<OutputFile>(path));
                output.streams.push_back(output.files.back().get());
            }
        }
    } catch (const FileError&) {
        outputs_.clear();  // each file discards what it has written
        throw;
    }
    write<&BatchOutput::atOpen>();
}

void OpenOutputs::atLatticeStart(const Record& rec) { write<&BatchOutput::atLatticeStart>(rec); }

void OpenOutputs::atReadOut(const ReadOut& shown) { write<&BatchOutput::atReadOut>(shown); }

void OpenOutputs::atEnd(const RunEnd& end) { write<&BatchOutput::atEnd>(end); }

bool OpenOutputs::measures() const
{
    for (const Output& output : outputs_) {
        if (output.row->measures)
            return true;
    }
    return false;
}

void OpenOutputs::commit(std::vector<std::string>& written)
{
    std::string firstFailure;
    for (Output& output : outputs_) {
        try {
            if (!output.refused.empty())
                throw FileError(output.refused);
            for (const std::unique_ptr<OutputFile>& file : output.files)
                file->finish();
            for (const std::unique_ptr<OutputFile>& file : output.files) {
                file->putInPlace();
                written.push_back(file->path());
            }
        } catch (const FileError& error) {
            // The output's other temporary files go with it.
            if (firstFailure.empty())
                firstFailure = error.what();
        }
    }
    outputs_.clear();
    if (!firstFailure.empty())
        throw FileError(firstFailure);
}

}  // namespace ljgas
