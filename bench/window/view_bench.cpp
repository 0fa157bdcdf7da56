// One step of the particle view: for each of the 225 particles, erase its
// circle, drift and wrap it, draw it again, into the picture box's image;
// then the same through MovingParticles, as the window draws a run.
// No event processing and no screen: this is the drawing path alone.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "engine/drift.h"
#include "engine/lattice.h"
#include "engine/record.h"
#include "engine/run_params.h"
#include "platform/picture_box.h"
#include "platform/twips.h"
#include "runtime/random_sequence.h"
#include "ui/form/particle_view.h"

namespace {

// The particle view's size in the window at 96 dpi: 9255 x 8535 twips.
constexpr double viewWidthTwips = 9255.0;
constexpr double viewHeightTwips = 8535.0;
constexpr double screenDpi = 96.0;

// The view at its size in the window, the lattice of radius R drawn on it.
struct LatticeView {
    explicit LatticeView(const benchmark::State& state)
    {
        view.resize(ljgas::twipsToPixels(viewWidthTwips, screenDpi), ljgas::twipsToPixels(viewHeightTwips, screenDpi));
        view.setBackColor(0xFF000000u);
        ljgas::initializeLattice(rec, static_cast<float>(state.range(0)) / 1000.0f, random);
        ljgas::redrawParticles(view, rec);
    }

    ljgas::PictureBox view;
    ljgas::Record rec;
    ljgas::RandomSequence random;
};

void BM_ParticleViewStep(benchmark::State& state)
{
    LatticeView lattice(state);
    ljgas::PictureBox& view = lattice.view;
    ljgas::Record& rec = lattice.rec;
    for (auto _ : state) {
        for (int k = 1; k <= rec.n; ++k) {
            ljgas::eraseParticle(view, rec, k);
            ljgas::driftAndWrap(rec, k, ljgas::TimeStep);
            ljgas::drawParticle(view, rec, k);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * rec.n);
    state.counters["circles_per_step"] = 2.0 * rec.n;
}
// R in thousandths: the default 0.01 (a 6-pixel radius) and a larger disc.
BENCHMARK(BM_ParticleViewStep)->Arg(10)->Arg(30);

// The same step as the window takes it: each erase waits for the draw and
// is left out where the circle stays on its pixels.
void BM_MovingParticlesStep(benchmark::State& state)
{
    LatticeView lattice(state);
    ljgas::Record& rec = lattice.rec;
    ljgas::MovingParticles moving(lattice.view);
    for (auto _ : state) {
        for (int k = 1; k <= rec.n; ++k) {
            moving.erase(rec, k);
            ljgas::driftAndWrap(rec, k, ljgas::TimeStep);
            moving.draw(rec, k);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * rec.n);
}
BENCHMARK(BM_MovingParticlesStep)->Arg(10)->Arg(30);

}  // namespace

int main(int argc, char** argv)
{
    // A picture box is a widget and needs an application, but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
