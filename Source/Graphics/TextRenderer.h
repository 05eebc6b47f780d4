#pragma once

#include <vector>

namespace Quarn
{

class MessageManager;
class Text;

namespace platform::gfx
{
class Device;
}

// Draws every Text component in the group "text". It follows the components through "CreatedText"
// and "DestroyedText"; fonts and drawing come with the text layer.
class TextRenderer
{
public:
    // Registers the component listeners.
    void Init(MessageManager& messages);
    void DrawAll(platform::gfx::Device* device);
    void OnLostDevice();
    void OnResetDevice(platform::gfx::Device* device);
    const std::vector<Text*>& GetTexts() const { return m_texts; }

private:
    std::vector<Text*> m_texts;
};

} // namespace Quarn
