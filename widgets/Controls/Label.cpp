#include "widgets/Controls/Label.h"

#include "widgets/Geometry.h"
#include "widgets/Renderer.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

#include <cmath>

namespace Gui::Controls
{

Label::Label(Base* parent) : Base(parent), m_text(new ControlsInternal::Text(this))
{
    if (Skin::Base* skin = GetSkin())
        SetFont(skin->GetDefaultFont());
    SetMouseInputEnabled(false);
    SetBounds(0, 0, 100, 10);
    SetAlignment(Pos::Left | Pos::Top);
}

void Label::SetText(const std::string& text, bool doEvents)
{
    SetText(Utility::StringToUnicode(text), doEvents);
}

const std::wstring& Label::TextReference() const
{
    static const std::wstring none;
    const ControlsInternal::Text* text = m_text.Get();
    return text ? text->GetText() : none;
}

void Label::SetFont(Font* font)
{
    if (ControlsInternal::Text* text = m_text.Get())
        text->SetFont(font);
}

Font* Label::GetFont()
{
    ControlsInternal::Text* text = m_text.Get();
    return text ? text->GetFont() : nullptr;
}

void Label::SetTextColor(const Color& colour)
{
    if (ControlsInternal::Text* text = m_text.Get())
        text->SetTextColor(colour);
}

const Color& Label::TextColor() const
{
    static const Color none;
    const ControlsInternal::Text* text = m_text.Get();
    return text ? text->TextColor() : none;
}

int Label::TextWidth()
{
    return m_text ? m_text->Width() : 0;
}

int Label::TextRight()
{
    return m_text ? m_text->Right() : 0;
}

int Label::TextHeight()
{
    return m_text ? m_text->Height() : 0;
}

int Label::TextX()
{
    return m_text ? m_text->X() : 0;
}

int Label::TextY()
{
    return m_text ? m_text->Y() : 0;
}

int Label::TextLength()
{
    return m_text ? m_text->Length() : 0;
}

void Label::SetText(const std::wstring& text, bool doEvents)
{
    ControlsInternal::Text* shown = m_text.Get();
    if (!shown || shown->GetText() == text)
        return;
    shown->SetString(text);
    Redraw();
    if (doEvents)
        OnTextChanged();
}

void Label::SizeToContents()
{
    ControlsInternal::Text* text = m_text.Get();
    if (!text)
        return;
    const Padding& p = GetPadding();
    const Padding& t = m_textPadding;
    text->SetPos(p.left + t.left, p.top + t.top);
    text->RefreshSize();
    SetSize(text->Width() + p.left + p.right + t.left + t.right,
            text->Height() + p.top + p.bottom + t.top + t.bottom);
}

void Label::SetTextPadding(const Padding& padding)
{
    m_textPadding = Geometry::ClampPadding(padding);
    Invalidate();
    InvalidateParent();
}

Point Label::GetCharacterPosition(int index)
{
    ControlsInternal::Text* text = m_text.Get();
    if (!text)
        return Point();
    const Point position = text->GetCharacterPosition(index);
    return Point(position.x + text->X(), position.y + text->Y());
}

void Label::Render(Skin::Base* skin)
{
    skin->GetRender()->SetTextAlignment(m_alignment);
}

void Label::DoRender(Skin::Base* skin)
{
    Base::DoRender(skin);
    // Nothing else may take this label's alignment, even when its text drew nothing.
    Skin::Base* used = m_skin ? m_skin : skin;
    if (used && used->GetRender())
        used->GetRender()->SetTextAlignment(0);
}

void Label::Layout(Skin::Base* /*skin*/)
{
    ControlsInternal::Text* text = m_text.Get();
    if (!text)
        return;
    const Padding& p = GetPadding();
    const Padding& t = m_textPadding;
    const int w = Width();
    const int h = Height();
    const int tw = text->Width();
    const int th = text->Height();
    int x = t.left + p.left;
    int y = t.top + p.top;
    if (m_alignment & Pos::Right)
        x = w - tw - t.right - p.right;
    if (m_alignment & Pos::CenterH)
        x = static_cast<int>(std::trunc(t.left + p.left + (w - tw) * 0.5 - t.right - p.right));
    if (m_alignment & Pos::CenterV)
        y = static_cast<int>(std::trunc(t.top + p.top + (h - th) * 0.5 - t.bottom - p.bottom));
    if (m_alignment & Pos::Bottom)
        y = h - th - t.bottom - p.bottom;
    text->SetPos(x, y);
}

} // namespace Gui::Controls
