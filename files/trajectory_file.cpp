#include "files/trajectory_file.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "engine/record.h"
#include "engine/run_params.h"
#include "runtime/number_to_text.h"

namespace ljgas {

namespace {

// Every XYZ frame's cell and columns.
constexpr const char* XyzFormat =
    "Lattice=\"1 0 0 0 1 0 0 0 1\" Properties=species:S:1:pos:R:3:momenta:R:3 pbc=\"T T F\"";

// Every dump frame's box and columns, after the disc count.
constexpr const char* DumpFormat =
    "ITEM: BOX BOUNDS pp pp ff\n0 1\n0 1\n0 1\nITEM: ATOMS id type element x y z vx vy vz\n";

// "x y 0 vx vy 0\n" of particle k.
void appendDisc(std::string& text, const Record& rec, int k)
{
    text += csvNumber(rec.x[k]);
    text += ' ';
    text += csvNumber(rec.y[k]);
    text += " 0 ";
    text += csvNumber(rec.vx[k]);
    text += ' ';
    text += csvNumber(rec.vy[k]);
    text += " 0\n";
}

std::string xyzFrame(const Record& rec, std::int64_t step, float e0, Dynamics dynamics)
{
    double v2 = 0.0;
    for (int k = 1; k <= rec.n; ++k)
        v2 += static_cast<double>(rec.vx[k]) * rec.vx[k] + static_cast<double>(rec.vy[k]) * rec.vy[k];
    const double T = rec.n > 0 ? v2 / rec.n : 0.0;

    std::string text = std::to_string(rec.n) + "\n" + XyzFormat;
    text += " step=" + std::to_string(step);
    text += " time=" + csvNumber(static_cast<double>(step) * TimeStep);
    text += " T=" + csvNumber(T);
    text += " R=" + exactSingle(rec.R);
    text += " e0=" + exactSingle(e0);
    if (dynamics == Dynamics::Conserving)
        text += std::string(" dynamics=") + dynamicsName(dynamics);
    text += '\n';
    text.reserve(text.size() + static_cast<std::size_t>(rec.n) * 72);
    for (int k = 1; k <= rec.n; ++k) {
        text += "X ";
        appendDisc(text, rec, k);
    }
    return text;
}

std::string dumpFrame(const Record& rec, std::int64_t step)
{
    std::string text = "ITEM: TIMESTEP\n" + std::to_string(step) + "\nITEM: NUMBER OF ATOMS\n" + std::to_string(rec.n) +
                       "\n" + DumpFormat;
    text.reserve(text.size() + static_cast<std::size_t>(rec.n) * 76);
    for (int k = 1; k <= rec.n; ++k) {
        text += std::to_string(k);
        text += " 1 X ";
        appendDisc(text, rec, k);
    }
    return text;
}

bool endsWithAnyCase(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

}  // namespace

TrajectoryFormat trajectoryFormat(std::string_view path, std::string_view name)
{
    if (name.empty())
        return endsWithAnyCase(path, ".lammpstrj") ? TrajectoryFormat::LammpsDump : TrajectoryFormat::ExtendedXyz;
    for (std::size_t f = 0; f < TrajectoryFormatNames.size(); ++f) {
        if (name == TrajectoryFormatNames[f])
            return static_cast<TrajectoryFormat>(f);
    }
    throw std::invalid_argument("'" + std::string(name) + "' is no trajectory format: xyz or lammpstrj");
}

std::string trajectoryFrame(TrajectoryFormat format, const Record& rec, std::int64_t step, float e0, Dynamics dynamics)
{
    return format == TrajectoryFormat::LammpsDump ? dumpFrame(rec, step) : xyzFrame(rec, step, e0, dynamics);
}

}  // namespace ljgas
