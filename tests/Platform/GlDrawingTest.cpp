#include "Platform/GlDeviceFixture.h"

#include <array>
#include <cstring>
#include <vector>

namespace Quarn::platform::gfx
{
namespace
{

constexpr std::uint32_t kWidth = 32;
constexpr std::uint32_t kHeight = 24;
constexpr std::uint32_t kBlack = PackColour(255, 0, 0, 0);
constexpr std::uint32_t kRed = PackColour(255, 255, 0, 0);
constexpr std::uint32_t kGreen = PackColour(255, 0, 255, 0);
constexpr std::uint32_t kBlue = PackColour(255, 0, 0, 255);
constexpr std::uint32_t kWhite = PackColour(255, 255, 255, 255);

// A vertex already on the target: pixel position, depth, 1/w, colour and texture coordinates.
struct ScreenVertex
{
    float x, y, z, rhw;
    std::uint32_t colour;
    float u, v;
};
constexpr VertexElement kScreenVertex[] = {
    {0, 0, DeclType::Float4, DeclUsage::PositionT, 0},
    {0, 16, DeclType::Colour, DeclUsage::Colour, 0},
    {0, 20, DeclType::Float2, DeclUsage::TexCoord, 0},
};

ScreenVertex At(float x, float y, std::uint32_t colour, float u = 0.0f, float v = 0.0f)
{
    return {x, y, 0.5f, 1.0f, colour, u, v};
}

// Two triangles covering the pixels [left, right) x [top, bottom): pixel centres lie on whole numbers,
// so the corners sit half a pixel before them.
std::array<ScreenVertex, 4> Quad(int left, int top, int right, int bottom, std::uint32_t colour)
{
    const float l = static_cast<float>(left) - 0.5f;
    const float t = static_cast<float>(top) - 0.5f;
    const float r = static_cast<float>(right) - 0.5f;
    const float b = static_cast<float>(bottom) - 0.5f;
    return {At(l, t, colour, 0, 0), At(r, t, colour, 1, 0), At(l, b, colour, 0, 1), At(r, b, colour, 1, 1)};
}

class GlDrawingTest : public test::GlDeviceFixture
{
protected:
    GlDrawingTest() : GlDeviceFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        ASSERT_NE(m_device, nullptr) << m_error;
        ASSERT_TRUE(m_device->CreateVertexDeclaration(kScreenVertex, m_screenVertex).Succeeded());
        ASSERT_TRUE(m_device->SetVertexDeclaration(m_screenVertex).Succeeded());
        ASSERT_TRUE(m_device->BeginScene().Succeeded());
        ASSERT_TRUE(m_device->Clear({}, kClearTarget | kClearDepth, kBlack, 1.0f, 0).Succeeded());
    }

    void DrawQuad(int left, int top, int right, int bottom, std::uint32_t colour)
    {
        const auto quad = Quad(left, top, right, bottom, colour);
        ASSERT_TRUE(
            m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad.data(), sizeof(ScreenVertex))
                .Succeeded());
    }

    std::vector<std::uint32_t> ReadBack()
    {
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(m_device->ReadSurface(*m_device->GetBackBuffer(), pixels).Succeeded());
        return pixels;
    }

    static std::uint32_t Pixel(const std::vector<std::uint32_t>& pixels, int x, int y)
    {
        return pixels[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)];
    }

    std::shared_ptr<VertexDeclaration> m_screenVertex;
};

TEST_F(GlDrawingTest, PreTransformedTrianglesCoverThePixelsWhoseCentresTheyHold)
{
    DrawQuad(10, 5, 20, 15, kRed);
    // A triangle whose legs lie half a pixel before the centres of column 2 and row 17: its hypotenuse
    // passes through the centres where x + y = 24, which are left out of the checks.
    const ScreenVertex triangle[] = {At(1.5f, 16.5f, kGreen), At(7.5f, 16.5f, kGreen),
                                     At(1.5f, 22.5f, kGreen)};
    ASSERT_TRUE(m_device->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, triangle, sizeof(ScreenVertex))
                    .Succeeded());
    const auto pixels = ReadBack();

    const struct
    {
        int x, y;
        std::uint32_t colour;
    } expected[] = {
        {10, 5, kRed},   {19, 5, kRed},    {10, 14, kRed},  {19, 14, kRed},  {9, 5, kBlack},  {20, 5, kBlack},
        {10, 4, kBlack}, {10, 15, kBlack}, {2, 17, kGreen}, {6, 17, kGreen}, {2, 21, kGreen}, {4, 19, kGreen},
        {1, 17, kBlack}, {2, 16, kBlack},  {8, 17, kBlack}, {2, 23, kBlack}, {6, 20, kBlack},
    };
    for (const auto& e : expected)
        EXPECT_EQ(Pixel(pixels, e.x, e.y), e.colour) << "at " << e.x << "," << e.y;
}

