#include "platform/gfx/DeviceState.h"

#include "platform/gfx/Device.h"

namespace Quarn::platform::gfx
{

namespace
{
struct RenderStateFacts
{
    const char* name;
    std::uint32_t initial;
};

// In the order of RenderState.
constexpr RenderStateFacts kRenderStates[] = {
    {"ZEnable", 1},
    {"ZWriteEnable", 1},
    {"ZFunc", kCompareLessEqual},
    {"FillMode", kFillSolid},
    {"CullMode", kCullCounterClockwise},
    {"AlphaBlendEnable", 0},
    {"SrcBlend", kBlendOne},
    {"DestBlend", kBlendZero},
    {"BlendOp", kBlendOpAdd},
    {"SeparateAlphaBlendEnable", 0},
    {"SrcBlendAlpha", kBlendOne},
    {"DestBlendAlpha", kBlendZero},
    {"BlendOpAlpha", kBlendOpAdd},
    {"AlphaTestEnable", 0},
    {"AlphaRef", 0},
    {"AlphaFunc", kCompareAlways},
    {"ScissorTestEnable", 0},
    {"StencilEnable", 0},
    {"StencilFunc", kCompareAlways},
    {"StencilRef", 0},
    {"StencilMask", 0xFFFFFFFFu},
    {"StencilWriteMask", 0xFFFFFFFFu},
    {"StencilFail", kStencilOpKeep},
    {"StencilZFail", kStencilOpKeep},
    {"StencilPass", kStencilOpKeep},
    {"ColourWriteEnable", 0xF},
    {"DepthBias", 0},
    {"SlopeScaleDepthBias", 0},
    {"Lighting", 1},
    {"MultisampleAntialias", 1},
    {"PointSize", FloatBits(1.0f)},
    {"PointSpriteEnable", 0},
};
static_assert(std::size(kRenderStates) == kRenderStateCount);

struct SamplerStateFacts
{
    const char* name;
    std::uint32_t initial;
};

// In the order of SamplerState.
constexpr SamplerStateFacts kSamplerStates[] = {
    {"AddressU", kAddressWrap},  {"AddressV", kAddressWrap},  {"AddressW", kAddressWrap}, {"BorderColour", 0},
    {"MagFilter", kFilterPoint}, {"MinFilter", kFilterPoint}, {"MipFilter", kFilterNone}, {"MipLodBias", 0},
    {"MaxMipLevel", 0},          {"MaxAnisotropy", 1},
};
static_assert(std::size(kSamplerStates) == kSamplerStateCount);
} // namespace

const char* RenderStateName(RenderState state)
{
    return kRenderStates[static_cast<std::size_t>(state)].name;
}

const char* SamplerStateName(SamplerState state)
{
    return kSamplerStates[static_cast<std::size_t>(state)].name;
}

DeviceState::DeviceState()
{
    for (std::size_t i = 0; i < kRenderStateCount; ++i)
        renderStates[i] = kRenderStates[i].initial;
    for (auto& sampler : samplerStates)
        for (std::size_t i = 0; i < kSamplerStateCount; ++i)
            sampler[i] = kSamplerStates[i].initial;
}

StateBlock::StateBlock(Device& device) : m_device(device), m_state(device.State()) {}

void StateBlock::Capture()
{
    m_state = m_device.State();
}

Result StateBlock::Apply()
{
    return m_device.ApplyStateBlock(*this);
}

Result Device::CreateStateBlock(std::unique_ptr<StateBlock>& block)
{
    block = std::make_unique<StateBlock>(*this);
    return Result::Code::Ok;
}

std::uint32_t Device::GetRenderState(RenderState state) const
{
    return State().renderStates[static_cast<std::size_t>(state)];
}

std::uint32_t Device::GetSamplerState(std::uint32_t sampler, SamplerState state) const
{
    return sampler < kSamplerCount ? State().samplerStates[sampler][static_cast<std::size_t>(state)] : 0;
}

Result Device::SetEach(const DeviceState& state)
{
    Result result;
    const auto keep = [&result](Result step)
    {
        if (result.Succeeded())
            result = step;
    };
    for (std::size_t i = 0; i < kRenderStateCount; ++i)
        keep(SetRenderState(static_cast<RenderState>(i), state.renderStates[i]));
    for (std::uint32_t sampler = 0; sampler < kSamplerCount; ++sampler)
    {
        for (std::size_t i = 0; i < kSamplerStateCount; ++i)
            keep(SetSamplerState(sampler, static_cast<SamplerState>(i), state.samplerStates[sampler][i]));
        keep(SetTexture(sampler, state.textures[sampler]));
    }
    for (std::uint32_t stream = 0; stream < kStreamCount; ++stream)
    {
        const StreamSource& source = state.streams[stream];
        keep(SetStreamSource(stream, source.buffer, source.offset, source.stride));
        keep(SetStreamSourceFreq(stream, source.frequency));
    }
    keep(SetIndices(state.indices));
    keep(SetVertexDeclaration(state.declaration));
    keep(SetVertexShader(state.vertexShader));
    keep(SetPixelShader(state.pixelShader));
    keep(SetViewport(state.viewport));
    keep(SetScissorRect(state.scissor));
    return result;
}

} // namespace Quarn::platform::gfx
