#include "UI/Skin/BWSkin.h"

#include "widgets/Controls/Base.h"
#include "widgets/Renderer.h"

namespace Quarn
{

namespace
{

const Gui::Color kOrange(240, 130, 50, 255);
const Gui::Color kTeal(43, 145, 175, 255);
const Gui::Color kBlack(0, 0, 0, 255);
const Gui::Color kWhite(255, 255, 255, 255);

} // namespace

BWSkin::BWSkin()
    : m_palette{
          {230, 230, 230}, {255, 255, 255}, {50, 50, 50},    {25, 25, 25}, {255, 255, 255}, {25, 25, 25},
          {255, 255, 255}, {0, 0, 0},       {230, 230, 230}, {25, 25, 25}, {0, 0, 0},       {25, 25, 25},
          {43, 145, 175},  {25, 25, 25},    {230, 230, 230}, {25, 25, 25}, {43, 145, 175},
      }
{
    m_defaultFont.facename = L"akashi";
    m_defaultFont.size = 12.0f;
    m_symbolFont.facename = L"Marlett";
    m_symbolFont.size = 12.0f;
}

BWSkin::~BWSkin()
{
    ReleaseFont(&m_symbolFont);
}

const Gui::Color& BWSkin::GetTextColor() const
{
    return kWhite;
}

void BWSkin::Fill(const Gui::Color& colour, const Gui::Rect& rect)
{
    m_renderer->SetDrawColor(colour);
    m_renderer->DrawFilledRect(rect);
}

void BWSkin::Outline(const Gui::Color& colour, const Gui::Rect& rect)
{
    m_renderer->SetDrawColor(colour);
    m_renderer->DrawLinedRect(rect);
}

void BWSkin::DrawButtonFace(int width, int height, bool depressed, bool hovered, bool slight)
{
    const Gui::Color& face = depressed ? kOrange : hovered ? m_palette[16] : kBlack;
    const Gui::Rect inner(1, 1, width - 2, height - 2);
    Fill(face, inner);
    // The black frame is drawn unless it would only cover the black face: at scale 1 it lies inside the
    // face once the face is 2 pixels wide and high.
    const bool hidden = !depressed && !hovered && m_renderer->Scale() == 1.0f && inner.w >= 2 && inner.h >= 2;
    if (!hidden)
    {
        m_renderer->SetDrawColor(kBlack);
        m_renderer->DrawShavedCornerRect(inner, slight);
    }
    m_renderer->SetDrawColor(m_palette[8]);
    m_renderer->DrawShavedCornerRect(Gui::Rect(0, 0, width, height), slight);
}

void BWSkin::DrawSymbol(int symbol, float size, Gui::Point position)
{
    const wchar_t* glyph = symbol == 1 ? L"8" : symbol == 2 ? L"a" : symbol == 3 ? L"h" : L"r";
    const float oldSize = m_symbolFont.size;
    m_symbolFont.size = size;
    m_renderer->RenderText(&m_symbolFont, position, std::wstring(glyph));
    m_symbolFont.size = oldSize;
}

void BWSkin::DrawButton(Gui::Controls::Base* control, bool depressed, bool hovered)
{
    DrawButtonFace(control->Width(), control->Height(), depressed, hovered, false);
}

void BWSkin::DrawCheckBox(Gui::Controls::Base* control, bool ticked, bool depressed)
{
    const Gui::Rect r = control->GetRenderBounds();
    const Gui::Color& face = depressed              ? kTeal
                             : ticked               ? kOrange
                             : control->IsHovered() ? m_palette[16]
                                                    : m_palette[9];
    Fill(face, r);
    Outline(m_palette[1], r);
    m_renderer->SetDrawColor(Gui::Color(0, 50, 60, 15));
    m_renderer->DrawFilledRect(Gui::Rect(r.x + 2, r.y + 2, r.w - 4, r.h - 4));
    m_renderer->DrawFilledRect(Gui::Rect(r.x + 2, r.y + 2, static_cast<int>(r.w * 0.3f), r.h - 4));
    m_renderer->DrawFilledRect(Gui::Rect(r.x + 2, r.y + 2, r.w - 4, static_cast<int>(r.h * 0.3f)));
    m_renderer->SetDrawColor(Gui::Color(0, 50, 60, 50));
    m_renderer->DrawFilledRect(Gui::Rect(r.x + 2, r.y + 2, 1, r.h - 4));
    m_renderer->DrawFilledRect(Gui::Rect(r.x + 2, r.y + 2, r.w - 4, 1));
}

void BWSkin::DrawTextBox(Gui::Controls::Base* control)
{
    const Gui::Rect r = control->GetRenderBounds();
    Fill(kWhite, Gui::Rect(1, 1, r.w - 2, r.h - 2));
    m_renderer->SetDrawColor(m_palette[1]);
    m_renderer->DrawFilledRect(Gui::Rect(r.x + 1, r.y, r.w - 2, 1));
    m_renderer->DrawFilledRect(Gui::Rect(r.x, r.y + 1, 1, r.h - 2));
    m_renderer->SetDrawColor(m_palette[2]);
    m_renderer->DrawFilledRect(Gui::Rect(r.x + 1, r.y + r.h - 1, r.w - 2, 1));
    m_renderer->DrawFilledRect(Gui::Rect(r.x + r.w - 1, r.y + 1, 1, r.h - 2));
    if (control->HasFocus())
        Outline(Gui::Color(50, 200, 255, 150), r);
}

void BWSkin::DrawWindow(Gui::Controls::Base* /*control*/, int /*titleBarBottom*/, bool /*onTop*/) {}

void BWSkin::DrawShadow(Gui::Controls::Base* /*control*/) {}

void BWSkin::DrawScrollBarBar(Gui::Controls::Base* control, bool depressed, bool hovered, bool /*horizontal*/)
{
    DrawButton(control, depressed, hovered);
}

void BWSkin::DrawScrollBarBackground(Gui::Controls::Base* control, bool /*horizontal*/, bool depressed)
{
    Fill(depressed ? m_palette[16] : m_palette[9], control->GetRenderBounds());
}

void BWSkin::DrawScrollButton(Gui::Controls::Base* control, int direction, bool depressed)
{
    DrawButton(control, depressed, false);
    const wchar_t* glyph = direction == Gui::Pos::Top      ? L"5"
                           : direction == Gui::Pos::Bottom ? L"6"
                           : direction == Gui::Pos::Left   ? L"3"
                                                           : L"4";
    const int shift = depressed ? 1 : 0;
    m_renderer->SetDrawColor(m_palette[16]);
    m_renderer->RenderText(&m_symbolFont, Gui::Point(2 + shift, 2 + shift), std::wstring(glyph));
}

void BWSkin::DrawListBox(Gui::Controls::Base* control)
{
    Fill(m_palette[9], control->GetRenderBounds());
    Outline(m_palette[0], control->GetRenderBounds());
}

void BWSkin::DrawListBoxLine(Gui::Controls::Base* control, bool selected)
{
    if (selected)
        Fill(kOrange, control->GetRenderBounds());
    else if (control->IsHovered())
        Fill(m_palette[16], control->GetRenderBounds());
}

void BWSkin::DrawSlider(Gui::Controls::Base* control, bool horizontal, int /*notches*/, int /*barSize*/)
{
    const Gui::Rect r = control->GetRenderBounds();
    const Gui::Rect track =
        horizontal
            ? Gui::Rect(r.x, r.y + static_cast<int>(0.4f * r.h), r.w, static_cast<int>(r.h - 0.8f * r.h))
            : Gui::Rect(r.x + static_cast<int>(0.4f * r.w), r.y, static_cast<int>(r.w - 0.8f * r.w), r.h);
    Fill(m_palette[4], track);
    Outline(m_palette[7], track);
}

void BWSkin::DrawKeyboardHighlight(Gui::Controls::Base* /*control*/, const Gui::Rect& area, int offset)
{
    const int x0 = area.x + offset;
    const int y0 = area.y + offset;
    const int w0 = area.w - 2 * offset;
    const int h0 = area.h - 2 * offset;
    m_renderer->SetDrawColor(kBlack);
    for (int i = 1; i < w0 / 2; ++i)
    {
        m_renderer->DrawPixel(x0 + 2 * i, y0);
        m_renderer->DrawPixel(x0 + 2 * i, y0 + h0 - 1);
    }
    for (int j = 0; j < h0 / 2; ++j)
    {
        m_renderer->DrawPixel(x0, y0 + 2 * j);
        m_renderer->DrawPixel(x0 + w0 - 1, y0 + 2 * j);
    }
}

void BWSkin::DrawToolTip(Gui::Controls::Base* control)
{
    const Gui::Rect r = control->GetRenderBounds();
    const Gui::Rect grown(r.x - 3, r.y - 3, r.w + 6, r.h + 6);
    Fill(m_palette[13], grown);
    Outline(m_palette[14], grown);
}

void BWSkin::DrawTreeButton(Gui::Controls::Base* control, bool open)
{
    const Gui::Rect r = control->GetRenderBounds();
    const Gui::Rect box(r.x + 2, r.y + 2, r.w - 4, r.h - 4);
    Fill(m_palette[9], box);
    Outline(m_palette[0], box);
    m_renderer->DrawFilledRect(Gui::Rect(r.x + 4, r.y + 2 + (r.h - 4) / 2, r.w - 8, 1));
    if (!open)
        m_renderer->DrawFilledRect(Gui::Rect(r.x + 2 + (r.w - 4) / 2, r.y + 4, 1, r.h - 8));
}

void BWSkin::DrawTreeControl(Gui::Controls::Base* control)
{
    Fill(m_palette[5], control->GetRenderBounds());
    Outline(m_palette[0], control->GetRenderBounds());
}

void BWSkin::DrawTreeNode(Gui::Controls::Base* /*control*/, bool open, bool selected, int titleHeight,
                          int titleTextRight, int toggleMiddle, int lastChildBottom, bool isRoot)
{
    if (selected)
    {
        const Gui::Rect title(17, 0, titleTextRight + 2, titleHeight - 1);
        Fill(m_palette[7], title);
        Outline(m_palette[10], title);
    }
    m_renderer->SetDrawColor(Gui::Color(0, 0, 0, 50));
    if (!isRoot)
        m_renderer->DrawFilledRect(Gui::Rect(9, toggleMiddle, 7, 1));
    if (open)
        m_renderer->DrawFilledRect(
            Gui::Rect(22, titleHeight, 1, toggleMiddle - titleHeight + lastChildBottom));
}

void BWSkin::DrawPropertyRow(Gui::Controls::Base* control, int labelWidth, bool beingEdited)
{
    const Gui::Rect r = control->GetRenderBounds();
    if (beingEdited)
        Fill(m_palette[11], Gui::Rect(0, r.y, labelWidth, r.h));
    m_renderer->SetDrawColor(m_palette[2]);
    m_renderer->DrawFilledRect(Gui::Rect(labelWidth, r.y, 1, r.h));
    m_renderer->DrawFilledRect(Gui::Rect(r.x, r.y + r.h - 1, r.w, 1));
}

void BWSkin::DrawPropertyTreeNode(Gui::Controls::Base* control, int innerPanelX, int innerPanelY)
{
    const Gui::Rect r = control->GetRenderBounds();
    m_renderer->SetDrawColor(m_palette[2]);
    m_renderer->DrawFilledRect(Gui::Rect(r.x, r.y, innerPanelX, r.h));
    m_renderer->DrawFilledRect(Gui::Rect(r.x + innerPanelX, r.y, r.w - innerPanelX, innerPanelY));
}

void BWSkin::DrawModalControl(Gui::Controls::Base* control)
{
    if (control->ShouldDrawBackground())
        Fill(m_palette[15], control->GetRenderBounds());
}

} // namespace Quarn
