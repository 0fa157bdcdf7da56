// The Python module _ljgas, imported through the package ljgas: the class
// Simulation and the exceptions EngineError and FileError.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/sub_steps.h"
#include "files/file_error.h"
#include "files/state_file.h"
#include "files/trajectory_file.h"
#include "interrupt_watch.h"
#include "runtime/number_to_text.h"
#include "simulation.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace ljgas {

namespace {

// A parameter as the box text that reads back to the same double: the
// shortest such text, as repr() gives it ("0.01", "1e-05").
std::string boxText(const char* name, double value)
{
    if (!std::isfinite(value))
        throw py::value_error(std::string(name) + " must be a finite number, not " + std::to_string(value));
    return exactNumber(value);
}

std::optional<std::uint64_t> seedOf(const py::object& seed)
{
    if (seed.is_none())
        return std::nullopt;
    const unsigned long long value = py::isinstance<py::int_>(seed) ? PyLong_AsUnsignedLongLong(seed.ptr()) : 0;
    if (!py::isinstance<py::int_>(seed) || PyErr_Occurred() != nullptr) {
        PyErr_Clear();
        throw py::value_error("seed must be None or a whole number from 0 to 2**64 - 1, not " +
                              std::string(py::repr(seed)));
    }
    return value;
}

// The dynamics and its options by the names ljgas-batch gives them.
void takeDynamics(Parameters& p, const std::string& dynamics, const std::string& kind, int substeps)
{
    const std::optional<Dynamics> d = dynamicsNamed(dynamics);
    const std::optional<ThermostatKind> k = thermostatKindNamed(kind);
    if (!d)
        throw py::value_error("dynamics must be 'designed' or 'conserving', not '" + dynamics + "'");
    if (!k)
        throw py::value_error("thermostat_kind must be 'weak' or 'canonical', not '" + kind + "'");
    if (substeps < 0 || substeps > MaxSubSteps)
        throw py::value_error("substeps must be 0 (chosen at the start) to " + std::to_string(MaxSubSteps));
    if (*d == Dynamics::Designed && (*k != ThermostatKind::Weak || substeps != 0))
        throw py::value_error("thermostat_kind and substeps go with dynamics='conserving'");
    p.dynamics = *d;
    p.thermostatKind = *k;
    p.subSteps = substeps;
}

Parameters settingsOf(double R, double e0, double Tsoll, bool thermostat, const py::object& seed)
{
    return {boxText("R", R), boxText("e0", e0), boxText("Tsoll", Tsoll), thermostat, seedOf(seed)};
}

bool onMainThread()
{
    const py::module_ threading = py::module_::import("threading");
    return threading.attr("current_thread")().is(threading.attr("main_thread")());
}

// What run()'s trajectory arguments ask for; none without a path.
std::optional<TrajectoryRequest> trajectoryOf(const std::optional<std::filesystem::path>& path,
                                              const std::optional<std::int64_t>& every,
                                              const std::optional<std::string>& format)
{
    if (!path) {
        if (every || format)
            throw py::value_error(std::string(every ? "every" : "trajectory_format") +
                                  " needs trajectory, the file it is for");
        return std::nullopt;
    }
    const std::string file = path->string();
    return TrajectoryRequest{file, every.value_or(100), trajectoryFormat(file, format.value_or(""))};
}

// sim.run(steps) without Python's lock. In the main thread a Ctrl+C is
// noticed after the step in progress: the lock is taken back for Python to
// run its handler, and the KeyboardInterrupt it raises ends the run.
void run(Simulation& sim, std::int64_t steps, const std::optional<std::filesystem::path>& trajectory,
         const std::optional<std::int64_t>& every, const std::optional<std::string>& format)
{
    const std::optional<TrajectoryRequest> request = trajectoryOf(trajectory, every, format);
    if (PyErr_CheckSignals() != 0)
        throw py::error_already_set();
    std::optional<InterruptWatch> watch;
    if (onMainThread())
        watch.emplace();
    std::optional<py::error_already_set> raised;
    const auto keepGoing = [&watch, &raised] {
        if (!watch || !watch->take())
            return true;
        const py::gil_scoped_acquire python;
        if (PyErr_CheckSignals() == 0)
            return true;
        raised.emplace();
        return false;
    };
    {
        const py::gil_scoped_release release;
        sim.run(steps, keepGoing, request ? &*request : nullptr);
    }
    watch.reset();
    if (raised)
        throw std::move(*raised);
}

template <class T>
py::array_t<T> arrayOf(const std::vector<T>& values)
{
    return py::array_t<T>(static_cast<py::ssize_t>(values.size()), values.data());
}

template <std::size_t N>
py::array_t<double> arrayOf(const std::array<double, N>& values)
{
    return py::array_t<double>(static_cast<py::ssize_t>(N), values.data());
}

py::dict observablesOf(const Simulation& sim)
{
    const Observables o = sim.observables();
    return py::dict("kinetic"_a = o.kinetic, "potential"_a = o.potential, "total"_a = o.total,
                    "pressure"_a = o.pressure, "vcm_x"_a = o.vcmX, "vcm_y"_a = o.vcmY);
}

std::string reprOf(const Simulation& sim)
{
    const Parameters& s = sim.settings();
    return "ljgas.Simulation(R=" + s.R + ", e0=" + s.e0 + ", Tsoll=" + s.Tsoll +
           ", thermostat=" + (s.thermostat ? "True" : "False") +
           ", seed=" + (s.seed ? std::to_string(*s.seed) : "None") +
           (s.dynamics == Dynamics::Conserving
                ? std::string(", dynamics='conserving', thermostat_kind='") + thermostatKindName(s.thermostatKind) +
                      "', substeps=" + std::to_string(s.subSteps)
                : std::string()) +
           "), " + std::to_string(sim.steps()) + " steps";
}

}  // namespace

}  // namespace ljgas

