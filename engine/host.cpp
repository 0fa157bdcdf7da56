#include "host.h"

#include <utility>

namespace ljgas {

Boxes fixedBoxes(std::string R, std::string e0, std::string Tsoll, bool thermostat)
{
    const std::int16_t value = thermostat ? 1 : 0;
    return {[R = std::move(R)] { return R; }, [e0 = std::move(e0)] { return e0; },
            [Tsoll = std::move(Tsoll)] { return Tsoll; }, [value] { return value; }};
}

}  // namespace ljgas
