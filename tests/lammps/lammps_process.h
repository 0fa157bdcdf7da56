// LAMMPS as a subprocess for the cross-checks: lmp started on an exported
// deck in its folder, and the thermo table and g(r) it wrote, read back.
#pragma once

#include <string>
#include <vector>

namespace ljgas::test {

// The Debian package's binary; the cross-checks skip when it is absent.
inline constexpr const char* LammpsBinary = "/usr/bin/lmp";
bool lammpsInstalled();

// Runs in.ljgas in `folder` with `variables` ("-var steps 0 ..."), on
// `ranks` MPI ranks (1: no mpirun). The log goes to folder/log.lammps, the
// screen output to folder/screen.lammps. Returns lmp's exit status.
int runLammps(const std::string& folder, const std::string& variables, int ranks = 1);

// One row of "thermo_style custom step time temp ke pe etotal press".
struct ThermoRow {
    long step = 0;
    double time = 0.0;
    double temp = 0.0;
    double ke = 0.0;
    double pe = 0.0;
    double etotal = 0.0;
    double press = 0.0;
};

// The rows of the (last) run in a log.
std::vector<ThermoRow> readThermoRows(const std::string& logPath);

// The last block of the averaged g(r) file: bin centres and g.
struct RdfCurve {
    std::vector<double> r;
    std::vector<double> g;
};
RdfCurve readRdf(const std::string& path);

}  // namespace ljgas::test
