#include "widgets/Controls/TextBox.h"

#include "widgets/Input.h"
#include "widgets/Platform.h"
#include "widgets/Renderer.h"
#include "widgets/Skin.h"

#include <algorithm>
#include <cmath>

namespace Gui::Controls
{

TextBox::TextBox(Base* parent) : Label(parent)
{
    SetSize(200, 20);
    SetMouseInputEnabled(true);
    SetKeyboardInputEnabled(true);
    SetAlignment(Pos::Left | Pos::CenterV);
    SetTextPadding(Padding(4, 2, 4, 2));
    SetTextColor(Color(50, 50, 50, 255));
    SetTabable(true);
    AddAccelerator(L"Ctrl + c", &TextBox::Copy);
    AddAccelerator(L"Ctrl + x", &TextBox::Cut);
    AddAccelerator(L"Ctrl + v", &TextBox::Paste);
    AddAccelerator(L"Ctrl + a", &TextBox::SelectAll);
}

void TextBox::SetText(const std::wstring& text, bool doEvents)
{
    const Ref<Base> alive(this);
    Label::SetText(text, doEvents);
    if (alive)
        ClampCursor();
}

void TextBox::ClampCursor()
{
    m_cursorPos = std::min(m_cursorPos, TextLength());
    m_cursorEnd = std::min(m_cursorEnd, TextLength());
}

void TextBox::InsertText(const std::wstring& text)
{
    if (!m_text)
        return;
    // Each text change runs its handlers, which may delete the box or its text.
    const Ref<Base> alive(this);
    if (HasSelection())
        EraseSelection();
    if (!alive || !m_text)
        return;
    m_cursorPos = std::min(m_cursorPos, TextLength());
    if (!IsTextAllowed(text, m_cursorPos))
        return;
    std::wstring updated = GetText();
    updated.insert(static_cast<std::size_t>(m_cursorPos), text);
    SetText(updated);
    if (!alive)
        return;
    m_cursorPos = std::min(m_cursorPos + static_cast<int>(text.size()), TextLength());
    m_cursorEnd = m_cursorPos;
    RefreshCursorBounds();
}

void TextBox::DeleteText(int start, int length)
{
    if (!m_text)
        return;
    std::wstring updated = GetText();
    start = std::clamp(start, 0, static_cast<int>(updated.size()));
    length = std::clamp(length, 0, static_cast<int>(updated.size()) - start);
    updated.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    // The caret moves back from where it was: the new text has already clamped it to its length.
    const int before = m_cursorPos;
    const Ref<Base> alive(this);
    SetText(updated);
    if (!alive)
        return;
    if (start < before)
        SetCursorPos(before - length);
    SetCursorEnd(m_cursorPos);
}

void TextBox::EraseSelection()
{
    const int start = std::min(m_cursorPos, m_cursorEnd);
    const int end = std::max(m_cursorPos, m_cursorEnd);
    DeleteText(start, end - start);
}

std::wstring TextBox::GetSelection()
{
    if (!HasSelection())
        return std::wstring();
    // Within the text there is now (a deleted text leaves none).
    const std::wstring& text = TextReference();
    const auto start = std::min(static_cast<std::size_t>(std::min(m_cursorPos, m_cursorEnd)), text.size());
    const auto end = std::min(static_cast<std::size_t>(std::max(m_cursorPos, m_cursorEnd)), text.size());
    return text.substr(start, end - start);
}

void TextBox::SetCursorPos(int position)
{
    if (m_cursorPos == position)
        return;
    m_cursorPos = position;
    RefreshCursorBounds();
}

void TextBox::SetCursorEnd(int position)
{
    if (m_cursorEnd == position)
        return;
    m_cursorEnd = position;
    RefreshCursorBounds();
}

void TextBox::SetSelectAllOnFocus(bool selectAll)
{
    m_selectAllOnFocus = selectAll;
    if (selectAll)
        OnSelectAll();
}

void TextBox::OnTextChanged()
{
    ClampCursor();
    onTextChanged.Call(this);
}

bool TextBox::OnChar(wchar_t character)
{
    if (character == L'\t')
        return false;
    InsertText(std::wstring(1, character));
    return true;
}

void TextBox::OnPaste()
{
    InsertText(Platform::GetClipboardText());
}

void TextBox::OnCopy()
{
    if (HasSelection())
        Platform::SetClipboardText(GetSelection());
}

void TextBox::OnCut()
{
    if (!HasSelection())
        return;
    Platform::SetClipboardText(GetSelection());
    EraseSelection();
}

void TextBox::OnSelectAll()
{
    m_cursorEnd = 0;
    m_cursorPos = TextLength();
    RefreshCursorBounds();
}

bool TextBox::OnKeyReturn(bool down)
{
    if (!down)
    {
        const Ref<Base> alive(this);
        OnEnter();
        if (!alive)
            return true;
        OnKeyTab(true);
        if (HasFocus())
            Blur();
    }
    return true;
}

bool TextBox::OnKeyBackspace(bool down)
{
    if (!down)
        return true;
    if (HasSelection())
        EraseSelection();
    else if (m_cursorPos > 0)
        DeleteText(m_cursorPos - 1, 1);
    return true;
}

bool TextBox::OnKeyDelete(bool down)
{
    if (!down)
        return true;
    if (HasSelection())
        EraseSelection();
    else if (m_cursorPos < TextLength())
        DeleteText(m_cursorPos, 1);
    return true;
}

bool TextBox::MoveCaret(bool down, int position)
{
    if (!down)
        return true;
    m_cursorPos = position;
    if (!Input::IsShiftDown())
        m_cursorEnd = m_cursorPos;
    RefreshCursorBounds();
    return true;
}

bool TextBox::OnKeyLeft(bool down)
{
    return MoveCaret(down, m_cursorPos > 0 ? m_cursorPos - 1 : m_cursorPos);
}

bool TextBox::OnKeyRight(bool down)
{
    return MoveCaret(down, m_cursorPos < TextLength() ? m_cursorPos + 1 : m_cursorPos);
}

bool TextBox::OnKeyHome(bool down)
{
    return MoveCaret(down, 0);
}

bool TextBox::OnKeyEnd(bool down)
{
    return MoveCaret(down, TextLength());
}

int TextBox::ClosestCharacter(int x, int y)
{
    const Point local = m_text->CanvasPosToLocal(Point(x, y));
    return m_text->GetClosestCharacter(local.x, local.y);
}

void TextBox::OnMouseClickLeft(int x, int y, bool down)
{
    if (!m_text)
        return;
    if (m_selectAllOnFocus)
    {
        OnSelectAll();
        m_selectAllOnFocus = false;
        return;
    }
    const int character = ClosestCharacter(x, y);
    if (down)
    {
        SetCursorPos(character);
        if (!Input::IsShiftDown())
            SetCursorEnd(character);
        MouseFocus = this;
    }
    else if (MouseFocus == this)
    {
        SetCursorPos(character);
        MouseFocus = nullptr;
    }
}

void TextBox::OnMouseMoved(int x, int y, int /*dx*/, int /*dy*/)
{
    if (MouseFocus == this && m_text)
        SetCursorPos(ClosestCharacter(x, y));
}

void TextBox::OnMouseDoubleClickLeft(int /*x*/, int /*y*/)
{
    OnSelectAll();
}

void TextBox::RefreshCursorBounds()
{
    if (!m_text)
        return;
    MakeCaretVisible();
    const Point a = GetCharacterPosition(m_cursorPos);
    const Point b = GetCharacterPosition(m_cursorEnd);
    m_caretBounds.x = std::min(a.x, b.x);
    m_caretBounds.y = m_text->Y() - 1;
    m_caretBounds.w = std::max(a.x, b.x) - m_caretBounds.x;
    m_caretBounds.h = m_text->Height() + 2;
    if (m_cursorPos == m_cursorEnd)
        m_caretBounds.w = 1;
    Redraw();
}

void TextBox::MakeCaretVisible()
{
    if (!m_text)
        return;
    const int width = Width();
    const int cursorX = m_text->GetCharacterPosition(m_cursorPos).x;
    const int caret = cursorX + m_text->X();
    if (caret > static_cast<double>(0.1f) * width && caret < static_cast<double>(0.9f) * width)
        return;
    int x = static_cast<int>(std::trunc(-cursorX + width * 0.5));
    if (m_text->Width() + x < width - m_textPadding.right)
        x = width - m_textPadding.right - m_text->Width();
    if (x > m_textPadding.left)
        x = m_textPadding.left;
    m_text->SetPos(x, m_text->Y());
}

void TextBox::Layout(Skin::Base* skin)
{
    Label::Layout(skin);
    RefreshCursorBounds();
}

void TextBox::Render(Skin::Base* skin)
{
    if (ShouldDrawBackground())
        skin->DrawTextBox(this);
    if (!HasFocus())
        return;
    Renderer::Base* render = skin->GetRender();
    render->SetDrawColor(m_caretBounds.w == 1 ? Color(0, 0, 0, 200) : Color(50, 150, 255, 250));
    render->DrawFilledRect(m_caretBounds);
}

} // namespace Gui::Controls
