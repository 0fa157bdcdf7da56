// The outputs of one batch session, each file open as a temporary file until
// the end, and each written at the moments its row names.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "batch_outputs.h"
#include "files/output_file.h"

namespace ljgas {

class OpenOutputs {
public:
    OpenOutputs() = default;
    ~OpenOutputs();
    OpenOutputs(const OpenOutputs&) = delete;
    OpenOutputs& operator=(const OpenOutputs&) = delete;

    // Opens the files of every output in `outputs` that `requests` names,
    // making a folder output's folder, with its parents, where it is missing,
    // puts the files of growing outputs in place, and writes what each
    // writes on opening. Throws FileError when a file
    // cannot be opened or a folder made; then the files already open are
    // discarded and the folders made are removed again.
    void open(std::span<const BatchOutput> outputs, const OutputRequests& requests);

    // Whether an open output needs the energies and pressure at each read-out.
    bool measures() const;
    // Whether an open output takes samples of the run (atSample).
    bool samples() const;

    // An output whose hook throws a FileError is refused: it writes nothing
    // more and puts no file in place.
    void atLatticeStart(const LatticeStart& start);
    void atReadOut(const ReadOut& shown);
    void atSample(const Sample& sample);
    void atEnd(const RunEnd& end);

    // Puts every file in place and adds its name to `written`, in the order
    // of the rows. The files of one output go into place only once all of
    // them are written in full. Throws FileError with the first failure when
    // a file could not be finished or an output was refused; the other
    // outputs are still put in place.
    void commit(std::vector<std::string>& written);

private:
    struct Output {
        const BatchOutput* row;
        std::vector<std::unique_ptr<OutputFile>> files;
        std::vector<OutputFile*> streams;
        std::string refused;  // why it cannot be written
    };
    // Calls the hook `Moment` of every output that has one and is not refused.
    template <auto Moment, class... Details>
    void write(const Details&... details);
    void makeFolder(const std::string& path);
    void close();

    std::vector<Output> outputs_;
    std::vector<std::string> madeFolders_;  // removed again unless the open succeeds
};

}  // namespace ljgas
