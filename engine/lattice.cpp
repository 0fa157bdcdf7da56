#include "lattice.h"

#include "checked.h"
#include "host.h"
#include "record.h"
#include "run_params.h"
#include "runtime/number_to_text.h"
#include "runtime/random_sequence.h"
#include "runtime/text_to_number.h"

namespace ljgas {

namespace {

// 15 x 15 sites with spacing 1/15, the first half a spacing from x = 0 and
// y = 0, so the spacing is 1/15 across the periodic edges too. Velocities are
// uniform in [-0.5, 0.5) per component, drawn row by row (particle 1, 16,
// 31, ... then 2, 17, ...), then shifted together so the gas does not drift.
void placeOnLattice(Record& rec, RandomSequence& random)
{
    float Sx = 0.0f;
    float Sy = 0.0f;
    for (std::int16_t i = 1; i <= LatticeSide; ++i) {      // lattice row
        for (std::int16_t j = 1; j <= LatticeSide; ++j) {  // lattice column
            const std::int16_t k = add16(mul16(sub16(j, 1), LatticeSide), i);
            rec.x[k] = toSingle((j - 0.5) / LatticeSide);
            rec.y[k] = toSingle((i - 0.5) / LatticeSide);
            rec.vx[k] = toSingle(static_cast<double>(random.next()) - 0.5);
            rec.vy[k] = toSingle(static_cast<double>(random.next()) - 0.5);
            Sx = toSingle(static_cast<double>(Sx) + rec.vx[k]);
            Sy = toSingle(static_cast<double>(Sy) + rec.vy[k]);
        }
    }
    ++rec.positionsVersion;
    // Every particle gets the same shift: Sx and Sy stay as summed.
    const std::int16_t count = narrow16(rec.n);
    for (std::int16_t k = 1; k <= count; ++k) {
        rec.vx[k] = toSingle(rec.vx[k] - divide(Sx, rec.n));
        rec.vy[k] = toSingle(rec.vy[k] - divide(Sy, rec.n));
    }
}

}  // namespace

void initializeLattice(Record& rec, Host& host, RandomSequence& random)
{
    rec.n = ParticleCount;
    const double R = textToNumber(host.boxes.R());
    try {
        rec.R = toSingle(R);
    } catch (EngineError& e) {
        e.explain("R = " + shortNumber(R) + " lies beyond single precision (3.4e+38)", SuspectBox::R);
        throw;
    }
    placeOnLattice(rec, random);
    if (host.view != nullptr)
        host.view->redrawParticles(rec);
}

void initializeLattice(Record& rec, float R, RandomSequence& random)
{
    rec.n = ParticleCount;
    rec.R = R;
    placeOnLattice(rec, random);
}

}  // namespace ljgas
