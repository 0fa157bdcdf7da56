// The parameters of a gas as a person gives them (box texts, thermostat,
// seed), and the numbers a run takes from them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/text_to_number.h"

namespace ljgas {

// The two dynamics: the designed one (a staggered list and kick-then-drift
// in single precision, fixed to the bit) and the conserving one (every pair
// at every step, velocity Verlet in fixed point, exactly reversible).
enum class Dynamics { Designed, Conserving };
// What the thermostat box switches on in the conserving dynamics: the weak
// rescaling of the designed one, or the canonical stochastic rescaling.
enum class ThermostatKind { Weak, Canonical };

// The names the files and command lines give them: "designed",
// "conserving"; "weak", "canonical". The readers return none for any other.
const char* dynamicsName(Dynamics dynamics);
const char* thermostatKindName(ThermostatKind kind);
std::optional<Dynamics> dynamicsNamed(std::string_view name);
std::optional<ThermostatKind> thermostatKindNamed(std::string_view name);

// Texts exactly as typed: the engine reads each at the moment it needs it
// (R at a lattice start, e0 at a run's start, Tsoll at each read-out), as
// far as it is a number.
struct Parameters {
    std::string R = "0.01";
    std::string e0 = "0.2";
    std::string Tsoll = "0.3";
    bool thermostat = true;
    // The lattice velocities from RandomSequence(seed); none: the fixed
    // sequence, the same at every start.
    std::optional<std::uint64_t> seed;
    Dynamics dynamics = Dynamics::Designed;
    ThermostatKind thermostatKind = ThermostatKind::Weak;
    // The conserving dynamics' inner steps of dt/k, for a whole run; 0: k
    // chosen at Go from the gas's stiffness.
    int subSteps = 0;
};

// e0, Tsoll and the thermostat as a run takes them: e0 rounded to single
// precision without a check (beyond it, infinite), Tsoll as a double.
struct RunSettings {
    float e0 = 0.0f;
    double Tsoll = 0.0;
    bool thermostat = true;
    Dynamics dynamics = Dynamics::Designed;
    int subSteps = 0;  // a conserving run's inner steps; 0 for the designed dynamics or none chosen
};

inline RunSettings runSettings(std::string_view e0, std::string_view Tsoll, bool thermostat)
{
    return {static_cast<float>(textToNumber(e0)), textToNumber(Tsoll), thermostat};
}

inline RunSettings runSettings(const Parameters& p)
{
    RunSettings s = runSettings(p.e0, p.Tsoll, p.thermostat);
    s.dynamics = p.dynamics;
    return s;
}

}  // namespace ljgas
