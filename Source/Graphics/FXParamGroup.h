#pragma once

#include "Core/Vector4.h"
#include "platform/gfx/Effect.h"

#include <array>
#include <map>
#include <string>

namespace Quarn
{

class ViewProjection;

// Feeds the engine's frame values into one effect (the first of the effect list) through standard
// semantics, and keeps that effect's tweakable floats (parameters with a "UIWidget" annotation other than
// "None"), which scripts change by name.
class FXParamGroup
{
public:
    // The standard semantics, in the order their parameters are looked up.
    enum Semantic : std::uint8_t
    {
        View,
        ViewProj,
        Proj,
        ViewInv,
        ProjInv,
        ViewProjInv,
        ViewTrans,
        ProjTrans,
        ViewProjTrans,
        ViewInvTrans,
        ProjInvTrans,
        ViewProjInvTrans,
        EyePos,
        CameraVelocity,
        ViewProjVar,
        Time,
        ElapsedTime,
        ViewportPixelSize,
        Ambient,
        ScreenSize,
        Fov,
        DirectionalLight,
        DirectionalLightColor,
        SemanticCount,
    };

    struct Tweakable
    {
        platform::gfx::EffectHandle parameter = 0;
        std::array<float, 4> uiParams{};
        float value = 0.0f;
        std::string widget;
    };

    // The frame values that come from the Graphics settings and the physics step.
    struct FrameValues
    {
        float time = 0.0f;
        float elapsed = 0.0f;
        // The physics system's last step; 0 in a frame without a step.
        float physicsDt = 0.0f;
        Vector4 directionalLight;
        std::array<float, 4> directionalLightColor{};
    };

    // Finds the effect's standard parameters and rebuilds the tweakables from its values.
    void Bind(platform::gfx::Effect* effect);
    // Whether the last Bind was to this very effect (null: to none). An effect loaded again is another
    // one, even where it took the old one's place in memory.
    bool IsBoundTo(const platform::gfx::Effect* effect) const
    {
        return effect ? effect->Serial() == m_serial : m_serial == 0;
    }
    platform::gfx::EffectHandle Handle(Semantic semantic) const { return m_handles[semantic]; }
    // Sets the frame's matrices, eye position and velocity, times, light and tweakables on the bound effect.
    void Update(const ViewProjection& main, const ViewProjection& far, const FrameValues& frame);

    // "ChangeDXGlobalFloat": a tweakable's value, sent with the next update; other names change nothing.
    void ChangeFloat(const std::string& name, float value);
    // A tweakable's value; 0 for a name that is none.
    float GetFloat(const std::string& name) const;
    const std::map<std::string, Tweakable>& Tweakables() const { return m_tweakables; }

private:
    platform::gfx::Effect* m_effect = nullptr;
    std::uint64_t m_serial = 0;
    std::array<platform::gfx::EffectHandle, SemanticCount> m_handles{};
    std::map<std::string, Tweakable> m_tweakables;
    float m_previousEye[2] = {0.0f, 0.0f};
    bool m_firstUpdateDone = false;
};

} // namespace Quarn
