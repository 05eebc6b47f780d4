#include "Graphics/FXParamGroup.h"

namespace Quarn
{

void FXParamGroup::Resolve(Effect* effect)
{
    m_resolvedOn = effect;
}

void FXParamGroup::Update(const ViewProjection&, const ViewProjection&, float, float) {}

void FXParamGroup::OnResetDevice() {}

void FXParamGroup::SetGlobalFloat(const std::string& name, float value)
{
    m_globalFloats[name] = value;
}

float FXParamGroup::GetGlobalFloat(const std::string& name) const
{
    const auto found = m_globalFloats.find(name);
    return found == m_globalFloats.end() ? 0.0f : found->second;
}

} // namespace Quarn
