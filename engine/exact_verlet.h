// The conserving integrator: velocity Verlet on the fixed-point state, with
// every pair within the cut-off kicked at every inner step, exactly
// reversible by negating the velocities.
#pragma once

#include <cstdint>
#include <vector>

#include "verlet_list.h"

namespace ljgas {

struct Record;

// How many inner steps of dt/k a step takes, for discs of radius R, well
// depth e0 and a gas at temperature T (the mean of vx^2 + vy^2).
//
// Velocity Verlet follows a collision of frequency omega with an energy error
// of relative size (omega tau)^2 that comes and goes with the collision, for
// an inner step tau. The collisions' omega is estimated as the designed
// step's sub-steps estimate it (sub_steps.h): omega^2 = (912 e0 + 78 * 4.6 T)
// / sigma^2, from a slow pair turning on the wall at sigma and a tenth of the
// pairs meeting faster than u^2 = 4.6 T. omega tau is held to a quarter: the
// default gas (omega dt = 0.85) takes 4 inner steps of 0.00025, the step at
// which LAMMPS keeps this gas's energy to 1e-3, and its energy then stays
// within 7e-4 over 10^6 steps (halving tau takes that down fourfold). At
// T = 1 a step takes 5, at e0 = 1 seven, at R = 0.005 and T = 1 ten; never
// more than MaxSubSteps.
inline constexpr double VerletStepLimit = 0.25;
int verletSubSteps(float R, float e0, float T, float dt);

// Energies of the state, in double from the integers (the record's single
// floats would blur a change of 1e-5 of the energy).
struct ConservedEnergy {
    double kinetic = 0.0;    // (1/2) sum of vx^2 + vy^2
    double potential = 0.0;  // Lennard-Jones energy of the pairs closer than 8R, unshifted
    // The same with each pair's energy shifted by -V(8R): what the
    // integrator keeps, since a pair crossing the cut-off changes the
    // unshifted energy by V(8R) (-1.95e-4 at e0 0.2) without any force.
    double shiftedPotential = 0.0;
    std::int64_t pairsWithinCutOff = 0;
    double total() const { return kinetic + potential; }
    double shiftedTotal() const { return kinetic + shiftedPotential; }
};

// The state, the pair law and the list of one conserving run. Discs are
// numbered 1..n as in the record; index 0 is unused.
class ExactVerlet {
public:
    // n discs of radius R (sigma = 2R, cut-off 8R) with well depth e0,
    // steps of dt in `subSteps` inner steps.
    ExactVerlet(int n, double R, double e0, double dt, int subSteps);

    // The integer state from the record's positions and velocities, with the
    // total momentum then taken out exactly; the list and the kicks follow.
    void load(const Record& rec);
    // The positions and velocities of another state of the same discs, in
    // the same units (as many discs and inner steps, the same R); the list
    // and the kicks follow. False, and nothing taken, when they differ.
    bool takeState(const ExactVerlet& from);
    // The record's positions and velocities from the integers (velocities
    // alone after a rescaling).
    void store(Record& rec) const;
    void storeVelocities(Record& rec) const;

    // One step of dt: k times half kick, drift, half kick.
    void step();
    // Every velocity negated: the next steps retrace the last ones.
    void reverse();
    // Every velocity times `factor`, rounded odd, and the total momentum
    // taken out again (a thermostat's rescaling).
    void rescale(double factor);

    // The sum of vx^2 + vy^2, and the energies, in double.
    double squaredSpeeds() const;
    ConservedEnergy energy() const;

    // The half kicks of the current positions, in velocity units, summed
    // over every pair of discs rather than the list's: the same integers
    // whenever the list misses no pair (the sum of integers has no order).
    void halfKicksOfAllPairs(std::vector<std::int64_t>& hx, std::vector<std::int64_t>& hy) const;
    const std::vector<std::int64_t>& halfKickX() const { return hx_; }
    const std::vector<std::int64_t>& halfKickY() const { return hy_; }

    const std::vector<std::uint32_t>& x() const { return x_; }
    const std::vector<std::uint32_t>& y() const { return y_; }
    const std::vector<std::int64_t>& vx() const { return vx_; }
    const std::vector<std::int64_t>& vy() const { return vy_; }
    int subSteps() const { return subSteps_; }
    double unitsPerSpeed() const { return unitsPerSpeed_; }
    const VerletList& list() const { return list_; }

private:
    void computeHalfKicks();
    template <class Add>
    void scatterKicks(const std::vector<VerletList::Pair>& pairs, Add add);
    void halfKick();
    void kickTwice();
    bool driftAndCheckList();
    void zeroMomentum();

    int n_ = 0;
    int subSteps_ = 1;
    double R_ = 0.0;
    double rc2_ = 0.0;   // (8R)^2, box lengths squared
    double sig6_ = 0.0;  // (2R)^6
    double e0_ = 0.0;
    double kickScale_ = 0.0;      // 24 e0 tau^2 2^31: see computeHalfKicks
    double cutOffEnergy_ = 0.0;   // V(8R)
    double unitsPerSpeed_ = 0.0;  // velocity units per box length per unit time: tau 2^64
    VerletList list_;
    std::vector<std::uint32_t> x_, y_;
    std::vector<std::int64_t> vx_, vy_;
    std::vector<std::int64_t> hx_, hy_;  // the half kicks of the current positions
    std::vector<std::int64_t> nextVx_, nextVy_;
    std::vector<std::int64_t> cx_, cy_;  // each listed pair's kick on its first disc
};

}  // namespace ljgas