TEST_F(GlDrawingTest, CullingDropsTrianglesByTheirWindingOnTheTarget)
{
    // Right, then down-left: clockwise as seen on the target (y runs down).
    const ScreenVertex clockwise[] = {At(0, 0, kRed), At(8, 0, kRed), At(0, 8, kRed)};
    const ScreenVertex counterClockwise[] = {At(0, 0, kRed), At(0, 8, kRed), At(8, 0, kRed)};
    const struct
    {
        std::uint32_t cull;
        const ScreenVertex* triangle;
        bool drawn;
    } cases[] = {
        {kCullCounterClockwise, clockwise, true},
        {kCullCounterClockwise, counterClockwise, false},
        {kCullClockwise, clockwise, false},
        {kCullClockwise, counterClockwise, true},
        {kCullNone, clockwise, true},
        {kCullNone, counterClockwise, true},
    };
    for (const auto& c : cases)
    {
        ASSERT_TRUE(m_device->Clear({}, kClearTarget, kBlack, 1.0f, 0).Succeeded());
        ASSERT_TRUE(m_device->SetRenderState(RenderState::CullMode, c.cull).Succeeded());
        ASSERT_TRUE(
            m_device->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, c.triangle, sizeof(ScreenVertex))
                .Succeeded());
        EXPECT_EQ(Pixel(ReadBack(), 2, 2), c.drawn ? kRed : kBlack)
            << "cull " << c.cull << (c.triangle == clockwise ? " clockwise" : " counter-clockwise");
    }
}

TEST_F(GlDrawingTest, ARenderTargetTextureIsDrawnIntoThenSampledTheRightWayUp)
{
    std::shared_ptr<Texture> target;
    ASSERT_TRUE(m_device->CreateTexture(8, 8, 1, kUsageRenderTarget, Format::A8R8G8B8, Pool::Default, target)
                    .Succeeded());
    std::shared_ptr<Surface> level;
    ASSERT_TRUE(target->GetSurfaceLevel(0, level).Succeeded());
    ASSERT_TRUE(m_device->SetRenderTarget(0, level).Succeeded());
    EXPECT_EQ(m_device->GetViewport(), (Viewport{0, 0, 8, 8, 0.0f, 1.0f})) << "a new target is drawn whole";
    ASSERT_TRUE(m_device->Clear({}, kClearTarget, kGreen, 1.0f, 0).Succeeded());
    DrawQuad(0, 0, 8, 4, kRed); // the top half

    std::vector<std::uint32_t> targetPixels;
    ASSERT_TRUE(m_device->ReadSurface(*level, targetPixels).Succeeded());
    EXPECT_EQ(targetPixels.front(), kRed);
    EXPECT_EQ(targetPixels.back(), kGreen);

    ASSERT_TRUE(m_device->SetRenderTarget(0, nullptr).Succeeded());
    EXPECT_EQ(m_device->GetRenderTarget(0), m_device->GetBackBuffer());
    ASSERT_TRUE(m_device->SetTexture(0, target).Succeeded());
    // Sampled at twice its size with point filtering: each texel covers 2 x 2 pixels.
    auto quad = Quad(4, 2, 20, 18, kWhite);
    ASSERT_TRUE(m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad.data(), sizeof(ScreenVertex))
                    .Succeeded());
    const auto pixels = ReadBack();
    EXPECT_EQ(Pixel(pixels, 4, 2), kRed);
    EXPECT_EQ(Pixel(pixels, 19, 9), kRed);
    EXPECT_EQ(Pixel(pixels, 4, 10), kGreen);
    EXPECT_EQ(Pixel(pixels, 19, 17), kGreen);
    EXPECT_EQ(Pixel(pixels, 3, 2), kBlack);
}

