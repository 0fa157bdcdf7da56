#include "ui/form/particle_view.h"

#include <cstdint>

#include "engine/checked.h"
#include "engine/record.h"
#include "platform/palette.h"
#include "platform/picture_box.h"

namespace ljgas {

namespace {

constexpr int eraseColour = 0;           // black, the view's background
constexpr int firstParticleColour = 12;  // light red: the one particle to follow by eye
constexpr int particleColour = 15;       // bright white

void circle(PictureBox& view, const Record& rec, int k, int colour)
{
    view.Circle(rec.x[k], rec.y[k], rec.R, QBColor(colour));
}

int colourOf(int k) { return k == 1 ? firstParticleColour : particleColour; }

}  // namespace

void redrawParticles(PictureBox& view, const Record& rec)
{
    view.Cls();
    // The margin lies inside the square: a particle at its edge is cut in
    // half by the edge of the view.
    const float upper = toSingle(1.0 - static_cast<double>(rec.R));
    view.Scale(rec.R, upper, upper, rec.R);
    const std::int16_t n = narrow16(rec.n);
    for (std::int16_t k = 1; k <= n; ++k)
        drawParticle(view, rec, k);
}

void drawParticle(PictureBox& view, const Record& rec, int k) { circle(view, rec, k, colourOf(k)); }

void eraseParticle(PictureBox& view, const Record& rec, int k) { circle(view, rec, k, eraseColour); }

void MovingParticles::erase(const Record& rec, int k)
{
    finish();
    erased_ = Erased{k, rec.x[k], rec.y[k], rec.R};
}

void MovingParticles::draw(const Record& rec, int k)
{
    if (erased_ && erased_->k == k && erased_->R == rec.R) {
        view_.moveCircle(erased_->x, erased_->y, rec.x[k], rec.y[k], rec.R, QBColor(eraseColour), QBColor(colourOf(k)));
        erased_.reset();
        return;
    }
    finish();
    drawParticle(view_, rec, k);
}

void MovingParticles::finish()
{
    if (!erased_)
        return;
    view_.Circle(erased_->x, erased_->y, erased_->R, QBColor(eraseColour));
    erased_.reset();
}

}  // namespace ljgas
