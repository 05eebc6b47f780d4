#pragma once

#include <string>
#include <unordered_map>

namespace Quarn
{

class Effect;
class ViewProjection;

// Feeds the engine's frame values into the first effect of the effect list through standard semantics
// and keeps the tweakable floats that scripts set by name. The parameter handles and the per-frame
// values come with the effect layer.
class FXParamGroup
{
public:
    // Binds the group to the effect's parameters.
    void Resolve(Effect* effect);
    // The effect the group was last resolved on; null before the first.
    const Effect* ResolvedOn() const { return m_resolvedOn; }
    void Update(const ViewProjection& main, const ViewProjection& far, float gameTime, float dt);
    void OnResetDevice();

    // "ChangeDXGlobalFloat": the named float; 0 for a name never set.
    void SetGlobalFloat(const std::string& name, float value);
    float GetGlobalFloat(const std::string& name) const;

private:
    const Effect* m_resolvedOn = nullptr;
    std::unordered_map<std::string, float> m_globalFloats;
};

} // namespace Quarn
