#include "event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace ljgas {

namespace {

#if defined(__x86_64__) || defined(__i386__)
// The toolkit's drawing and event code uses 256- and 512-bit vector
// instructions and can return with the upper halves of the vector registers
// still marked in use. The simulation is compiled for plain SSE, and on some
// processors every SSE instruction then has to merge with that state: the
// steps between two rounds of event processing ran three times slower. One
// VZEROUPPER after each round puts the registers back in the clean state.
__attribute__((target("avx"))) void clearUpperVectorState()
{
    _mm256_zeroupper();
}

const bool haveAvx = __builtin_cpu_supports("avx");
#endif

}  // namespace

void doEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
#if defined(__x86_64__) || defined(__i386__)
    if (haveAvx)
        clearUpperVectorState();
#endif
}

}  // namespace ljgas
