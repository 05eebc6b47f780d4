#include "WidgetTest.h"

#include "widgets/Controls/TextBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace Gui::test
{
namespace
{

using namespace Controls;

class TextBoxTest : public test::CanvasTest<>
{
protected:
    TextBoxTest()
    {
        box = new TextBox(canvas);
        box->SetBounds(0, 0, 200, 20);
        box->onTextChanged.Add(&changes, &EventCounter::Count);
        box->Focus();
    }

    void Key(int key, bool withShift = false)
    {
        if (withShift)
            canvas->InputKey(Gui::Key::Shift, true);
        canvas->InputKey(key, true);
        canvas->InputKey(key, false);
        if (withShift)
            canvas->InputKey(Gui::Key::Shift, false);
    }

    void Ctrl(wchar_t character)
    {
        canvas->InputKey(Gui::Key::Control, true);
        canvas->InputCharacter(character);
        canvas->InputKey(Gui::Key::Control, false);
    }

    EventCounter changes;
    TextBox* box = nullptr;
};

TEST_F(TextBoxTest, EditingKeysAndTheClipboardChangeTheTextAndTheSelection)
{
    const struct
    {
        const char* name;
        std::wstring text;
        int position, end;
        std::function<void()> action;
        std::wstring expected;
        int expectedPosition, expectedEnd, events;
    } cases[] = {
        {"typing over a selection", L"hello", 1, 4, [this] { canvas->InputCharacter(L'X'); }, L"hXo", 2, 2,
         2},
        {"backspace at the start", L"abc", 0, 0, [this] { Key(Gui::Key::Backspace); }, L"abc", 0, 0, 0},
        {"backspace inside", L"abc", 2, 2, [this] { Key(Gui::Key::Backspace); }, L"ac", 1, 1, 1},
        {"delete at the end", L"abc", 3, 3, [this] { Key(Gui::Key::Delete); }, L"abc", 3, 3, 0},
        {"delete a selection", L"abcd", 3, 1, [this] { Key(Gui::Key::Delete); }, L"ad", 1, 1, 1},
        {"shift and left select one", L"abc", 3, 3, [this] { Key(Gui::Key::Left, true); }, L"abc", 2, 3, 0},
        {"home", L"abc", 2, 2, [this] { Key(Gui::Key::Home); }, L"abc", 0, 0, 0},
        {"shift and end", L"abc", 1, 1, [this] { Key(Gui::Key::End, true); }, L"abc", 3, 1, 0},
        {"select all", L"abc", 1, 1, [this] { Ctrl(L'a'); }, L"abc", 3, 0, 0},
        {"copy", L"abc", 0, 2, [this] { Ctrl(L'c'); }, L"abc", 0, 2, 0},
        {"cut", L"abc", 0, 2, [this] { Ctrl(L'x'); }, L"c", 0, 0, 1},
        {"cut with nothing selected", L"abc", 1, 1, [this] { Ctrl(L'x'); }, L"abc", 1, 1, 0},
        {"paste", L"abc", 3, 3, [this] { Ctrl(L'v'); }, L"abcZ", 4, 4, 1},
        {"a tab is refused", L"abc", 1, 1, [this] { EXPECT_FALSE(box->OnChar(L'\t')); }, L"abc", 1, 1, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        host.clipboard = L"Z";
        box->SetText(c.text, false);
        box->SetCursorPos(c.position);
        box->SetCursorEnd(c.end);
        changes.count = 0;
        c.action();
        EXPECT_EQ(box->GetText(), c.expected);
        EXPECT_EQ(box->CursorPosition(), c.expectedPosition);
        EXPECT_EQ(box->CursorEnd(), c.expectedEnd);
        EXPECT_EQ(changes.count, c.events);
    }
    // The copy and the cut took the first two characters; the cut without a selection left them.
    EXPECT_EQ(host.clipboard, L"Z");
    box->SetText(L"abc", false);
    box->SetCursorPos(0);
    box->SetCursorEnd(2);
    Ctrl(L'c');
    EXPECT_EQ(host.clipboard, L"ab");
    // Text set without events still keeps the caret inside it.
    box->SetCursorPos(3);
    box->SetText(L"a", false);
    EXPECT_EQ(box->CursorPosition(), 1);
    EXPECT_EQ(box->CursorEnd(), 1);
}

TEST_F(TextBoxTest, ReturnFiresOnReleaseAndMovesTheFocusOn)
{
    EventCounter returns;
    box->onReturnPressed.Add(&returns, &EventCounter::Count);
    auto* next = new TextBox(canvas);
    next->SetPos(0, 50);
    canvas->RenderCanvas();
    canvas->InputKey(Gui::Key::Return, true);
    EXPECT_EQ(returns.count, 0);
    EXPECT_TRUE(box->HasFocus());
    canvas->InputKey(Gui::Key::Return, false);
    EXPECT_EQ(returns.count, 1);
    EXPECT_TRUE(next->HasFocus());
}

TEST_F(TextBoxTest, TheFirstClickSelectsAllOnceThenClicksPlaceTheCaret)
{
    box->SetText(L"abcdef");
    canvas->RenderCanvas();
    box->SetSelectAllOnFocus(true);
    Click(12, 10);
    EXPECT_EQ(box->GetSelection(), L"abcdef");
    AdvanceClock(1.0);
    // Characters are 5 wide from x 4 (the text padding): x 15 is between "b" and "c".
    Click(15, 10);
    EXPECT_EQ(box->CursorPosition(), 2);
    EXPECT_FALSE(box->HasSelection());
    // Dragging selects.
    AdvanceClock(1.0);
    MoveTo(10, 10);
    canvas->InputMouseButton(0, true);
    MoveTo(25, 10);
    canvas->InputMouseButton(0, false);
    EXPECT_EQ(box->GetSelection(), L"bcd");
}

TEST_F(TextBoxTest, TheTextScrollsOnlyWhenTheCaretReachesTheOuterTenth)
{
    box->SetWidth(100);
    box->SetText(std::wstring(40, L'm'));
    canvas->RenderCanvas();
    canvas->RenderCanvas();
    const struct
    {
        int rightSteps;
        int textX;
    } cases[] = {{0, 4}, {17, 4}, {18, -40}, {40, -104}};
    for (const auto& c : cases)
    {
        Key(Gui::Key::Home);
        for (int i = 0; i < c.rightSteps; ++i)
            Key(Gui::Key::Right);
        EXPECT_EQ(box->TextX(), c.textX) << c.rightSteps;
    }
}

} // namespace
} // namespace Gui::test
