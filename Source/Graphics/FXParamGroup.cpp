#include "Graphics/FXParamGroup.h"

#include "Core/LowerCase.h"
#include "Graphics/ViewProjection.h"

#include <algorithm>
#include <cmath>

namespace Quarn
{

namespace gfx = platform::gfx;

namespace
{
// In the order of FXParamGroup::Semantic.
constexpr const char* kSemanticNames[] = {
    "VIEW",
    "VIEWPROJ",
    "PROJ",
    "VIEWINV",
    "PROJINV",
    "VIEWPROJINV",
    "VIEWTRANS",
    "PROJTRANS",
    "VIEWPROJTRANS",
    "VIEWINVTRANS",
    "PROJINVTRANS",
    "VIEWPROJINVTRANS",
    "EYEPOS",
    "CAMERA_VELOCITY",
    "VIEWPROJVAR",
    "TIME",
    "ELAPSEDTIME",
    "VIEWPORTPIXELSIZE",
    "AMBIENT",
    "SCREENSIZE",
    "FOV",
    "DIRECTIONAL_LIGHT",
    "DIRECTIONAL_LIGHT_COLOR",
};
static_assert(std::size(kSemanticNames) == FXParamGroup::SemanticCount);
} // namespace

void FXParamGroup::Bind(gfx::Effect* effect)
{
    m_effect = effect;
    m_serial = effect ? effect->Serial() : 0;
    m_tweakables.clear();
    for (std::size_t i = 0; i < SemanticCount; ++i)
        m_handles[i] = effect ? effect->GetParameterBySemantic(kSemanticNames[i]) : 0;
    if (!effect)
        return;
    for (std::uint32_t index = 0; const gfx::EffectHandle parameter = effect->GetParameter(index); ++index)
    {
        const gfx::EffectParameter& described = *effect->Parameter(parameter);
        const gfx::EffectAnnotation* widget = effect->GetAnnotation(parameter, "UIWidget");
        if (!widget || widget->value.type != gfx::EffectType::String ||
            LowerCase(widget->value.text) == "none" || described.name.empty())
            continue;
        Tweakable tweakable{parameter, {0.0f, 1.0f, 0.1f, 0.0f}, 0.0f, widget->value.text};
        if (const gfx::EffectAnnotation* params = effect->GetAnnotation(parameter, "UIParams"))
            std::copy_n(params->value.numbers.begin(), std::min<std::size_t>(4, params->value.numbers.size()),
                        tweakable.uiParams.begin());
        effect->GetFloat(parameter, tweakable.value);
        m_tweakables[described.name] = tweakable;
    }
}

void FXParamGroup::Update(const ViewProjection& main, const ViewProjection& far, const FrameValues& frame)
{
    if (!m_effect)
        return;
    const auto set = [this](Semantic semantic, std::span<const float> values)
    { m_effect->SetFloats(m_handles[semantic], values); };
    const auto setMatrix = [&](Semantic semantic, const Matrix4& matrix)
    { set(semantic, std::span<const float>(matrix.Data(), 16)); };

    const Matrix4& view = main.GetView();
    const Matrix4& proj = main.GetProjection();
    const Matrix4& viewProj = main.GetViewProjection();
    setMatrix(View, view);
    setMatrix(ViewProj, viewProj);
    setMatrix(Proj, proj);
    setMatrix(ViewProjVar, far.GetViewProjection());
    const Matrix4 viewInv = view.GetInverse();
    const Matrix4 projInv = proj.GetInverse();
    const Matrix4 viewProjInv = viewProj.GetInverse();
    setMatrix(ViewInv, viewInv);
    setMatrix(ProjInv, projInv);
    setMatrix(ViewProjInv, viewProjInv);
    setMatrix(ViewTrans, view.GetTransposed());
    setMatrix(ProjTrans, proj.GetTransposed());
    setMatrix(ViewProjTrans, viewProj.GetTransposed());
    setMatrix(ViewInvTrans, viewInv.GetTransposed());
    setMatrix(ProjInvTrans, projInv.GetTransposed());
    setMatrix(ViewProjInvTrans, viewProjInv.GetTransposed());

    const float eye[2] = {view[12], view[13]};
    set(EyePos, eye);
    if (!m_firstUpdateDone)
        m_firstUpdateDone = true;
    else if (frame.physicsDt > 0.0f)
    {
        const float velocity[2] = {(eye[0] - m_previousEye[0]) / frame.physicsDt,
                                   (eye[1] - m_previousEye[1]) / frame.physicsDt};
        set(CameraVelocity, velocity);
    }
    m_previousEye[0] = eye[0];
    m_previousEye[1] = eye[1];

    set(Time, std::span<const float>(&frame.time, 1));
    set(ElapsedTime, std::span<const float>(&frame.elapsed, 1));
    // A light of no direction stays zero rather than dividing by its zero length.
    Vector4 light = frame.directionalLight;
    if (Vector4::LengthSquared(light) > 0.0f)
        light.Normalize();
    const float direction[4] = {light.x, light.y, light.z, light.w};
    set(DirectionalLight, direction);
    set(DirectionalLightColor, frame.directionalLightColor);
    for (const auto& [name, tweakable] : m_tweakables)
        m_effect->SetFloat(tweakable.parameter, tweakable.value);
}

void FXParamGroup::ChangeFloat(const std::string& name, float value)
{
    const auto found = m_tweakables.find(name);
    if (found != m_tweakables.end())
        found->second.value = value;
}

float FXParamGroup::GetFloat(const std::string& name) const
{
    const auto found = m_tweakables.find(name);
    return found == m_tweakables.end() ? 0.0f : found->second.value;
}

} // namespace Quarn
