#include "batch_outputs.h"

#include "engine/observables.h"
#include "engine/run.h"
#include "files/lammps_export.h"
#include "files/output_file.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "files/thermo_file.h"

namespace ljgas {

namespace {

const BatchOutput Outputs[] = {
    {.option = "--initial-out",
     .help = "Write the state right after the lattice start (CSV)",
     .atLatticeStart =
         [](Streams out, const LatticeStart& start) {
             out[0]->write(stateFileText(start.rec, stateParameters(start.rec, start.settings, 0)));
         }},
    {.option = "--state-out",
     .help = "Write the state after the run (CSV: k,x,y,vx,vy under comment lines that name R, e0,\n"
             "Tsoll, the thermostat and the steps); it may be the --state-in file",
     .atEnd =
         [](Streams out, const RunEnd& end) {
             out[0]->write(stateFileText(end.rec, stateParameters(end.rec, end.settings, end.stepsDone)));
         }},
    {.option = "--temperature-out",
     .help = "Write every temperature shown (CSV: step,T)",
     .atOpen = [](Streams out) { out[0]->write(temperatureHeader()); },
     .atReadOut = [](Streams out, const ReadOut& shown) { out[0]->write(temperatureLine(shown.step, shown.T)); }},
    {.option = "--gr-out",
     .help = "Write the g(r) histogram, bins 1..200 (CSV: bin,r,g,g_norm; see --equilibrate)",
     .atEnd =
         [](Streams out, const RunEnd& end) {
             out[0]->write(distributionText(end.rec, end.stats.binnedVisits, end.equilibrated));
         }},
    {.option = "--thermo-out",
     .help = "Write energies, pressure and centre-of-mass velocity at every temperature shown (CSV)",
     .atOpen = [](Streams out) { out[0]->write(thermoHeader()); },
     .atReadOut = [](Streams out,
                     const ReadOut& shown) { out[0]->write(thermoLine(shown.step, shown.T, *shown.measured)); },
     .measures = true},
    {.option = "--trajectory-out",
     .help = "Write the state every --every steps, the first and the last, as the run goes:\n"
             "extended XYZ (ASE, MDAnalysis, OVITO, VMD), or LAMMPS's text dump, which also\n"
             "gives MDAnalysis the box, for a FILE ending in .lammpstrj (see\n"
             "--trajectory-format)",
     .atSample =
         [](Streams out, const Sample& sample) {
             out[0]->write(trajectoryFrame(sample.format, sample.rec, sample.step, sample.e0, sample.dynamics));
         },
     .growing = true},
    {.option = "--lammps-out",
     .help = "Write the state after the run and a LAMMPS input deck into a folder, made if missing\n"
             "(data.ljgas, in.ljgas; its -var steps N runs the time of N steps here, in four\n"
             "LAMMPS steps of 0.00025 each)",
     .inFolder = {LammpsDataName, LammpsDeckName},
     .atEnd =
         [](Streams out, const RunEnd& end) {
             checkLammpsExport(end.rec, end.settings);
             out[0]->write(lammpsDataText(end.rec, end.settings));
             out[1]->write(lammpsDeckText(end.rec, end.settings));
         }},
};

}  // namespace

std::span<const BatchOutput> batchOutputs() { return Outputs; }

std::vector<std::string> outputFiles(const BatchOutput& output, const std::string& path)
{
    if (output.inFolder.empty())
        return {path};
    std::vector<std::string> files;
    for (const std::string& name : output.inFolder)
        files.push_back(path.ends_with('/') ? path + name : path + "/" + name);
    return files;
}

}  // namespace ljgas
