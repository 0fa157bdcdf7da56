#include "files/trajectory_file.h"

#include "engine/record.h"
#include "engine/run_params.h"
#include "files/csv_number.h"
#include "files/exact_number.h"

namespace ljgas {

namespace {

// Every frame's cell and columns; see the header.
constexpr const char* FrameFormat =
    "Lattice=\"1 0 0 0 1 0 0 0 1\" Properties=species:S:1:pos:R:3:vel:R:3 pbc=\"T T F\"";

}  // namespace

std::string trajectoryFrame(const Record& rec, std::int64_t step, float e0)
{
    double v2 = 0.0;
    for (int k = 1; k <= rec.n; ++k)
        v2 += static_cast<double>(rec.vx[k]) * rec.vx[k] + static_cast<double>(rec.vy[k]) * rec.vy[k];
    const double T = rec.n > 0 ? v2 / rec.n : 0.0;

    std::string text = std::to_string(rec.n) + "\n" + FrameFormat;
    text += " step=" + std::to_string(step);
    text += " time=" + csvNumber(static_cast<double>(step) * TimeStep);
    text += " T=" + csvNumber(T);
    text += " R=" + exactSingle(rec.R);
    text += " e0=" + exactSingle(e0);
    text += '\n';
    text.reserve(text.size() + static_cast<std::size_t>(rec.n) * 72);
    for (int k = 1; k <= rec.n; ++k) {
        text += "X ";
        text += csvNumber(rec.x[k]);
        text += ' ';
        text += csvNumber(rec.y[k]);
        text += " 0 ";
        text += csvNumber(rec.vx[k]);
        text += ' ';
        text += csvNumber(rec.vy[k]);
        text += " 0\n";
    }
    return text;
}

}  // namespace ljgas
