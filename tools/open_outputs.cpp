#include "open_outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

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

OpenOutputs::~OpenOutputs() { close(); }

void OpenOutputs::close()
{
    outputs_.clear();  // each file discards what it has not put in place
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder)
        ::rmdir(folder->c_str());
    madeFolders_.clear();
}

// Each missing folder of the path, noted to be removed should the open fail.
void OpenOutputs::makeFolder(const std::string& path)
{
    std::filesystem::path folder;
    for (const std::filesystem::path& part : std::filesystem::path(path)) {
        folder /= part;
        if (part.empty() || ::mkdir(folder.c_str(), 0777) == 0) {
            if (!part.empty())
                madeFolders_.push_back(folder.string());
            continue;
        }
        struct stat info {};
        const int reason = errno;
        if (reason != EEXIST)
            throw FileError("cannot make the folder '" + folder.string() + "': " + std::strerror(reason));
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            throw FileError("cannot write into '" + folder.string() + "': not a folder");
    }
}

void OpenOutputs::open(std::span<const BatchOutput> outputs, const OutputRequests& requests)
{
    close();
    try {
        for (const BatchOutput& row : outputs) {
            const auto request = requests.find(row.option);
            if (request == requests.end())
                continue;
            Output& output = outputs_.emplace_back(Output{&row, {}, {}, {}});
            if (!row.inFolder.empty())
                makeFolder(request->second);
            for (const std::string& path : outputFiles(row, request->second)) {
                output.files.push_back(std::make_unique<OutputFile>(path));
                output.streams.push_back(output.files.back().get());
            }
        }
        for (Output& output : outputs_) {
            for (const std::unique_ptr<OutputFile>& file : output.files) {
                if (output.row->growing)
                    file->growInPlace();
            }
        }
    } catch (const FileError&) {
        close();
        throw;
    }
    madeFolders_.clear();  // they stay: the session writes into them
    write<&BatchOutput::atOpen>();
}

void OpenOutputs::atLatticeStart(const LatticeStart& start) { write<&BatchOutput::atLatticeStart>(start); }

void OpenOutputs::atReadOut(const ReadOut& shown) { write<&BatchOutput::atReadOut>(shown); }

void OpenOutputs::atSample(const Sample& sample) { write<&BatchOutput::atSample>(sample); }

void OpenOutputs::atEnd(const RunEnd& end) { write<&BatchOutput::atEnd>(end); }

bool OpenOutputs::measures() const
{
    return std::any_of(outputs_.begin(), outputs_.end(), [](const Output& output) { return output.row->measures; });
}

bool OpenOutputs::samples() const
{
    return std::any_of(outputs_.begin(), outputs_.end(),
                       [](const Output& output) { return output.row->atSample != nullptr; });
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
    close();
    if (!firstFailure.empty())
        throw FileError(firstFailure);
}

}  // namespace ljgas
