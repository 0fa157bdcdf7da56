// Sub-steps: a step whose collisions are too stiff to be resolved in dt is
// integrated as k equal kick-drift steps of dt / k.
#pragma once

namespace ljgas {

// How far a disc may move in one kick-drift step, in sigma = 2R.
//
// The collision to resolve is two discs running into the repulsive wall,
// V ~ 4 e0 (sigma/r)^12. Kick-then-drift is stable for a pair only while
// omega dt < 2, omega^2 = V''/mu (reduced mass mu = 1/2). At the turning point
// of a pair that met with relative speed v, V'' = 156 V / r^2 and
// V = mu v^2 / 2, so omega = 8.8 v / r: the pair must close by less than about
// 0.22 sigma per step, or the wall's push comes too late and too strong and
// the pair gains energy instead of bouncing. Most collisions meet a fast disc
// with a slow one, so a fastest disc held to 0.15 sigma keeps them inside that
// limit. At the default gas (R 0.01) that is a speed of 3.0, and its discs
// peak at 2.4 over 10^7 steps: the default gas never takes sub-steps.
inline constexpr double SubStepReach = 0.15;

// The gas as a whole matters too: a gas at T = 1 keeps its fastest disc under
// that limit in most steps, yet its ordinary traffic meets fast enough to gain
// energy at every step.
//
// A tenth of the pairs of a gas at temperature T (the mean of vx^2 + vy^2)
// meet faster than u^2 = 4.6 T, with the energy E = mu u^2 / 2 = 1.15 T. Such
// a pair turns where V = E, at x = (sigma/r)^6 = (1 + sqrt(1 + E/e0)) / 2, and
// the wall's curvature there gives omega^2 = 8 e0 x^(1/3) (156 x^2 - 42 x) /
// sigma^2. A pair meeting slowly turns at sigma: omega^2 = 912 e0 / sigma^2,
// the stiffness of the well alone.
//
// One step of dt heats the gas faster than the weak thermostat cools it once
// that omega dt passes 1.32: over 10^6 steps (bench/soak/step_soak.sh) the
// mean temperature holds within 1 % of its target up to 1.31 and runs 2 %
// warm at 1.33, 4.7 % at 1.45. 1.32 is also the stiffest collision the speed
// limit above lets through whole: a disc at the limit hitting one at rest,
// omega dt = 8.8 x 0.15.
inline constexpr double CollisionStepLimit = 1.32;

// Where the speed limit already cuts most steps, the gas's fast collisions
// are resolved in those sub-steps: the fastest of 225 discs outruns a speed v
// in about 85 % of steps once v^2 < 5.25 T (R 0.01 at T 1.8, 87 % of steps
// cut, holds its target to 1.4 %; at T 1.7, 82 %, it runs 2.5 % warm). The
// steps left whole meet only the stiffness of the well.
inline constexpr double FastestDiscSpeed2PerT = 5.25;

// The sub-steps every step of a gas at temperature T takes for its
// collisions, for discs of radius R and well depth e0: 1 when one step
// resolves them, when the gas has no wall (e0 = 0), or when even MaxSubSteps
// would not do (then the checks report what happens).
//
// T is the temperature the gas is held at: the measured one, or the
// thermostat's target where the gas is warmer than that but less than twice
// as warm. Such a gas is on its way down, and what its collisions gain on the
// way the thermostat takes out with the rest. A gas beyond twice its target
// is heating by itself (discs started inside each other's walls) and is
// judged at its own temperature.
//
// A cut step takes ceil(omega dt) sub-steps, at least two, with omega^2 =
// (912 e0 + 78 u^2) / sigma^2, the sum of the two limits. That lies below the
// turning point's omega (by a fifth at T = 5 e0, by CollisionStepLimit itself
// at T = 20 e0), so up to there every sub-step stays below the limit.
int collisionSubSteps(float R, float e0, double T, float dt);

// No step is cut into more pieces than this. A disc that would still move too
// far in dt / MaxSubSteps (15 sigma in one step) is no collision that
// sub-steps can resolve: the step is taken whole, and the checks report.
inline constexpr int MaxSubSteps = 100;

// The square of the speed at which a disc of radius R moves SubStepReach
// sigma in dt, in single precision (infinite when no limit applies).
float subStepSpeedLimit2(float R, float dt);

}  // namespace ljgas
