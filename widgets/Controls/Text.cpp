#include "widgets/Controls/Text.h"

#include "widgets/Geometry.h"
#include "widgets/Renderer.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace Gui::ControlsInternal
{

namespace
{

Renderer::Base* RendererOf(Controls::Base* control)
{
    Skin::Base* skin = control->GetSkin();
    return skin ? skin->GetRender() : nullptr;
}

} // namespace

Text::Text(Controls::Base* parent) : Base(parent), m_colour(255, 255, 255, 255)
{
    if (Skin::Base* skin = GetSkin())
    {
        m_colour = skin->GetTextColor();
        m_font = skin->GetDefaultFont();
    }
    SetMouseInputEnabled(false);
}

void Text::SetString(const std::wstring& text)
{
    m_text = text;
    Invalidate();
}

void Text::SetString(const std::string& text)
{
    SetString(Utility::StringToUnicode(text));
}

void Text::Layout(Skin::Base* /*skin*/)
{
    RefreshSize();
}

void Text::RefreshSize()
{
    if (!m_font)
        return;
    Point size(1, Geometry::ToInt(m_font->size));
    if (!m_text.empty())
        if (Renderer::Base* render = RendererOf(this))
            size = render->MeasureText(m_font, m_text);
    if (size.x == Width() && size.y == Height())
        return;
    SetSize(size.x, size.y);
    InvalidateParent();
    Invalidate();
}

void Text::Render(Skin::Base* skin)
{
    if (m_text.empty() || !m_font)
        return;
    Renderer::Base* render = skin->GetRender();
    Point origin(0, 0);
    // A label registered its alignment: the renderer anchors the text at this point.
    const int alignment = render->TextAlignment();
    if (alignment & Pos::Right)
        origin.x = Width();
    else if (alignment & Pos::CenterH)
        origin.x = Width() / 2;
    render->SetDrawColor(m_colour);
    render->RenderText(m_font, origin, m_text);
}

Point Text::GetCharacterPosition(int index)
{
    if (m_text.empty() || index <= 0 || !m_font)
        return Point(1, 0);
    Renderer::Base* render = RendererOf(this);
    if (!render)
        return Point(1, 0);
    Point position = render->MeasureText(m_font, m_text.substr(0, static_cast<std::size_t>(index)));
    if (m_font->size <= static_cast<float>(position.y))
        position.y = Geometry::ToInt(std::trunc(static_cast<float>(position.y) - m_font->size));
    // A script's font size may be anything (a negative one puts the caret far below): the position is
    // kept where a control's may be.
    return Geometry::ClampPoint(position.x, position.y);
}

int Text::GetClosestCharacter(int x, int y)
{
    int best = 0;
    std::int64_t bestDistance = 4096;
    for (int index = 0; index <= Length(); ++index)
    {
        const Point position = GetCharacterPosition(index);
        const std::int64_t distance =
            std::abs(std::int64_t{position.x} - x) + std::abs(std::int64_t{position.y} - y);
        if (distance <= bestDistance)
        {
            best = index;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace Gui::ControlsInternal
