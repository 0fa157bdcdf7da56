// The thermo file's text: the read-out as shown, the observables to the last
// digit of a double.
#include "files/thermo_file.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/observables.h"

namespace ljgas {
namespace {

TEST(ThermoFile, ReadOutAsShownAndObservablesReadBackExactly)
{
    Observables o;
    o.kinetic = 0.1;  // no more digits than needed ...
    o.potential = -1.0 / 3.0;
    o.total = 0.1 + 0.2;  // ... and all that are
    o.pressure = 1e-300;
    o.vcmX = 0.0;
    o.vcmY = -5.03287e-08;
    const std::string text = thermoHeader() + thermoLine(4294967296, 0.3f, o);

    EXPECT_EQ(text, "step,T,kinetic,potential,total,pressure,vcm_x,vcm_y\n"
                    "4294967296,0.300000012,0.1,-0.3333333333333333,0.30000000000000004,1e-300,0,-5.03287e-08\n");
}

}  // namespace
}  // namespace ljgas
