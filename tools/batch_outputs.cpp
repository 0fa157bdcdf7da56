#include "batch_outputs.h"

#include "engine/observables.h"
#include "engine/run.h"
#include "files/lammps_export.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "files/thermo_file.h"

namespace ljgas {

namespace {

const BatchOutput Outputs[] = {
    {.option = "--initial-out",
     .help = "Write the state right after the lattice start (CSV)",
     .atLatticeStart = [](Streams out, const Record& rec) { writeStateFile(out[0], rec); }},
    {.option = "--state-out",
     .help = "Write the state after the run (CSV: k,x,y,vx,vy)",
     .atEnd = [](Streams out, const RunEnd& end) { writeStateFile(out[0], end.rec); }},
    {.option = "--temperature-out",
     .help = "Write every temperature shown (CSV: step,T)",
     .atOpen = [](Streams out) { writeTemperatureHeader(out[0]); },
     .atReadOut = [](Streams out, const ReadOut& shown) { writeTemperatureLine(out[0], shown.step, shown.T); }},
    {.option = "--gr-out",
     .help = "Write the g(r) histogram, bins 1..200 (CSV: bin,r,g,g_norm)",
     .atEnd = [](Streams out, const RunEnd& end) { writeDistribution(out[0], end.rec, end.stats.binnedVisits); }},
    {.option = "--thermo-out",
     .help = "Write energies, pressure and centre-of-mass velocity at every temperature shown (CSV)",
     .atOpen = [](Streams out) { writeThermoHeader(out[0]); },
     .atReadOut = [](Streams out, const ReadOut& shown) {
         writeThermoLine(out[0], shown.step, shown.T, *shown.measured);
     },
     .measures = true},
    {.option = "--lammps-out",
     .help = "Write the state after the run and a LAMMPS input deck into a folder (data.ljgas, in.ljgas)",
     .inFolder = {LammpsDataName, LammpsDeckName},
     .atEnd = [](Streams out, const RunEnd& end) {
         writeLammpsData(out[0], end.rec, end.settings);
         writeLammpsDeck(out[1], end.rec, end.settings);
     },
     .refusedAtEnd = [](const RunEnd& end) { return lammpsExportProblem(end.rec, end.settings); }},
};

}  // namespace

std::span<const BatchOutput> batchOutputs() { return Outputs; }

std::vector<std::string> outputFiles(const BatchOutput& output, const std::string& path)
{
    if (output.inFolder.empty())
        return {path};
    std::vector<std::string> files;
    for (const std::string& name : output.inFolder)
        files.push_back(path + "/" + name);
    return files;
}

}  // namespace ljgas
