#include "Graphics/TextRenderer.h"

#include "Core/Matrix4.h"
#include "Core/MessageManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Graphics/GraphicsError.h"
#include "Graphics/Text.h"
#include "platform/gfx/DeviceFont.h"

#include <algorithm>
#include <cmath>

namespace Quarn
{

namespace gfx = platform::gfx;

namespace
{

// Render target 0's size (the back buffer's when the slot holds none).
gfx::SurfaceDesc TargetDesc(gfx::Device& device)
{
    std::shared_ptr<gfx::Surface> target = device.GetRenderTarget(0);
    if (!target)
        target = device.GetBackBuffer();
    return target ? target->GetDesc() : gfx::SurfaceDesc{};
}

} // namespace

std::size_t TextRenderer::FontHash::operator()(const Font& font) const
{
    const std::size_t size = std::isnan(font.Size) ? 0 : std::hash<float>()(font.Size);
    return std::hash<std::string>()(font.Face) ^ size * 3 ^ std::hash<std::uint32_t>()(font.Weight) * 7 ^
           (font.Italic ? 11 : 0);
}

bool TextRenderer::FontKeyEqual::operator()(const Font& a, const Font& b) const
{
    return a == b || (std::isnan(a.Size) && std::isnan(b.Size) && a.Face == b.Face && a.Weight == b.Weight &&
                      a.Italic == b.Italic);
}

TextRenderer::TextRenderer() = default;

TextRenderer::~TextRenderer() = default;

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

gfx::DeviceFont* TextRenderer::FontFor(gfx::Device& device, const Font& font)
{
    const auto found = m_fonts.find(font);
    if (found != m_fonts.end())
        return found->second.get();
    const gfx::FontDesc desc{font.Face,
                             gfx::FontHeightOf(font.Size * static_cast<float>(TargetDesc(device).height)),
                             font.Weight, font.Italic};
    std::unique_ptr<gfx::DeviceFont> made;
    std::string error;
    const gfx::Result result = gfx::DeviceFont::Create(device, desc, made, error);
    if (result.Failed())
    {
        QUARN_GRAPHICS_ERROR(result, "Font couldn't be created! %s", error.c_str());
        return nullptr;
    }
    return m_fonts.emplace(font, std::move(made)).first->second.get();
}

void TextRenderer::DrawAll(gfx::Device* device, const Matrix4& viewProjection)
{
    if (!device)
        return;
    const gfx::SurfaceDesc target = TargetDesc(*device);
    const auto width = static_cast<float>(target.width);
    const auto height = static_cast<float>(target.height);
    for (Text* text : m_texts)
    {
        gfx::DeviceFont* font = FontFor(*device, text->m_font);
        const Transform* transform = text->GetOwner() ? text->GetOwner()->Get<Transform>() : nullptr;
        if (!font || !transform)
            continue;
        const Vector4 clip =
            Vector4(transform->Position.x, transform->Position.y, transform->Position.z, 1.0f) *
            viewProjection;
        // A point on or behind the eye has no place on the screen, nor one far off it.
        const float screenX = width / 2.0f * (1.0f + clip.x / clip.w);
        const float screenY = height / 2.0f * (1.0f - clip.y / clip.w);
        constexpr float kFarOff = 1.0e6f;
        if (!(clip.w > 0.0f) || !(std::fabs(screenX) < kFarOff) || !(std::fabs(screenY) < kFarOff))
            continue;
        const auto x = static_cast<std::int32_t>(screenX);
        const auto y = static_cast<std::int32_t>(screenY);
        std::uint32_t format = gfx::kTextNoClip | gfx::kTextBottom;
        if (text->m_alignment == Text::kAlignCentre)
            format |= gfx::kTextCentre;
        else if (text->m_alignment == Text::kAlignRight)
            format |= gfx::kTextRight;
        if (text->m_backgroundColor.A() != 0)
        {
            if (text->m_solidBackground)
            {
                gfx::Rect box{x, y, x, y};
                font->DrawText(text->m_display, box, format | gfx::kTextCalcRect, 0);
                if (std::shared_ptr<gfx::Surface> surface =
                        device->GetRenderTarget(0) ? device->GetRenderTarget(0) : device->GetBackBuffer())
                    device->ColorFill(*surface, &box, text->m_backgroundColor.value);
            }
            else
            {
                for (const auto& [dx, dy] : {std::pair{2, 1}, std::pair{4, 2}})
                {
                    gfx::Rect shadow{x - dx, y - dy, x - dx, y - dy};
                    font->DrawText(text->m_display, shadow, format, text->m_backgroundColor.value);
                }
            }
        }
        gfx::Rect place{x, y, x, y};
        font->DrawText(text->m_display, place, format, text->m_color.value);
    }
}

void TextRenderer::OnLostDevice()
{
    m_fonts.clear();
}

} // namespace Quarn
