#pragma once

#include "widgets/Renderer.h"

#include <string>
#include <vector>

namespace Gui::Renderer
{

// A back end that draws nothing and logs what it is asked, for tests. Its font is a fake of fixed metrics:
// every character is half the pixel height wide and a line is the pixel height tall; images load when
// their name does not start with "missing", at 16 x 16.
class RecordingBackend final : public Backend
{
public:
    void BeginFrame() override;
    void EndFrame() override;
    void DrawTriangles(std::span<const Vertex> vertices, void* texture) override;
    void SetScissor(const Rect* pixels) override;
    bool LoadTextureData(Texture& texture) override;
    void FreeTextureData(Texture& texture) override;
    void* LoadFontData(const std::wstring& face, int pixelHeight) override;
    void FreeFontData(void* font) override;
    Point MeasureString(void* font, const std::wstring& text) override;
    void DrawString(void* font, int x, int y, int flags, std::uint32_t colour,
                    const std::wstring& text) override;

    std::vector<std::string> log;
    // Every vertex drawn, in order.
    std::vector<Vertex> vertices;

private:
    struct FakeFont
    {
        int pixelHeight;
    };
    int m_textures = 0;
};

// The batching renderer over a recording back end of its own.
class Recording final : public Batched
{
public:
    Recording() : Batched(m_recorder) {}
    RecordingBackend& Recorder() { return m_recorder; }

private:
    RecordingBackend m_recorder;
};

} // namespace Gui::Renderer
