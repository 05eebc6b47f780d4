#pragma once

#include "platform/gfx/Resources.h"

#include <array>
#include <bit>
#include <cstddef>

namespace Quarn::platform::gfx
{

// Render states, each a 32-bit value: a truth value (0 or 1), one of the enumerations below, a mask, or a
// float's bits (FloatBits) where the state is a size or a bias.
enum class RenderState : std::uint8_t
{
    ZEnable,
    ZWriteEnable,
    ZFunc,    // Compare
    FillMode, // Fill
    CullMode, // Cull
    AlphaBlendEnable,
    SrcBlend,  // Blend
    DestBlend, // Blend
    BlendOp,   // BlendOp
    SeparateAlphaBlendEnable,
    SrcBlendAlpha,
    DestBlendAlpha,
    BlendOpAlpha,
    AlphaTestEnable, // kept by drawing without a pixel shader of its own
    AlphaRef,        // 0 to 255
    AlphaFunc,       // Compare
    ScissorTestEnable,
    StencilEnable,
    StencilFunc, // Compare
    StencilRef,
    StencilMask,
    StencilWriteMask,
    StencilFail, // StencilOp
    StencilZFail,
    StencilPass,
    ColourWriteEnable, // bits: 1 red, 2 green, 4 blue, 8 alpha
    DepthBias,         // float
    SlopeScaleDepthBias,
    Lighting,             // kept for state blocks; the pipeline has no fixed lighting
    MultisampleAntialias, // kept for state blocks; back buffers are not multisampled
    PointSize,            // float, for points drawn without a point size of their own
    PointSpriteEnable,
    Count,
};

enum Compare : std::uint32_t
{
    kCompareNever = 1,
    kCompareLess,
    kCompareEqual,
    kCompareLessEqual,
    kCompareGreater,
    kCompareNotEqual,
    kCompareGreaterEqual,
    kCompareAlways,
};

enum Fill : std::uint32_t
{
    kFillPoint = 1,
    kFillWireframe,
    kFillSolid,
};

// Which triangles are dropped, by their winding as seen on the target (y down): clockwise or
// counter-clockwise.
enum Cull : std::uint32_t
{
    kCullNone = 1,
    kCullClockwise,
    kCullCounterClockwise,
};

enum Blend : std::uint32_t
{
    kBlendZero = 1,
    kBlendOne,
    kBlendSrcColour,
    kBlendInvSrcColour,
    kBlendSrcAlpha,
    kBlendInvSrcAlpha,
    kBlendDestAlpha,
    kBlendInvDestAlpha,
    kBlendDestColour,
    kBlendInvDestColour,
    kBlendSrcAlphaSat,
};

enum BlendOp : std::uint32_t
{
    kBlendOpAdd = 1,
    kBlendOpSubtract,
    kBlendOpRevSubtract,
    kBlendOpMin,
    kBlendOpMax,
};

enum StencilOp : std::uint32_t
{
    kStencilOpKeep = 1,
    kStencilOpZero,
    kStencilOpReplace,
    kStencilOpIncrSat,
    kStencilOpDecrSat,
    kStencilOpInvert,
    kStencilOpIncr,
    kStencilOpDecr,
};

enum class SamplerState : std::uint8_t
{
    AddressU, // TextureAddress
    AddressV,
    AddressW,
    BorderColour, // packed colour
    MagFilter,    // TextureFilter
    MinFilter,
    MipFilter,
    MipLodBias, // float
    MaxMipLevel,
    MaxAnisotropy,
    Count,
};

enum TextureAddress : std::uint32_t
{
    kAddressWrap = 1,
    kAddressMirror,
    kAddressClamp,
    kAddressBorder,
    kAddressMirrorOnce,
};

enum TextureFilter : std::uint32_t
{
    kFilterNone = 0,
    kFilterPoint,
    kFilterLinear,
    kFilterAnisotropic,
};

inline constexpr std::size_t kRenderStateCount = static_cast<std::size_t>(RenderState::Count);
inline constexpr std::size_t kSamplerStateCount = static_cast<std::size_t>(SamplerState::Count);
inline constexpr std::uint32_t kSamplerCount = 16;
inline constexpr std::uint32_t kStreamCount = 4;
inline constexpr std::uint32_t kRenderTargetCount = 4;

// Stream frequency settings (SetStreamSourceFreq): 1 is plain drawing. For instanced drawing stream 0
// holds kStreamIndexedData | the instance count and the streams of per-instance records hold
// kStreamInstanceData | 1.
inline constexpr std::uint32_t kStreamIndexedData = 1u << 30;
inline constexpr std::uint32_t kStreamInstanceData = 2u << 30;

constexpr std::uint32_t FloatBits(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

const char* RenderStateName(RenderState state);
const char* SamplerStateName(SamplerState state);

struct StreamSource
{
    std::shared_ptr<VertexBuffer> buffer;
    std::uint32_t offset = 0;
    std::uint32_t stride = 0;
    std::uint32_t frequency = 1;
};

// Everything a state block captures and applies: the states, the bound textures, streams, indices,
// declaration and shaders, the viewport and the scissor rectangle (not the targets). A fresh device
// holds the defaults.
struct DeviceState
{
    DeviceState();

    std::array<std::uint32_t, kRenderStateCount> renderStates;
    std::array<std::array<std::uint32_t, kSamplerStateCount>, kSamplerCount> samplerStates;
    std::array<std::shared_ptr<Texture>, kSamplerCount> textures;
    std::array<StreamSource, kStreamCount> streams;
    std::shared_ptr<IndexBuffer> indices;
    std::shared_ptr<VertexDeclaration> declaration;
    std::shared_ptr<Shader> vertexShader;
    std::shared_ptr<Shader> pixelShader;
    Viewport viewport;
    Rect scissor;
};

class Device;

// The device's state as it stood at creation or the last Capture; Apply sets it again.
class StateBlock
{
public:
    explicit StateBlock(Device& device);
    void Capture();
    Result Apply();
    // Lets go of the device's objects it holds (a device is reset only once nothing holds them).
    void Clear() { m_state = DeviceState{}; }
    const DeviceState& State() const { return m_state; }

private:
    Device& m_device;
    DeviceState m_state;
};

} // namespace Quarn::platform::gfx