PYBIND11_MODULE(_ljgas, m)
{
    using namespace ljgas;
    m.doc() = "The 2-d Lennard-Jones gas of ljgas, driven as ljgas-batch drives it.";
    // pybind11 looks NumPy's API up into a function-local static at the
    // first array, and the lookup lets go of the GIL: two threads making
    // their first arrays at once would deadlock, so it happens here.
    (void)py::array_t<float>(0);
    py::register_exception<SimulationError>(m, "EngineError", PyExc_RuntimeError);
    py::register_exception<FileError>(m, "FileError", PyExc_OSError);

    const auto make = [](double R, double e0, double Tsoll, bool thermostat, const py::object& seed,
                         const std::string& dynamics, const std::string& kind, int substeps) {
        Parameters p = settingsOf(R, e0, Tsoll, thermostat, seed);
        takeDynamics(p, dynamics, kind, substeps);
        return std::make_unique<Simulation>(p);
    };
    // The parameters a state file names, unless given here.
    const auto fromState = [](const std::filesystem::path& path, const py::object& R, const py::object& e0,
                              const py::object& Tsoll, const py::object& thermostat, const py::object& seed,
                              const py::object& dynamics, const std::string& kind, int substeps) {
        const ParticleState state = readStateFile(path.string());
        if (!state.note.empty() && PyErr_WarnEx(PyExc_UserWarning, state.note.c_str(), 1) != 0)
            throw py::error_already_set();
        Parameters settings{"0.01", "0.2", "0.3", true, seedOf(seed)};
        const StateParameters& named = state.parameters;
        settings.R = !R.is_none() ? boxText("R", R.cast<double>()) : named.R.value_or(settings.R);
        settings.e0 = !e0.is_none() ? boxText("e0", e0.cast<double>()) : named.e0.value_or(settings.e0);
        settings.Tsoll = !Tsoll.is_none() ? boxText("Tsoll", Tsoll.cast<double>())
                                          : named.Tsoll.value_or(settings.Tsoll);
        settings.thermostat = !thermostat.is_none() ? thermostat.cast<bool>() : named.thermostat.value_or(true);
        takeDynamics(settings,
                     !dynamics.is_none() ? dynamics.cast<std::string>()
                                         : dynamicsName(named.dynamics.value_or(Dynamics::Designed)),
                     kind, substeps);
        return std::make_unique<Simulation>(settings, &state);
    };

    py::class_<Simulation>(m, "Simulation", R"(A gas of 225 Lennard-Jones discs in the periodic unit square.

Made as ljgas-batch makes it with the same options: the lattice start with
radius R, velocities from the window's random sequence (or, with a seed,
from the sequence ljgas-batch --seed starts), then runs with well depth e0
and, with the thermostat, target temperature Tsoll. Lengths are in box
edges, T is <vx^2 + vy^2> per disc. dynamics="conserving" kicks every pair
at every step with velocity Verlet in fixed point, keeping the energy and
exactly reversible, in `substeps` inner steps (0: chosen at the start), its
thermostat "weak" (the designed rescaling) or "canonical".)")
        .def(py::init(make), "R"_a = 0.01, "e0"_a = 0.2, "Tsoll"_a = 0.3, "thermostat"_a = true, "seed"_a = py::none(),
             "dynamics"_a = "designed", "thermostat_kind"_a = "weak", "substeps"_a = 0)
        .def_static("from_state", fromState, "path"_a, "R"_a = py::none(), "e0"_a = py::none(), "Tsoll"_a = py::none(),
                    "thermostat"_a = py::none(), "seed"_a = py::none(), "dynamics"_a = py::none(),
                    "thermostat_kind"_a = "weak", "substeps"_a = 0,
                    "A simulation whose lattice start is replaced by the state file at path, as ljgas-batch "
                    "--state-in does: R, e0, Tsoll, the thermostat and the dynamics from the file where it "
                    "names them and they are not given here (else 0.01, 0.2, 0.3, on, designed). Raises "
                    "ljgas.FileError when the file cannot be read.")
        .def("run", &ljgas::run, "steps"_a, "trajectory"_a = py::none(), "every"_a = py::none(),
             "trajectory_format"_a = py::none(),
             R"(Make `steps` steps, without holding the GIL.

Every call continues one run, as Go pressed once and Stop pressed now and
then: the 200-step warm-up comes once, at the start, and g(r) keeps
growing, so run(400) then run(600) is run(1000). After an EngineError the
next call starts a new run (a new warm-up, g(r) cleared), as pressing Go
again would. Ctrl+C stops the run after the step in progress and raises
KeyboardInterrupt; the state is then that after the step, and a later call
goes on from it.

With trajectory=path the call writes the frames ljgas-batch --trajectory-out
writes, as it goes: the state it starts from, the state after every step
whose number (sim.steps) is a multiple of `every` (default 100), and the
last state, also after Ctrl+C or as an EngineError left it. The format is
trajectory_format's, "xyz" (extended XYZ) or "lammpstrj" (LAMMPS's text
dump), else LAMMPS's dump for a path ending in .lammpstrj and extended XYZ
for any other. Raises ljgas.FileError when the file cannot be written.)")
        .def_property_readonly(
            "x", [](const Simulation& s) { return arrayOf(s.particles()[0]); },
            "x positions of discs 1..225 (a copy), box lengths")
        .def_property_readonly(
            "y", [](const Simulation& s) { return arrayOf(s.particles()[1]); }, "y positions (a copy)")
        .def_property_readonly(
            "vx", [](const Simulation& s) { return arrayOf(s.particles()[2]); },
            "x velocities (a copy), box lengths per unit time")
        .def_property_readonly(
            "vy", [](const Simulation& s) { return arrayOf(s.particles()[3]); }, "y velocities (a copy)")
        .def_property_readonly(
            "temperatures", [](const Simulation& s) { return arrayOf(s.temperatures()); },
            "Every temperature shown so far, one each 20 steps of a run")
        .def_property_readonly(
            "temperature_steps", [](const Simulation& s) { return arrayOf(s.temperatureSteps()); },
            "The step at whose end each temperature was shown, counted over all runs")
        .def_property_readonly("steps", &Simulation::steps, "Steps made so far, over all runs")
        .def_property_readonly("R", &Simulation::R, "The disc radius as the engine holds it (single precision)")
        .def(
            "gr",
            [](const Simulation& s) {
                const DistributionColumns d = s.distribution();
                return py::make_tuple(arrayOf(d.r), arrayOf(d.gNorm));
            },
            "(r, g_norm) over the 200 bins: r at each bin's centre in box lengths, g_norm the pair "
            "distribution counted after the warm-up, as ljgas-batch --gr-out writes them")
        .def("observables", &observablesOf,
             "Energies, 2-d virial pressure and centre-of-mass velocity of the current state, as "
             "ljgas-batch --thermo-out writes them: kinetic, potential, total, pressure, vcm_x, vcm_y")
        .def(
            "save_state", [](const Simulation& s, const std::filesystem::path& path) { s.saveState(path.string()); },
            "path"_a, "Write the state file (k,x,y,vx,vy), complete or not at all")
        .def("reverse", &Simulation::reverse,
             "Reverse time: every velocity negated. In the conserving dynamics with the thermostat off, "
             "run(n), reverse(), run(n) ends where it began, to the bit.")
        .def("__repr__", &reprOf);
}
