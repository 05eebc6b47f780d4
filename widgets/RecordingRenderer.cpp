#include "widgets/RecordingRenderer.h"

#include "widgets/Geometry.h"
#include "widgets/Utility.h"

#include <cstdint>

namespace Gui::Renderer
{

void RecordingBackend::BeginFrame()
{
    log.emplace_back("begin");
}

void RecordingBackend::EndFrame()
{
    log.emplace_back("end");
}

void RecordingBackend::DrawTriangles(std::span<const Vertex> drawn, void* texture)
{
    log.push_back("triangles " + std::to_string(drawn.size()) + (texture ? " textured" : ""));
    vertices.insert(vertices.end(), drawn.begin(), drawn.end());
}

void RecordingBackend::SetScissor(const Rect* pixels)
{
    log.push_back(pixels ? "scissor " + std::to_string(pixels->x) + " " + std::to_string(pixels->y) + " " +
                               std::to_string(pixels->w) + " " + std::to_string(pixels->h)
                         : "scissor off");
}

bool RecordingBackend::LoadTextureData(Texture& texture)
{
    const std::string name = Utility::UnicodeToString(texture.name);
    log.push_back("load texture " + name);
    if (name.starts_with("missing"))
        return false;
    texture.data = reinterpret_cast<void*>(static_cast<std::uintptr_t>(++m_textures));
    texture.width = texture.height = 16;
    return true;
}

void RecordingBackend::FreeTextureData(Texture& texture)
{
    log.push_back("free texture " + Utility::UnicodeToString(texture.name));
}

void* RecordingBackend::LoadFontData(const std::wstring& face, int pixelHeight)
{
    log.push_back("load font " + Utility::UnicodeToString(face) + " " + std::to_string(pixelHeight));
    return new FakeFont{pixelHeight};
}

void RecordingBackend::FreeFontData(void* font)
{
    log.push_back("free font " + std::to_string(static_cast<FakeFont*>(font)->pixelHeight));
    delete static_cast<FakeFont*>(font);
}

Point RecordingBackend::MeasureString(void* font, const std::wstring& text)
{
    const int height = static_cast<FakeFont*>(font)->pixelHeight;
    const std::size_t last = text.find_last_not_of(L' ');
    const auto counted = static_cast<std::int64_t>(last == std::wstring::npos ? 0 : last + 1);
    // A line wider than the int range measures the range's end, as the device's fonts do.
    return Point(Geometry::Saturate(counted * height / 2), height);
}

void RecordingBackend::DrawString(void*, int x, int y, int flags, std::uint32_t, const std::wstring& text)
{
    log.push_back("text " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(flags) + " " +
                  Utility::UnicodeToString(text));
}

} // namespace Gui::Renderer
