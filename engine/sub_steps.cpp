#include "sub_steps.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ljgas {

float subStepSpeedLimit2(float R, float dt)
{
    const double limit = SubStepReach * 2.0 * static_cast<double>(R) / dt;
    const double limit2 = limit * limit;
    // A radius that is not positive leaves nothing to resolve: the checks
    // report what such a run does.
    if (!(R > 0.0f) || !(dt > 0.0f) || !(limit2 < std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    return static_cast<float>(limit2);
}

int collisionSubSteps(float R, float e0, double T, float dt)
{
#ifdef LJGAS_SINGLE_STEP_GAS
    // A build for measuring what one step of dt does where this rule would
    // cut it (bench/soak/step_soak.sh); never the program's own.
    return 1;
#endif
    const double sigma = 2.0 * std::fabs(static_cast<double>(R));
    const double depth = std::fabs(static_cast<double>(e0));
    const double heat = std::fabs(T);
    const double step = dt;
    const double sumOmegaDt = std::sqrt((912.0 * depth + 78.0 * 4.6 * heat) / (sigma * sigma)) * step;
    if (!(depth > 0.0) || !(sumOmegaDt <= MaxSubSteps))
        return 1;

    // The stiffness at the turning point of the gas's fast tail, shared out
    // over the sub-steps the speed limit gives most steps, and the well's
    // own, which reaches every step. The tail's omega^2 dt^2 = x^(1/3) q is
    // compared cubed, x q^3 against the limit^6: square roots are the only
    // function rounded exactly everywhere, and no cube root is needed.
    const double scale = (step * step) / (sigma * sigma);
    const double limit2 = CollisionStepLimit * CollisionStepLimit;
    const double reach = SubStepReach * sigma / step;
    const double speedCut = std::max(1.0, std::ceil(std::sqrt(FastestDiscSpeed2PerT * heat) / reach));
    const double x = (1.0 + std::sqrt(1.0 + 1.15 * heat / depth)) / 2.0;  // (sigma / r)^6
    const double q = 8.0 * depth * (x * (156.0 * x - 42.0)) * scale / (speedCut * speedCut);
    const bool tailTooStiff = x * (q * q * q) > limit2 * limit2 * limit2;
    const bool wellTooStiff = 912.0 * depth * scale > limit2;
    if (!tailTooStiff && !wellTooStiff)
        return 1;
    return std::max(2, static_cast<int>(std::ceil(sumOmegaDt)));
}

}  // namespace ljgas
