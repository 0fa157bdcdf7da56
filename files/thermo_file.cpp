#include "files/thermo_file.h"

#include "engine/observables.h"
#include "runtime/number_to_text.h"

namespace ljgas {

std::string thermoHeader() { return "step,T,kinetic,potential,total,pressure,vcm_x,vcm_y\n"; }

std::string thermoLine(std::int64_t step, float T, const Observables& o)
{
    std::string line = std::to_string(step) + "," + csvNumber(T);
    for (const double value : {o.kinetic, o.potential, o.total, o.pressure, o.vcmX, o.vcmY}) {
        line += ',';
        line += exactNumber(value);
    }
    line += '\n';
    return line;
}

}  // namespace ljgas