TEST_F(GlDrawingTest, AStateBlockRestoresWhatADrawChanged)
{
    ASSERT_TRUE(m_device->SetRenderState(RenderState::AlphaBlendEnable, 1).Succeeded());
    ASSERT_TRUE(m_device->SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha).Succeeded());
    ASSERT_TRUE(m_device->SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha).Succeeded());
    std::unique_ptr<StateBlock> defaults;
    ASSERT_TRUE(m_device->CreateStateBlock(defaults).Succeeded());

    // A draw that writes nothing of its own colour: blending keeps only what was there.
    ASSERT_TRUE(m_device->SetRenderState(RenderState::SrcBlend, kBlendZero).Succeeded());
    ASSERT_TRUE(m_device->SetRenderState(RenderState::DestBlend, kBlendOne).Succeeded());
    ASSERT_TRUE(m_device->SetRenderState(RenderState::CullMode, kCullNone).Succeeded());
    DrawQuad(0, 0, 8, 8, kRed);
    EXPECT_EQ(Pixel(ReadBack(), 1, 1), kBlack);

    ASSERT_TRUE(defaults->Apply().Succeeded());
    EXPECT_EQ(m_device->GetRenderState(RenderState::SrcBlend), kBlendSrcAlpha);
    EXPECT_EQ(m_device->GetRenderState(RenderState::DestBlend), kBlendInvSrcAlpha);
    EXPECT_EQ(m_device->GetRenderState(RenderState::CullMode), kCullCounterClockwise);
    // Half-transparent red over black, blended by its alpha.
    DrawQuad(0, 0, 8, 8, PackColour(128, 255, 0, 0));
    const std::uint32_t blended = Pixel(ReadBack(), 1, 1);
    EXPECT_NEAR(static_cast<int>((blended >> 16) & 0xFF), 128, 1);
    EXPECT_EQ(blended & 0xFFFF, 0u);
}

TEST_F(GlDrawingTest, LockedTextureLevelsReachTheSampler)
{
    std::shared_ptr<Texture> texture;
    ASSERT_TRUE(m_device->CreateTexture(4, 4, 0, 0, Format::X8R8G8B8, Pool::Managed, texture).Succeeded());
    EXPECT_EQ(texture->LevelCount(), 3u);
    SurfaceDesc desc;
    ASSERT_TRUE(texture->GetLevelDesc(1, desc).Succeeded());
    EXPECT_EQ(desc.width, 2u);

    // Rows blue, then a locked rectangle of one red pixel; alpha is ignored by the X8 format.
    LockedRect locked;
    ASSERT_TRUE(texture->LockRect(0, locked, nullptr, 0).Succeeded());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
        {
            const std::uint32_t colour = kBlue & 0x00FFFFFF;
            std::memcpy(static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch + x * 4, &colour, 4);
        }
    EXPECT_EQ(texture->LockRect(0, locked, nullptr, 0), Result::Code::InvalidCall) << "one lock at a time";
    ASSERT_TRUE(texture->UnlockRect(0).Succeeded());
    const Rect one{3, 0, 4, 1};
    ASSERT_TRUE(texture->LockRect(0, locked, &one, 0).Succeeded());
    std::memcpy(locked.bits, &kRed, 4);
    ASSERT_TRUE(texture->UnlockRect(0).Succeeded());
    const Rect outside{3, 3, 5, 4};
    EXPECT_EQ(texture->LockRect(0, locked, &outside, 0), Result::Code::InvalidCall);

    ASSERT_TRUE(m_device->SetTexture(0, texture).Succeeded());
    DrawQuad(0, 0, 4, 4, kWhite);
    const auto pixels = ReadBack();
    EXPECT_EQ(Pixel(pixels, 3, 0), kRed);
    EXPECT_EQ(Pixel(pixels, 2, 0), kBlue);
    EXPECT_EQ(Pixel(pixels, 3, 3), kBlue);
}

// Block-compressed levels are uploaded as they are: one DXT1 block of pure green.
TEST_F(GlDrawingTest, CompressedTextureLevelsReachTheSampler)
{
    std::shared_ptr<Texture> texture;
    ASSERT_TRUE(m_device->CreateTexture(4, 4, 1, 0, Format::Dxt1, Pool::Managed, texture).Succeeded());
    LockedRect locked;
    ASSERT_TRUE(texture->LockRect(0, locked, nullptr, 0).Succeeded());
    const std::uint8_t block[8] = {0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0};
    std::memcpy(locked.bits, block, sizeof block);
    ASSERT_TRUE(texture->UnlockRect(0).Succeeded());
    ASSERT_TRUE(m_device->SetTexture(0, texture).Succeeded());
    DrawQuad(0, 0, 4, 4, kWhite);
    const auto pixels = ReadBack();
    EXPECT_EQ(Pixel(pixels, 0, 0), kGreen);
    EXPECT_EQ(Pixel(pixels, 3, 3), kGreen);
    EXPECT_EQ(Pixel(pixels, 4, 0), kBlack);
}

