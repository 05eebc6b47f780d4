#include "widgets/Controls/Label.h"

#include "widgets/Renderer.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

#include <cmath>

namespace Gui::Controls
{

Label::Label(Base* parent) : Base(parent), m_text(new ControlsInternal::Text(this))
{
    if (Skin::Base* skin = GetSkin())
        m_text->SetFont(skin->GetDefaultFont());
    SetMouseInputEnabled(false);
    SetBounds(0, 0, 100, 10);
    SetAlignment(Pos::Left | Pos::Top);
}

void Label::SetText(const std::string& text, bool doEvents)
{
    SetText(Utility::StringToUnicode(text), doEvents);
}

void Label::SetText(const std::wstring& text, bool doEvents)
{
    if (m_text->GetText() == text)
        return;
    m_text->SetString(text);
    Redraw();
    if (doEvents)
        OnTextChanged();
}

void Label::SizeToContents()
{
    const Padding& p = GetPadding();
    const Padding& t = m_textPadding;
    m_text->SetPos(p.left + t.left, p.top + t.top);
    m_text->RefreshSize();
    SetSize(m_text->Width() + p.left + p.right + t.left + t.right,
            m_text->Height() + p.top + p.bottom + t.top + t.bottom);
}

void Label::SetTextPadding(const Padding& padding)
{
    m_textPadding = padding;
    Invalidate();
    InvalidateParent();
}

Point Label::GetCharacterPosition(int index)
{
    const Point position = m_text->GetCharacterPosition(index);
    return Point(position.x + m_text->X(), position.y + m_text->Y());
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
    const Padding& p = GetPadding();
    const Padding& t = m_textPadding;
    const int w = Width();
    const int h = Height();
    const int tw = m_text->Width();
    const int th = m_text->Height();
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
    m_text->SetPos(x, y);
}

} // namespace Gui::Controls
