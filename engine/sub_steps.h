// Sub-steps: a step whose fastest disc would move too far for its collision
// to be resolved is integrated as k equal kick-drift steps of dt / k.
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

// The speeds of the gas as a whole matter too, not only its fastest disc:
// the rule above cannot tell a lucky disc of the default gas (speeds up to
// 2.4) from the ordinary traffic of a gas at T = 1. A pair meeting with
// relative speed u turns round on the wall where V'' = 156 V / r^2 with
// V = mu u^2 / 2, and one meeting slowly turns round near r = sigma, where
// V'' = 4 e0 (156 - 42) / sigma^2: together omega^2 = (912 e0 + 78 u^2) /
// sigma^2. In a gas at temperature T (the mean of vx^2 + vy^2) a tenth of the
// pairs meet faster than u^2 = 4.6 T. Kick-then-drift follows such a
// collision well while omega dt <= 1, its period spanning at least 2 pi
// steps (it turns unstable at 2), so every step of a gas whose omega dt
// exceeds 1 is cut into ceil(omega dt) sub-steps. The default gas has
// omega dt = 0.85 and single steps; at T = 1 (1.16), with a well five times
// as deep (1.60) or discs half as large (1.70) the gas would otherwise gain
// energy at every fast collision.
inline constexpr double CollisionStepLimit = 1.0;

// The sub-steps the collisions of a gas at temperature T need in dt, for
// discs of radius R and well depth e0: 1 when they need none, or when even
// MaxSubSteps would not do (then the checks report what happens).
int collisionSubSteps(float R, float e0, float T, float dt);

// No step is cut into more pieces than this. A disc that would still move
// too far in dt / MaxSubSteps is no collision that sub-steps can resolve
// (it moves 15 sigma in one step): the step is then taken whole, as the
// model takes it, and what the checks find they report.
inline constexpr int MaxSubSteps = 100;

// The square of the speed at which a disc of radius R moves SubStepReach
// sigma in dt, in single precision (infinite when no limit applies).
float subStepSpeedLimit2(float R, float dt);

}  // namespace ljgas