// Shaders of the program's own over buffers: a triangle list through indices, then the same geometry
// drawn twice more by instancing, each instance moved by a record of a second stream.
TEST_F(GlDrawingTest, ShadersDrawIndexedAndInstancedGeometryFromBuffers)
{
    const char* vertexSource = R"(#version 450 core
layout(location = 0) in vec3 aPosition;
layout(location = 3) in vec2 aOffset;
out gl_PerVertex { vec4 gl_Position; };
void main() { gl_Position = vec4(aPosition.xy + aOffset, aPosition.z, 1.0); }
)";
    const char* pixelSource = R"(#version 450 core
uniform vec4 uColour;
layout(location = 0) out vec4 oColour;
void main() { oColour = uColour; }
)";
    std::string log;
    std::shared_ptr<Shader> vertexShader;
    std::shared_ptr<Shader> pixelShader;
    ASSERT_TRUE(m_device->CreateShader(ShaderStage::Vertex, vertexSource, vertexShader, log).Succeeded())
        << log;
    ASSERT_TRUE(m_device->CreateShader(ShaderStage::Pixel, pixelSource, pixelShader, log).Succeeded()) << log;
    EXPECT_EQ(m_device->CreateShader(ShaderStage::Pixel, "#version 450 core\nvoid main() { oops }",
                                     pixelShader, log),
              Result::Code::InvalidCall);
    EXPECT_FALSE(log.empty());
    const float green[] = {0.0f, 1.0f, 0.0f, 1.0f};
    ASSERT_TRUE(pixelShader->SetFloats(pixelShader->UniformLocation("uColour"), green).Succeeded());
    EXPECT_EQ(pixelShader->UniformLocation("uMissing"), -1);

    // A square in the top-left eighth of the target: clip space runs up, and x from -1 to -0.5.
    const float corners[] = {-1.0f, 1.0f, 0.5f, -0.5f, 1.0f, 0.5f, -1.0f, 0.5f, 0.5f, -0.5f, 0.5f, 0.5f};
    const std::uint16_t indices[] = {0, 1, 2, 1, 3, 2};
    const float offsets[] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, -1.0f};
    std::shared_ptr<VertexBuffer> vertices;
    std::shared_ptr<VertexBuffer> instances;
    std::shared_ptr<IndexBuffer> indexBuffer;
    ASSERT_TRUE(
        m_device->CreateVertexBuffer(sizeof(corners), kUsageWriteOnly, Pool::Managed, vertices).Succeeded());
    ASSERT_TRUE(
        m_device->CreateVertexBuffer(sizeof(offsets), kUsageDynamic, Pool::Default, instances).Succeeded());
    ASSERT_TRUE(
        m_device->CreateIndexBuffer(sizeof(indices), 0, IndexFormat::Index16, Pool::Managed, indexBuffer)
            .Succeeded());
    const auto fill = [](Buffer& buffer, const void* bytes, std::size_t size, std::uint32_t flags)
    {
        void* data = nullptr;
        ASSERT_TRUE(buffer.Lock(0, 0, data, flags).Succeeded());
        std::memcpy(data, bytes, size);
        ASSERT_TRUE(buffer.Unlock().Succeeded());
    };
    fill(*vertices, corners, sizeof(corners), 0);
    fill(*instances, offsets, sizeof(offsets), kLockDiscard);
    fill(*indexBuffer, indices, sizeof(indices), 0);

    const VertexElement elements[] = {{0, 0, DeclType::Float3, DeclUsage::Position, 0},
                                      {1, 0, DeclType::Float2, DeclUsage::TexCoord, 0}};
    std::shared_ptr<VertexDeclaration> declaration;
    ASSERT_TRUE(m_device->CreateVertexDeclaration(elements, declaration).Succeeded());
    ASSERT_TRUE(m_device->SetVertexDeclaration(declaration).Succeeded());
    ASSERT_TRUE(m_device->SetVertexShader(vertexShader).Succeeded());
    ASSERT_TRUE(m_device->SetPixelShader(pixelShader).Succeeded());
    ASSERT_TRUE(m_device->SetStreamSource(0, vertices, 0, 12).Succeeded());
    ASSERT_TRUE(m_device->SetStreamSource(1, instances, 0, 8).Succeeded());
    ASSERT_TRUE(m_device->SetIndices(indexBuffer).Succeeded());
    ASSERT_TRUE(m_device->SetRenderState(RenderState::CullMode, kCullNone).Succeeded());

    // Stream 1 once per vertex reads the first offset (0, 0) for every vertex.
    ASSERT_TRUE(m_device->SetStreamSource(1, instances, 0, 0).Succeeded());
    ASSERT_TRUE(m_device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 0, 2).Succeeded());
    auto pixels = ReadBack();
    EXPECT_EQ(Pixel(pixels, 0, 0), kGreen);
    EXPECT_EQ(Pixel(pixels, 7, 5), kGreen);
    EXPECT_EQ(Pixel(pixels, 8, 0), kBlack);
    EXPECT_EQ(Pixel(pixels, 0, 6), kBlack);

    ASSERT_TRUE(m_device->Clear({}, kClearTarget, kBlack, 1.0f, 0).Succeeded());
    ASSERT_TRUE(m_device->SetStreamSource(1, instances, 0, 8).Succeeded());
    ASSERT_TRUE(m_device->SetStreamSourceFreq(0, kStreamIndexedData | 3).Succeeded());
    ASSERT_TRUE(m_device->SetStreamSourceFreq(1, kStreamInstanceData | 1).Succeeded());
    ASSERT_TRUE(m_device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 0, 2).Succeeded());
    pixels = ReadBack();
    EXPECT_EQ(Pixel(pixels, 0, 0), kGreen) << "instance 0 where it was";
    EXPECT_EQ(Pixel(pixels, 16, 0), kGreen) << "instance 1 half the width to the right";
    EXPECT_EQ(Pixel(pixels, 16, 12), kGreen) << "instance 2 down by half the height";
    EXPECT_EQ(Pixel(pixels, 0, 12), kBlack);
}

