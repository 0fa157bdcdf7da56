#include "host.h"

#include <utility>

#include "checked.h"
#include "runtime/text_to_number.h"

namespace ljgas {

Boxes fixedBoxes(std::string R, std::string e0, std::string Tsoll, bool thermostat)
{
    const std::int16_t value = thermostat ? 1 : 0;
    return {[R = std::move(R)] { return R; }, [e0 = std::move(e0)] { return e0; },
            [Tsoll = std::move(Tsoll)] { return Tsoll; }, [value] { return value; }};
}

std::string describeError(const std::exception& error, const Boxes& boxes)
{
    std::string message = error.what();
    const auto* engine = dynamic_cast<const EngineError*>(&error);
    if (engine == nullptr)
        return message;
    const char* caption = nullptr;
    const std::function<std::string()>* box = nullptr;
    switch (engine->suspect()) {
    case SuspectBox::R: caption = "R=", box = &boxes.R; break;
    case SuspectBox::e0: caption = "e0=", box = &boxes.e0; break;
    case SuspectBox::Tsoll: caption = "Tsoll=", box = &boxes.Tsoll; break;
    case SuspectBox::None: break;
    }
    if (box == nullptr || !*box)
        return message;
    const std::string text = (*box)();
    if (leadingNumberLength(text) == 0)
        message += std::string(" (the ") + caption + " box reads '" + text + "' as 0)";
    return message;
}

}  // namespace ljgas
