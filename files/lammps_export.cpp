#include "files/lammps_export.h"

#include <cmath>

#include "engine/record.h"
#include "engine/run_params.h"
#include "files/file_error.h"
#include "runtime/number_to_text.h"
#include "runtime/text_to_number.h"
#include "version.h"

namespace ljgas {

namespace {

// Verlet-list skin in units of sigma: LAMMPS's own default for lj units.
constexpr double SkinPerSigma = 0.3;
// g(r) bins up to the cut-off 8R: 160 bins of 0.05R.
constexpr int RdfBins = 160;
// ljgas steps between the g(r) samples (0.1 time units), and samples per
// averaged output.
constexpr int RdfEvery = 100;
constexpr int RdfRepeat = 10;

// A single-precision value as LAMMPS should compute with it: exactly.
std::string exact(float value) { return exactNumber(static_cast<double>(value)); }

// LAMMPS's box is half-open, ljgas's closed: a disc at exactly 1 stands for
// the same point as one at 0.
float intoBox(float v) { return v == 1.0f ? 0.0f : v; }

std::string thermostatSection(const RunSettings& settings)
{
    if (!settings.thermostat)
        return "# No thermostat: the run had its Thermostat box unchecked, so this is plain\n"
               "# NVE. At its step of a quarter of ljgas's LAMMPS keeps etotal; ljgas's falls\n"
               "# steadily, as its pair list misses, for up to 20 steps, pairs that came\n"
               "# close, and it computes in single precision.\n\n";
    // Every SliceCount steps ljgas scales the velocities by
    // lambda = 1 + gain (Tsoll/T - 1); Berendsen's Tdamp with the same pull:
    const float damping = static_cast<float>(SliceCount * static_cast<double>(TimeStep) / (2.0 * ThermostatGain));
    return "# Thermostat. ljgas's temperature is the mean of vx^2 + vy^2 per disc, with\n"
           "# no one half: T = 2 KE / N. LAMMPS's temp is 2 KE / (2N - 2): two degrees of\n"
           "# freedom per disc, less the two of the total momentum. The same gas thus\n"
           "# has T_LAMMPS = T N / (2N - 2), about T / 2; N is counted after replicate.\n"
           "#\n"
           "# Damping time. Every 20 steps ljgas scales all velocities by\n"
           "#   lambda = 1 + 0.05 (Tsoll/T - 1),\n"
           "# so T changes by lambda^2 = 1 + 0.1 (Tsoll/T - 1) to first order: a tenth\n"
           "# of the gap closes every 20 dt = 0.02 time units, dT/dt = (Tsoll - T) / 0.2.\n"
           "# Berendsen rescales every step by lambda^2 = 1 + (dt/Tdamp) (Ttarget/T - 1),\n"
           "# which is dT/dt = (Ttarget - T) / Tdamp. Hence Tdamp = 20 dt / (2 * 0.05) = 0.2\n"
           "# with ljgas's dt = 0.001: a time, the same whatever step LAMMPS takes.\n"
           "variable        Tsoll equal " +
           exactNumber(settings.Tsoll) +
           "\n"
           "variable        Ttarget equal $(v_Tsoll*count(all)/(2*count(all)-2):%.17g)\n"
           "fix             hold all temp/berendsen ${Ttarget} ${Ttarget} " +
           numberToText(damping) + "\n\n";
}

// LAMMPS steps per ljgas step: the conserving run's own inner steps, whose
// velocity Verlet LAMMPS's is; else LammpsSubSteps.
int deckSubSteps(const RunSettings& settings)
{
    return settings.dynamics == Dynamics::Conserving && settings.subSteps > 0 ? settings.subSteps : LammpsSubSteps;
}

// How the steps compare with the potential's own time unit sigma sqrt(m/e0),
// of which MD usually takes 0.005 or less.
std::string stepSizeNote(const Record& rec, const RunSettings& settings)
{
    if (!(settings.e0 > 0.0f))
        return "";
    const double unit = 2.0 * static_cast<double>(rec.R) * std::sqrt(1.0 / static_cast<double>(settings.e0));
    return "# The potential's own time unit, sigma sqrt(m/e0), is " + significantDigits(unit, 2) +
           " here: ljgas's step is\n"
           "# " +
           significantDigits(static_cast<double>(TimeStep) / unit, 2) + " of it, LAMMPS's " +
           significantDigits(static_cast<double>(TimeStep) / deckSubSteps(settings) / unit, 2) +
           " (MD usually takes about 0.005). At ljgas's\n"
           "# own step (-var substeps 1) the fastest close collisions outrun velocity\n"
           "# Verlet: LAMMPS's energy creeps up, and in a hot gas discs fly off and are\n"
           "# lost. More sub-steps make the step finer still.\n";
}

}  // namespace

void checkLammpsExport(const Record& rec, const RunSettings& settings)
{
    if (rec.n < 2)
        throw FileError("no gas to export: fewer than two discs");
    if (!(rec.R > 0.0f) || !std::isfinite(8.0f * rec.R))
        throw FileError("R = " + numberToText(rec.R) +
                        " cannot be exported: LAMMPS needs a positive, finite cut-off 8R");
    if (!std::isfinite(settings.e0))
        throw FileError("e0 is too large to export");
    if (settings.thermostat && !std::isfinite(settings.Tsoll))
        throw FileError("Tsoll is too large to export");
}

std::string lammpsDataText(const Record& rec, const RunSettings& settings)
{
    const std::string count = std::to_string(rec.n);
    std::string text = "LAMMPS data file from ljgas " + std::string(Version) + ": " + count +
                       " discs, R = " + numberToText(rec.R) + ", e0 = " + numberToText(settings.e0) + "\n\n" + count +
                       " atoms\n1 atom types\n\n0 1 xlo xhi\n0 1 ylo yhi\n-0.5 0.5 zlo zhi\n\nMasses\n\n1 1\n\n"
                       "Atoms # atomic\n\n";
    for (int k = 1; k <= rec.n; ++k)
        text += std::to_string(k) + " 1 " + exact(intoBox(rec.x[k])) + " " + exact(intoBox(rec.y[k])) + " 0\n";
    text += "\nVelocities\n\n";
    for (int k = 1; k <= rec.n; ++k)
        text += std::to_string(k) + " " + exact(rec.vx[k]) + " " + exact(rec.vy[k]) + " 0\n";
    return text;
}

std::string lammpsDeckText(const Record& rec, const RunSettings& settings)
{
    const std::string count = std::to_string(rec.n);
    const float sigma = 2.0f * rec.R;  // exact: a doubling
    const float cutOff = 8.0f * rec.R;
    const float skin = static_cast<float>(SkinPerSigma * sigma);
    const std::string ljgasStep = numberToText(TimeStep);
    const std::string subSteps = std::to_string(deckSubSteps(settings));
    return "# LAMMPS input deck for the gas of ljgas " + std::string(Version) + ": " + count +
           " Lennard-Jones discs of\n"
           "# radius R = " +
           numberToText(rec.R) + " in the periodic unit square, e0 = " + numberToText(settings.e0) + ", thermostat " +
           (settings.thermostat ? "on" : "off") +
           ".\n"
           "# It reads the state from data.ljgas; run it in this folder.\n"
           "#\n"
           "#   one core:     lmp -in in.ljgas\n"
           "#   many cores:   mpirun -np 8 lmp -in in.ljgas -var steps 100000 -var rep 32\n"
           "#                 (as root: mpirun --allow-run-as-root -np 8 ...)\n"
           "#   many machines: the same with mpirun's --hostfile, or the cluster's launcher\n"
           "#                 (srun lmp -in in.ljgas ...)\n"
           "#\n"
           "#   -var steps N     how long to run, in ljgas's steps of " +
           ljgasStep +
           ": N steps are\n"
           "#                    N * " +
           ljgasStep +
           " time units, as in ljgas (default 10000)\n"
           "#   -var substeps S  LAMMPS steps per ljgas step (default " +
           subSteps +
           "): LAMMPS's time\n"
           "#                    step is " +
           ljgasStep + " / S, and its log counts N * S steps\n" +
           (settings.dynamics == Dynamics::Conserving
                ? "#                    (the default is the inner step of the conserving run that\n"
                  "#                    made this state: " +
                      ljgasStep + " / " + subSteps + ")\n"
                : std::string()) +
           "#   -var rep K       K x K copies of the box side by side: the same gas, K^2\n"
           "#                    times the discs in K^2 times the area\n"
           "#   -var every M     thermo output every M ljgas steps (default 1000)\n"
           "#\n"
           "# Units are ljgas's own: lengths in box edges, mass 1, k_B = 1, energies in the\n"
           "# units of e0 (LAMMPS's lj units with these numbers). R, e0 and the state are\n"
           "# single precision in ljgas; the numbers below are those values exactly.\n\n"
           "units           lj\n"
           "dimension       2\n"
           "boundary        p p p\n"
           "atom_style      atomic\n\n"
           "variable        steps index 10000\n"
           "variable        substeps index " +
           subSteps +
           "\n"
           "variable        rep index 1\n"
           "variable        every index 1000\n\n"
           "read_data       data.ljgas\n"
           "replicate       ${rep} ${rep} 1\n\n"
           "# V(r) = 4 e0 ((sigma/r)^12 - (sigma/r)^6) with sigma = 2R = " +
           numberToText(sigma) +
           ", cut at\n"
           "# 8R = " +
           numberToText(cutOff) +
           " and not shifted: ljgas's force, and the potential its thermo file\n"
           "# reports.\n"
           "pair_style      lj/cut " +
           exact(cutOff) +
           "\n"
           "pair_coeff      1 1 " +
           exact(settings.e0) + " " + exact(sigma) +
           "\n"
           "pair_modify     shift no\n\n"
           "# ljgas re-examines a twentieth of its pairs per step, so its list can miss a\n"
           "# pair for up to 20 steps. LAMMPS's list reaches a skin of 0.3 sigma beyond\n"
           "# the cut-off and is rebuilt as soon as a disc has moved half of that.\n"
           "neighbor        " +
           numberToText(skin) +
           " bin\n"
           "neigh_modify    every 1 delay 0 check yes\n\n"
           "# ljgas kicks, then drifts (symplectic Euler); LAMMPS integrates with velocity\n"
           "# Verlet. ljgas's velocities are those of its last kick, half a step behind\n"
           "# its positions in Verlet's terms; LAMMPS starts from them as they are.\n" +
           stepSizeNote(rec, settings) + "timestep        $(" + ljgasStep +
           "/v_substeps)\n"
           "fix             move all nve\n"
           "fix             flat all enforce2d\n\n" +
           thermostatSection(settings) +
           "# g(r) up to the cut-off in bins of 0.05R, sampled every 100 ljgas steps (0.1\n"
           "# time units) and averaged over the whole run into gr.ljgas (columns: bin, r,\n"
           "# g(r), coordination).\n"
           "compute         gr all rdf " +
           std::to_string(RdfBins) +
           "\n"
           "fix             gr all ave/time $(" +
           std::to_string(RdfEvery) + "*v_substeps) " + std::to_string(RdfRepeat) + " $(" +
           std::to_string(RdfEvery * RdfRepeat) +
           "*v_substeps) c_gr[*] file gr.ljgas mode vector ave running overwrite\n\n"
           "# Totals, not per disc: ke and pe compare with ljgas's kinetic and potential,\n"
           "# press with its pressure (box area 1), temp as T_LAMMPS above. step counts\n"
           "# LAMMPS's steps; time / " +
           ljgasStep +
           " is ljgas's step.\n"
           "thermo_style    custom step time temp ke pe etotal press\n"
           "thermo_modify   norm no format float %.15g\n"
           "thermo          $(v_every*v_substeps)\n"
           "run             $(v_steps*v_substeps)\n";
}

}  // namespace ljgas
