#include "parameters.h"

namespace ljgas {

const char* dynamicsName(Dynamics dynamics) { return dynamics == Dynamics::Conserving ? "conserving" : "designed"; }

const char* thermostatKindName(ThermostatKind kind) { return kind == ThermostatKind::Canonical ? "canonical" : "weak"; }

std::optional<Dynamics> dynamicsNamed(std::string_view name)
{
    if (name == "designed")
        return Dynamics::Designed;
    if (name == "conserving")
        return Dynamics::Conserving;
    return std::nullopt;
}

std::optional<ThermostatKind> thermostatKindNamed(std::string_view name)
{
    if (name == "weak")
        return ThermostatKind::Weak;
    if (name == "canonical")
        return ThermostatKind::Canonical;
    return std::nullopt;
}

}  // namespace ljgas
