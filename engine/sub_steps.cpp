#include "sub_steps.h"

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

int collisionSubSteps(float R, float e0, float T, float dt)
{
    const double sigma = 2.0 * std::fabs(static_cast<double>(R));
    const double omega2 = (912.0 * std::fabs(static_cast<double>(e0)) + 78.0 * 4.6 * std::fabs(static_cast<double>(T))) /
                          (sigma * sigma);
    const double omegaDt = std::sqrt(omega2) * dt;
    if (!(omegaDt > CollisionStepLimit) || !(omegaDt <= CollisionStepLimit * MaxSubSteps))
        return 1;
    return static_cast<int>(std::ceil(omegaDt / CollisionStepLimit));
}

}  // namespace ljgas
