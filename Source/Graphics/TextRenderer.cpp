#include "Graphics/TextRenderer.h"

#include "Core/MessageManager.h"
#include "Graphics/Text.h"

#include <algorithm>

namespace Quarn
{

void TextRenderer::Init(MessageManager& messages)
{
    messages.RegisterListener<void(Component*)>("CreatedText", [this](Component* text)
                                                { m_texts.push_back(static_cast<Text*>(text)); });
    messages.RegisterListener<void(Component*)>(
        "DestroyedText",
        [this](Component* text)
        {
            const auto found = std::find(m_texts.begin(), m_texts.end(), static_cast<Text*>(text));
            if (found != m_texts.end())
                m_texts.erase(found);
        });
}

void TextRenderer::DrawAll(platform::gfx::Device*) {}

void TextRenderer::OnLostDevice() {}

void TextRenderer::OnResetDevice(platform::gfx::Device*) {}

} // namespace Quarn
