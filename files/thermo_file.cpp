#include "files/thermo_file.h"

#include <string>

#include "engine/observables.h"
#include "files/csv_number.h"
#include "files/exact_number.h"

namespace ljgas {

void writeThermoHeader(std::FILE* out) { std::fputs("step,T,kinetic,potential,total,pressure,vcm_x,vcm_y\n", out); }

void writeThermoLine(std::FILE* out, std::int64_t step, float T, const Observables& o)
{
    std::string line = std::to_string(step) + "," + csvNumber(T);
    for (const double value : {o.kinetic, o.potential, o.total, o.pressure, o.vcmX, o.vcmY}) {
        line += ',';
        line += exactNumber(value);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
}

}  // namespace ljgas
