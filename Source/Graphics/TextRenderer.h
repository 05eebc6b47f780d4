#pragma once

#include "Graphics/Font.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn
{

class Matrix4;
class MessageManager;
class Text;

namespace platform::gfx
{
class Device;
class DeviceFont;
} // namespace platform::gfx

// Draws every Text component in the group "text", each on its object's screen point, with one device
// font per distinct font description (made on first use, at a height of Size times the height of
// render target 0 brought into the heights fonts are made at, and let go when the device is lost). It
// follows the components through "CreatedText" and "DestroyedText".
class TextRenderer
{
public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Registers the component listeners.
    void Init(MessageManager& messages);
    // viewProjection takes a world point to the screen of render target 0.
    void DrawAll(platform::gfx::Device* device, const Matrix4& viewProjection);
    void OnLostDevice();
    const std::vector<Text*>& GetTexts() const { return m_texts; }
    // The font of the description on the device, made when there is none yet; null (reported) when it
    // cannot be made.
    platform::gfx::DeviceFont* FontFor(platform::gfx::Device& device, const Font& font);
    std::size_t FontCount() const { return m_fonts.size(); }

private:
    // Fonts are equal keys as Font compares them, except that sizes that are not numbers are one size
    // (which Font's own comparison never finds equal, so that each lookup would make a font again).
    struct FontHash
    {
        std::size_t operator()(const Font& font) const;
    };
    struct FontKeyEqual
    {
        bool operator()(const Font& a, const Font& b) const;
    };

    std::vector<Text*> m_texts;
    std::unordered_map<Font, std::unique_ptr<platform::gfx::DeviceFont>, FontHash, FontKeyEqual> m_fonts;
};

} // namespace Quarn