TEST_F(GlDrawingTest, ColorFillAndReadbackServeEveryColourSurface)
{
    std::shared_ptr<Surface> target;
    std::shared_ptr<Surface> plain;
    std::shared_ptr<Surface> depth;
    ASSERT_TRUE(m_device->CreateRenderTarget(4, 4, Format::X8R8G8B8, target).Succeeded());
    ASSERT_TRUE(m_device->CreateOffscreenPlainSurface(4, 4, Format::A8R8G8B8, plain).Succeeded());
    ASSERT_TRUE(m_device->CreateDepthStencilSurface(4, 4, Format::D24S8, depth).Succeeded());
    const Rect corner{2, 2, 4, 4};
    for (Surface* surface : {target.get(), plain.get()})
    {
        ASSERT_TRUE(m_device->ColorFill(*surface, nullptr, kBlue).Succeeded());
        ASSERT_TRUE(m_device->ColorFill(*surface, &corner, kRed).Succeeded());
        std::vector<std::uint32_t> pixels;
        ASSERT_TRUE(m_device->ReadSurface(*surface, pixels).Succeeded());
        EXPECT_EQ(pixels[0], kBlue);
        EXPECT_EQ(pixels[1 * 4 + 2], kBlue);
        EXPECT_EQ(pixels[2 * 4 + 2], kRed);
        EXPECT_EQ(pixels[15], kRed);
    }
    std::vector<std::uint32_t> pixels;
    EXPECT_EQ(m_device->ColorFill(*depth, nullptr, kRed), Result::Code::InvalidCall);
    EXPECT_EQ(m_device->ReadSurface(*depth, pixels), Result::Code::InvalidCall);
    EXPECT_EQ(m_device->SetRenderTarget(0, plain), Result::Code::InvalidCall) << "not a render target";
    // The back buffer was not touched by any of it.
    EXPECT_EQ(Pixel(ReadBack(), 0, 0), kBlack);
}

TEST_F(GlDrawingTest, DrawsNeedASceneAndAStageForTheirVertices)
{
    ASSERT_TRUE(m_device->EndScene().Succeeded());
    const auto quad = Quad(0, 0, 4, 4, kRed);
    EXPECT_EQ(m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad.data(), sizeof(ScreenVertex)),
              Result::Code::InvalidCall);
    EXPECT_EQ(m_device->EndScene(), Result::Code::InvalidCall);
    ASSERT_TRUE(m_device->BeginScene().Succeeded());
    // Untransformed positions need a vertex shader; the device has no fixed transform.
    const VertexElement untransformed[] = {{0, 0, DeclType::Float3, DeclUsage::Position, 0}};
    std::shared_ptr<VertexDeclaration> declaration;
    ASSERT_TRUE(m_device->CreateVertexDeclaration(untransformed, declaration).Succeeded());
    ASSERT_TRUE(m_device->SetVertexDeclaration(declaration).Succeeded());
    EXPECT_EQ(m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad.data(), sizeof(ScreenVertex)),
              Result::Code::InvalidCall);
    EXPECT_EQ(m_device->DrawPrimitive(PrimitiveType::TriangleList, 0, 1), Result::Code::InvalidCall);
    EXPECT_EQ(Pixel(ReadBack(), 0, 0), kBlack);
}

} // namespace
} // namespace Quarn::platform::gfx
