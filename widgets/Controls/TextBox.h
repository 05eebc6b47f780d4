#pragma once

#include "widgets/Controls/Label.h"

#include <string>

namespace Gui::Controls
{

// A single line of editable text: a caret, a selection (between the cursor position and the cursor end,
// in either order), keyboard editing, mouse selection and the clipboard. Positions count characters,
// 0 to the text length.
class TextBox : public Label
{
public:
    explicit TextBox(Base* parent);

    virtual void InsertText(const std::wstring& text);
    virtual void DeleteText(int start, int length);
    virtual void RefreshCursorBounds();
    virtual void EraseSelection();
    virtual bool HasSelection() { return m_cursorPos != m_cursorEnd; }
    virtual std::wstring GetSelection();
    virtual void SetCursorPos(int position);
    virtual void SetCursorEnd(int position);
    // The next click selects everything instead of placing the caret.
    virtual void SetSelectAllOnFocus(bool selectAll);
    // Scrolls the text so that the caret is not in the outer tenth of the box on either side.
    virtual void MakeCaretVisible();
    virtual void OnEnter() { onReturnPressed.Call(this); }
    // A filter for subclasses: whether the text may go in at the position.
    virtual bool IsTextAllowed(const std::wstring& /*text*/, int /*position*/) { return true; }

    // Without events too, the caret and the selection stay inside the new text.
    using Label::SetText;
    void SetText(const std::wstring& text, bool doEvents = true) override;

    void Render(Skin::Base* skin) override;
    void RenderFocus(Skin::Base* /*skin*/) override {}
    void OnMouseMoved(int x, int y, int dx, int dy) override;
    void OnMouseClickLeft(int x, int y, bool down) override;
    void OnMouseDoubleClickLeft(int x, int y) override;
    bool NeedsInputChars() override { return true; }
    bool OnChar(wchar_t character) override;
    void OnPaste() override;
    void OnCopy() override;
    void OnCut() override;
    void OnSelectAll() override;
    bool OnKeyReturn(bool down) override;
    bool OnKeyBackspace(bool down) override;
    bool OnKeyDelete(bool down) override;
    bool OnKeyRight(bool down) override;
    bool OnKeyLeft(bool down) override;
    bool OnKeyHome(bool down) override;
    bool OnKeyEnd(bool down) override;
    bool AccelOnlyFocus() override { return true; }
    void Layout(Skin::Base* skin) override;
    void OnTextChanged() override;

    int CursorPosition() const { return m_cursorPos; }
    int CursorEnd() const { return m_cursorEnd; }
    const Rect& CaretBounds() const { return m_caretBounds; }

    Event::Caller onTextChanged;
    Event::Caller onReturnPressed;

private:
    void Copy(Base*) { OnCopy(); }
    void Cut(Base*) { OnCut(); }
    void Paste(Base*) { OnPaste(); }
    void SelectAll(Base*) { OnSelectAll(); }
    // The character index nearest a canvas point (the text must be there).
    int ClosestCharacter(int x, int y);
    // Moves the caret by a key; the selection's other end follows unless Shift is held.
    bool MoveCaret(bool down, int position);
    void ClampCursor();

    Rect m_caretBounds;
    bool m_selectAllOnFocus = false;
    int m_cursorPos = 0;
    int m_cursorEnd = 0;
};

} // namespace Gui::Controls
