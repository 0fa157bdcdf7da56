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
    // Opens the files of every output in `outputs` that `requests` names and
    // writes what each writes on opening. Returns false, with the reason in
    // `error`, when a file cannot be opened; those already open are discarded.
    bool open(std::span<const BatchOutput> outputs, const OutputRequests& requests, std::string& error);

    // Whether an open output needs the energies and pressure at each read-out.
    bool measures() const;

    void atLatticeStart(const Record& rec);
    void atReadOut(const ReadOut& shown);
    void atEnd(const RunEnd& end);

    // Puts every file in place and adds its name to `written`, in the order
    // of the rows. Returns false, with the first failure in `error`, when a
    // file could not be finished or an output refused the end state; the
    // others are still put in place.
    bool commit(std::vector<std::string>& written, std::string& error);

private:
    struct Output {
        const BatchOutput* row;
        std::vector<std::unique_ptr<OutputFile>> files;
        std::vector<std::FILE*> streams;
        std::string refused;  // why its end state could not be written
    };
    // Calls the hook `Moment` of every output that has one.
    template <auto Moment, class... Details>
    void write(const Details&... details);

    std::vector<Output> outputs_;
};

}  // namespace ljgas
