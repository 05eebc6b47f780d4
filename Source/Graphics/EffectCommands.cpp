#include "Graphics/EffectCommands.h"

#include "Core/LowerCase.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Graphics/DrawGroups.h"
#include "Graphics/Effect.h"
#include "Graphics/GraphicsError.h"
#include "Graphics/RenderTargetManager.h"
#include "platform/gfx/Device.h"

#include <algorithm>
#include <cmath>

namespace Quarn::CGFX
{

namespace gfx = platform::gfx;

void CommandList::Run(Effect& context)
{
    for (int index = 0; index < static_cast<int>(commands.size()); ++index)
        commands[static_cast<std::size_t>(index)]->Execute(context, index);
}

void DoPass::Execute(Effect& e, int&)
{
    Effect::PassRecord& record = e.m_passes[m_pass];
    if (e.m_drawGroups)
        for (const std::string& group : record.list.skipIfEmpty)
            if (e.m_drawGroups->IsEmpty(group))
                return;
    const gfx::Result begun = e.m_effect->BeginPass(m_pass);
    if (begun.Failed())
    {
        QUARN_GRAPHICS_ERROR(begun, "Failed to begin pass.");
        return;
    }
    record.list.Run(e);
    const gfx::Result ended = e.m_effect->EndPass();
    if (ended.Failed())
        QUARN_GRAPHICS_ERROR(ended, "Failed to end pass.");
}

namespace
{

// Sets the surface of a colour slot or the depth-stencil slot on the device.
void BindSurface(Effect& e, unsigned slot, bool depth, std::shared_ptr<gfx::Surface> surface)
{
    if (depth)
        e.m_device->SetDepthStencilSurface(std::move(surface));
    else
        e.m_device->SetRenderTarget(slot, std::move(surface));
}

// Moves a colour or depth slot to the target of parameter, or back to the default when it is null.
void SwitchTarget(Effect& e, Effect::TargetSlot& target, unsigned slot, bool depth, EffectHandle parameter)
{
    if (parameter == target.parameter || !e.m_renderTargets)
        return;
    if (target.parameter != 0)
    {
        if (parameter == 0)
            BindSurface(e, slot, depth,
                        depth ? e.m_defaultDepthSurface : (slot == 0 ? e.m_defaultColorSurface : nullptr));
        // The finished target becomes readable by later passes.
        e.m_effect->SetTexture(target.parameter, e.m_renderTargets->Get(target.id).texture);
        if (parameter == 0)
        {
            target = {};
            return;
        }
    }
    else if (parameter == 0)
        return;

    auto known = e.m_targetIds.find(parameter);
    if (known == e.m_targetIds.end())
    {
        gfx::Format format = gfx::Format::Unknown;
        float size[2] = {1.0f, 1.0f};
        bool absolute = false;
        if (!e.ReadTargetDesc(parameter, format, size, absolute))
            return;
        known =
            e.m_targetIds.emplace(parameter, e.m_renderTargets->Create(e.m_device, format, size, absolute))
                .first;
    }
    target = {parameter, known->second};
    e.m_effect->SetTexture(parameter, nullptr);
    const std::shared_ptr<gfx::Texture>& texture = e.m_renderTargets->Get(target.id).texture;
    std::shared_ptr<gfx::Surface> surface;
    if (texture && texture->GetSurfaceLevel(0, surface).Succeeded())
        BindSurface(e, slot, depth, std::move(surface));
}

std::uint8_t ColourByte(float channel)
{
    if (channel >= 1.0f)
        return 255;
    if (!(channel > 0.0f))
        return 0;
    return static_cast<std::uint8_t>(channel * 255.0f + 0.5f);
}

} // namespace

void RenderColorTarget::Execute(Effect& e, int&)
{
    SwitchTarget(e, e.m_colorTargets[m_slot], m_slot, false, m_parameter);
}

void RenderDepthStencilTarget::Execute(Effect& e, int&)
{
    SwitchTarget(e, e.m_depthTarget, 0, true, m_parameter);
}

void ClearSetColor::Execute(Effect& e, int&)
{
    const gfx::EffectParameter* parameter = e.m_effect->Parameter(m_parameter);
    if (parameter)
        e.m_effect->GetFloats(m_parameter,
                              std::span<float>(e.m_clearColor.data(),
                                               std::min<std::size_t>(4, parameter->value.numbers.size())));
}

void ClearSetDepth::Execute(Effect& e, int&)
{
    e.m_effect->GetFloat(m_parameter, e.m_clearDepth);
}

void ClearColor::Execute(Effect& e, int&)
{
    const std::uint32_t colour =
        gfx::PackColour(ColourByte(e.m_clearColor[3]), ColourByte(e.m_clearColor[0]),
                        ColourByte(e.m_clearColor[1]), ColourByte(e.m_clearColor[2]));
    const gfx::Result cleared = e.m_device->Clear({}, gfx::kClearTarget, colour, 1.0f, 0);
    if (cleared.Failed())
        QUARN_GRAPHICS_ERROR(cleared, "Failed to clear color.");
}

void ClearDepth::Execute(Effect& e, int&)
{
    const gfx::Result cleared = e.m_device->Clear({}, gfx::kClearDepth, 0, e.m_clearDepth, 0);
    if (cleared.Failed())
        QUARN_GRAPHICS_ERROR(cleared, "Failed to clear depth.");
}

void Draw::Execute(Effect& e, int&)
{
    if (e.m_drawGroups)
        e.m_drawGroups->Draw(m_group, *e.m_effect, e.m_device);
}

void GotoIf::Execute(Effect& e, int& index)
{
    if (m_exit < 0)
        return;
    const gfx::EffectParameter* count = e.m_effect->Parameter(m_count);
    // The iterations the count asks for, within the int range, so that the counter cannot overflow.
    int iterations = 0;
    switch (count ? count->value.type : gfx::EffectType::String)
    {
    case gfx::EffectType::Bool:
    case gfx::EffectType::Int:
        iterations = gfx::IntFromNumber(count->value.numbers[0]);
        break;
    case gfx::EffectType::Float:
        // The body runs while the counter is below the count: 2.5 runs it three times.
        iterations = gfx::IntFromNumber(std::ceil(count->value.numbers[0]));
        break;
    default:
        QUARN_ASSERT_FAILED_AS("false", "Invalid parameter type for shader SAS loop condition!");
        break;
    }
    std::vector<const GotoIf*>& running = e.m_runningLoops;
    const bool listed = !running.empty() && running.back() == this;
    if (m_counter < iterations)
    {
        if (!listed)
            running.push_back(this);
        ++m_counter;
        return;
    }
    if (listed)
        running.pop_back();
    m_counter = 0;
    index = m_exit;
}

void Goto::Execute(Effect&, int& index)
{
    index = m_head - 1;
}

void LoopGetIndex::Execute(Effect& e, int&)
{
    const gfx::EffectParameter* parameter = e.m_effect->Parameter(m_parameter);
    if (e.m_runningLoops.empty() || !parameter)
        return;
    if (parameter->value.type == gfx::EffectType::Int || parameter->value.type == gfx::EffectType::Float)
        e.m_effect->SetFloat(m_parameter, static_cast<float>(e.m_runningLoops.back()->m_counter - 1));
}

namespace
{

void AddSkip(CommandList& list, const std::string& group)
{
    if (std::find(list.skipIfEmpty.begin(), list.skipIfEmpty.end(), group) == list.skipIfEmpty.end())
        list.skipIfEmpty.push_back(group);
}

} // namespace

void ParseCommand(Effect& effect, const std::string& key, const std::string& value, CommandList& list,
                  std::vector<int>& openLoops)
{
    const gfx::Effect& fx = *effect.m_effect;
    const EffectHandle parameter = value.empty() ? 0 : fx.GetParameterByName(value);
    if (key == "skipifempty")
        AddSkip(list, LowerCase(value));
    else if (key == "pass")
    {
        const int index = effect.GetPassIndex(value);
        if (index < 0)
        {
            effect.ReportScriptFault("the technique has no pass \"" + value + "\".");
            return;
        }
        const auto pass = static_cast<std::size_t>(index);
        list.commands.push_back(std::make_unique<DoPass>(static_cast<unsigned>(index)));
        if (effect.m_passes.size() <= pass)
            effect.m_passes.resize(pass + 1);
        if (!effect.m_passes[pass].parsed)
        {
            effect.m_passes[pass].parsed = true;
            CommandList passList;
            effect.ParseScript(fx.Technique(effect.m_technique)->passes[pass].annotations, passList);
            effect.m_passes[pass].list = std::move(passList);
        }
    }
    else if (key.starts_with("rendercolortarget"))
    {
        const char last = key.back();
        if (last == '3')
        {
            effect.ReportScriptFault("\"" + key + "\": an effect has colour targets 0 to 2 only.");
            return;
        }
        const unsigned slot =
            key != "rendercolortarget" && last >= '0' && last <= '2' ? unsigned(last - '0') : 0;
        list.commands.push_back(std::make_unique<RenderColorTarget>(slot, parameter));
    }
    else if (key == "renderdepthstenciltarget")
        list.commands.push_back(std::make_unique<RenderDepthStencilTarget>(parameter));
    else if (key == "clearsetcolor")
        list.commands.push_back(std::make_unique<ClearSetColor>(parameter));
    else if (key == "clearsetdepth")
        list.commands.push_back(std::make_unique<ClearSetDepth>(parameter));
    else if (key == "clear")
    {
        if (LowerCase(value) == "color")
            list.commands.push_back(std::make_unique<ClearColor>());
        else
            list.commands.push_back(std::make_unique<ClearDepth>());
    }
    else if (key == "draw")
    {
        list.commands.push_back(std::make_unique<Draw>(LowerCase(value)));
        AddSkip(list, LowerCase(value));
    }
    else if (key == "loopbycount")
    {
        openLoops.push_back(static_cast<int>(list.commands.size()));
        list.commands.push_back(std::make_unique<GotoIf>(parameter));
    }
    else if (key == "loopgetindex")
        list.commands.push_back(std::make_unique<LoopGetIndex>(parameter));
    else if (key == "loopend")
    {
        if (openLoops.empty())
        {
            effect.ReportScriptFault("\"LoopEnd\" closes no loop.");
            return;
        }
        const int head = openLoops.back();
        openLoops.pop_back();
        static_cast<GotoIf&>(*list.commands[static_cast<std::size_t>(head)]).m_exit =
            static_cast<int>(list.commands.size());
        list.commands.push_back(std::make_unique<Goto>(head));
    }
}

} // namespace Quarn::CGFX
