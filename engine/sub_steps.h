// Sub-steps: a step whose collisions are too stiff to be resolved in dt is
// integrated as k equal kick-drift steps of dt / k.
#pragma once


namespace ljgas {

// How far a disc may move in one kick-drift step, in sigma = 2R.
//
// The collision this must resolve is two discs running into the repulsive
// wall, V ~ 4 e0 (sigma/r)^12. Kick-then-drift, like every integrator of its
// kind, is stable for a pair only while omega dt < 2, with omega^2 = V''/mu
// (reduced mass mu = 1/2). At the turning point of a pair that met with
// relative speed v, V'' = 156 V / r^2 and V = mu v^2 / 2, so omega = 8.8 v / r:
// the pair must close by less than about 0.22 sigma per step, or the wall's
// push comes too late and too strong and the pair gains energy instead of
// bouncing. Most collisions meet a fast disc with a slow one, so a fastest
// disc held to 0.15 sigma keeps them at 0.15 to 0.2 sigma, inside that limit
// and a few steps deep into the wall. At the default gas (R 0.01) 0.15 sigma
// per step is a speed of 3.0; its discs' speed peaks at 2.4 over 10^7 steps,
// so the default gas never takes sub-steps.
inline constexpr double SubStepReach = 0.15;

// The speeds of the gas as a whole matter too, not only its fastest disc: a
// gas at T = 1 keeps its fastest disc under the limit above in most steps,
// yet its ordinary traffic meets fast enough to gain energy at every step.
//
// How stiff the collisions of a gas at temperature T (the mean of vx^2 +
// vy^2) are: a tenth of its pairs meet faster than u^2 = 4.6 T, with the
// energy E = mu u^2 / 2 = 1.15 T. Such a pair turns round where V = E, at
// x = (sigma/r)^6 = (1 + sqrt(1 + E/e0)) / 2, and the wall's curvature there
// gives omega^2 = V''/mu = 8 e0 x^(1/3) (156 x^2 - 42 x) / sigma^2. A pair
// meeting slowly (E -> 0) turns at sigma itself: omega^2 = 912 e0 / sigma^2,
// what the well alone makes of a collision.
//
// A single step of dt fails, heating the gas faster than the weak thermostat
// can take the heat out, once that omega dt passes 1.32. Measured over 10^6
// steps of one step each (bench/soak/step_soak.sh), the mean temperature
// lies within 1 % of its target up to 1.31 (R 0.0075, T 0.3; e0 0.5 at the
// default target, 1.29, within 0.1 %), and 2 % above it at 1.33 (R 0.01,
// T 0.8), 3.3 % at 1.39 (T 0.9), 4.7 % at 1.45 (T 1). One number does not
// say all: e0 0.6 to 0.7 and R 0.007, at 1.37 to 1.45, still hold within
// 1 % and are cut all the same. Estimated in the same way, 1.32 is also the
// stiffest collision the speed limit above lets through whole: a disc at the
// limit hitting one at rest, omega dt = 8.8 x 0.15.
inline constexpr double CollisionStepLimit = 1.32;

// Where the speed limit above already cuts most steps, the gas's fast
// collisions are resolved in those sub-steps: the fastest of 225 discs
// outruns a speed v in about 85 % of steps once v^2 < 5.25 T (measured: a
// gas whose steps are cut that often holds its target with single steps;
// R 0.01 at T 1.8, 87 % of steps cut, holds it to 1.4 %, at T 1.7, 82 %, it
// runs 2.5 % warm). The few steps left whole meet only the stiffness of the
// well, slow pairs falling in, which no speed limit sees.
inline constexpr double FastestDiscSpeed2PerT = 5.25;

// The sub-steps every step of a gas at temperature T takes for its
// collisions, for discs of radius R and well depth e0: 1 when one step
// resolves them, when the gas has no wall (e0 = 0), or when even
// MaxSubSteps would not do (then the checks report what happens).
//
// T is the temperature the gas is held at: the measured one, or the
// thermostat's target where the gas is warmer than that but less than twice
// as warm (the run works it out). Such a gas (the lattice start releasing
// the well's energy, a hot state opened) is on its way down, and what its
// collisions gain on the way the thermostat takes out with the rest: e0 0.5
// reads up to 0.43 for a thousand steps after the lattice start at the
// default target, and its steps stay whole. A gas beyond twice its target is
// heating by itself (discs started inside each other's walls) and is judged
// at its own temperature.
//
// Once cut, a step is cut into ceil(omega dt) sub-steps, at least two, with
// omega estimated by the sum of the two limits, omega^2 = (912 e0 + 78 u^2)
// / sigma^2. That lies below the turning point's omega, by a fifth at
// T = 5 e0 and by CollisionStepLimit itself at T = 20 e0: up to there every
// sub-step's collisions are below the limit, and a hotter gas's fastest
// discs cut its steps further.
int collisionSubSteps(float R, float e0, double T, float dt);

// No step is cut into more pieces than this. A disc that would still move
// too far in dt / MaxSubSteps is no collision that sub-steps can resolve
// (it moves 15 sigma in one step): the step is then taken whole, as the
// model takes it, and what the checks find they report.
inline constexpr int MaxSubSteps = 100;

// The square of the speed at which a disc of radius R moves SubStepReach
// sigma in dt, in single precision (infinite when no limit applies).
float subStepSpeedLimit2(float R, float dt);

}  // namespace ljgas
