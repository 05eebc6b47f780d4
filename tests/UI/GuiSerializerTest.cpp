#include "UI/GuiSerializer.h"
#include "Core/OutputHandler.h"
#include "UI/InspectorRows.h"
#include "support/CapturedErrors.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/PropertyTree.h"
#include "widgets/Controls/ResizableControl.h"
#include "widgets/Controls/TextBox.h"
#include "widgets/Utility.h"
#include "widgets/WidgetTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace Quarn
{
namespace
{

using Gui::Controls::Base;

// A small object as the inspector sees it: a transparent group around a "Transform" section of two
// values and a section of one value of each other kind.
struct Inspected
{
    std::int8_t letter = 'q';
    std::int8_t digit = '5';
    bool flag = true;
    std::uint8_t byte = 5;
    std::int32_t count = 3;
    std::string name = "ship";
    float speed = 1.5f;

    void Serialize(Serializer& s)
    {
        s.BeginGroup("unused;Archetype");
        s.BeginGroup("Transform");
        Value(s, "Count;How many", count);
        Value(s, "Speed", speed);
        s.EndGroup();
        s.BeginGroup("Other");
        Value(s, "Letter", letter);
        Value(s, "Digit", digit);
        Value(s, "Flag", flag);
        Value(s, "Byte", byte);
        Value(s, "Name", name);
        s.EndGroup();
        s.EndGroup();
    }
    template <class T> static void Value(Serializer& s, const char* name, T& value)
    {
        s.BeginGroup(name);
        s.Serialize(value);
        s.EndGroup();
    }
};

// The titles of the sections directly inside a node (or the tree).
std::vector<std::wstring> Sections(Base* node)
{
    std::vector<std::wstring> titles;
    for (Base* child : node->GetChildren())
        if (auto* section = dynamic_cast<Gui::Controls::PropertyTreeNode*>(child))
            titles.push_back(section->GetButton()->GetText());
    return titles;
}

class GuiSerializerTest : public Gui::test::CanvasTest<>
{
protected:
    GuiSerializerTest()
    {
        const auto walk = [this](Serializer& s)
        {
            if (!alive)
                return;
            s.BeginGroup("Object");
            object->Serialize(s);
            s.EndGroup();
        };
        inspector = std::make_unique<GuiSerializer>(canvas, walk);
        inspector->Expand();
        canvas->RenderCanvas();
    }

    Gui::Controls::TextBox* Box(const wchar_t* label) { return test::RowBox(inspector->Tree(), label); }
    // Text typed by the user: the box's text changes with its events.
    void Type(const wchar_t* label, const std::wstring& text) { Box(label)->SetText(text, true); }

    OutputHandler output{false};
    test::CapturedErrors errors;
    std::unique_ptr<Inspected> object = std::make_unique<Inspected>();
    bool alive = true;
    std::unique_ptr<GuiSerializer> inspector;
};

TEST_F(GuiSerializerTest, GroupsBecomeSectionsAndValuesRowsLabelledByTheirTags)
{
    EXPECT_EQ(Sections(inspector->Tree()), (std::vector<std::wstring>{L"Object"}));
    auto* objectNode = dynamic_cast<Gui::Controls::TreeNode*>(inspector->Tree()->GetChildren().front());
    ASSERT_NE(objectNode, nullptr);
    EXPECT_TRUE(objectNode->IsOpen());
    EXPECT_EQ(Sections(objectNode), (std::vector<std::wstring>{L"Transform", L"Other"}));
    for (const wchar_t* label : {L"Count", L"Speed", L"Letter", L"Digit", L"Flag", L"Byte", L"Name"})
        EXPECT_NE(Box(label), nullptr) << Gui::Utility::UnicodeToString(label);
    EXPECT_EQ(Box(L"Count")->GetText(), L"3");
    EXPECT_EQ(Box(L"Flag")->GetText(), L"1");
    EXPECT_EQ(Box(L"Digit")->GetText(), L"5");
    EXPECT_EQ(Box(L"Byte")->GetText(), L"5");
    // Showing wrote nothing back: the digit character is still the character.
    EXPECT_EQ(object->digit, '5');
    EXPECT_EQ(object->byte, 5);
    // An end without its begin is ignored; the tree stays at the bottom.
    inspector->EndGroup();
    inspector->EndGroup();
    EXPECT_EQ(errors.Count(), 0u);
}

TEST_F(GuiSerializerTest, EditsConvertIntoTheFieldOrAreRefused)
{
    const struct
    {
        const wchar_t* label;
        std::wstring text;
        std::function<bool(const Inspected&)> holds;
    } edits[] = {
        {L"Letter", L"7", [](const Inspected& o) { return o.letter == 7; }},
        {L"Letter", L"x", [](const Inspected& o) { return o.letter == 'x'; }},
        {L"Flag", L"0", [](const Inspected& o) { return !o.flag; }},
        {L"Count", L"abc", [](const Inspected& o) { return o.count == 3; }},
        {L"Count", L"-12", [](const Inspected& o) { return o.count == -12; }},
        {L"Byte", L"200", [](const Inspected& o) { return o.byte == 200; }},
        {L"Byte", L"300", [](const Inspected& o) { return o.byte == 200; }},
        {L"Speed", L"2.25", [](const Inspected& o) { return o.speed == 2.25f; }},
        {L"Name", L"h\u00e9", [](const Inspected& o) { return o.name == "h\xc3\xa9"; }},
    };
    for (const auto& edit : edits)
    {
        Type(edit.label, edit.text);
        EXPECT_TRUE(edit.holds(*object))
            << Gui::Utility::UnicodeToString(edit.label) << " " << Gui::Utility::UnicodeToString(edit.text);
    }
    EXPECT_EQ(errors.Count(), 0u);
    // An emptied row is reported and writes nothing.
    Type(L"Name", L"");
    EXPECT_EQ(object->name, "h\xc3\xa9");
    EXPECT_TRUE(errors.Any("Should not be empty!"));
}

TEST_F(GuiSerializerTest, ChangesShowWithinHalfASecondUnlessTheRowIsEdited)
{
    object->count = 9;
    object->speed = 4.0f;
    inspector->Update(0.3f);
    EXPECT_EQ(Box(L"Count")->GetText(), L"3");
    Box(L"Speed")->Focus();
    Box(L"Speed")->SetText(L"4.5", false);
    inspector->Update(0.3f);
    EXPECT_EQ(Box(L"Count")->GetText(), L"9");
    EXPECT_EQ(Box(L"Speed")->GetText(), L"4.5") << "being edited";
    EXPECT_EQ(object->count, 9);
}

TEST_F(GuiSerializerTest, AnObjectThatIsGoneIsNeitherShownNorWritten)
{
    object.reset();
    alive = false;
    inspector->Update(1.0f);
    Type(L"Count", L"12");
    EXPECT_EQ(Box(L"Count")->GetText(), L"12");
    inspector.reset();
}

// A row a script deleted (found through the tree, say) is skipped; the others go on.
TEST_F(GuiSerializerTest, ARowDeletedByAScriptIsSkippedAndTheOthersGoOn)
{
    Box(L"Count")->GetParent()->GetParent()->DelayedDelete();
    canvas->RenderCanvas();
    ASSERT_EQ(Box(L"Count"), nullptr);
    object->speed = 7.0f;
    inspector->Update(1.0f);
    EXPECT_EQ(Box(L"Speed")->GetText(), L"7");
    Type(L"Name", L"other");
    EXPECT_EQ(object->name, "other");
}

// Closing the inspector while one of its rows is the control Tab goes to next: the rows go with the next
// frame, which lays the canvas out again.
TEST_F(GuiSerializerTest, ClosingTheInspectorWhileARowIsTheNextTabStop)
{
    // A control laid out before the inspector has the focus: Tab goes from it into the inspector.
    auto* button = new Gui::Controls::Button(canvas);
    button->SetTabable(true);
    button->SetKeyboardInputEnabled(true);
    button->SendToBack();
    button->Focus();
    canvas->RenderCanvas();
    Base* next = canvas->NextTab.Get();
    while (next && next != inspector->Window())
        next = next->GetParent();
    ASSERT_NE(next, nullptr);
    inspector.reset();
    for (int frame = 0; frame < 2; ++frame)
    {
        button->Focus();
        EXPECT_TRUE(canvas->InputKey(Gui::Key::Tab, true));
        canvas->InputKey(Gui::Key::Tab, false);
        canvas->RenderCanvas();
    }
    EXPECT_EQ(canvas->NumChildren(), 1u);
}

// A game object as the inspector sees it: one group per component type, the fields of a component
// present inside a transparent group, nothing inside for a component absent.
struct Ship
{
    std::string name = "demoShip";
    bool hasScript = true;
    std::string script = "DemoShip";
    float x = 1.0f;

    void Serialize(Serializer& s)
    {
        Component(s, "Nameable", true, [&] { Value(s, "Name", name); });
        Component(s, "ScriptInfo", hasScript, [&] { Value(s, "Script", script); });
        Component(s, "Transform", true, [&] { Value(s, "X", x); });
    }
    template <class Fields>
    static void Component(Serializer& s, const char* type, bool present, Fields fields)
    {
        s.BeginGroup(type);
        if (present)
        {
            s.BeginGroup("unused");
            fields();
            s.EndGroup();
        }
        s.EndGroup();
    }
    template <class T> static void Value(Serializer& s, const char* name, T& value)
    {
        s.BeginGroup(name);
        s.Serialize(value);
        s.EndGroup();
    }
};

class GuiSerializerComponentsTest : public Gui::test::CanvasTest<>
{
protected:
    GuiSerializerComponentsTest()
        : inspector(canvas,
                    [this](Serializer& s)
                    {
                        s.BeginGroup("Object");
                        ship.Serialize(s);
                        s.EndGroup();
                    })
    {
        inspector.Expand();
        canvas->RenderCanvas();
    }

    Gui::Controls::TextBox* Box(const wchar_t* label) { return test::RowBox(inspector.Tree(), label); }

    OutputHandler output{false};
    test::CapturedErrors errors;
    Ship ship;
    GuiSerializer inspector;
};

// The rows after a removed component keep their own fields; the removed component's rows keep their
// last text and neither show nor write again, even when a component of that type comes back.
TEST_F(GuiSerializerComponentsTest, RowsStayWithTheirComponentsFieldsWhenAnotherComponentGoes)
{
    ship.hasScript = false;
    ship.name = "renamed";
    ship.x = 5.0f;
    inspector.Update(1.0f);
    EXPECT_EQ(Box(L"Name")->GetText(), L"renamed");
    EXPECT_EQ(Box(L"Script")->GetText(), L"DemoShip");
    EXPECT_EQ(Box(L"X")->GetText(), L"5");

    Box(L"Script")->SetText(L"Typed", true);
    EXPECT_EQ(ship.name, "renamed");
    EXPECT_EQ(ship.script, "DemoShip");
    Box(L"X")->SetText(L"6", true);
    EXPECT_EQ(ship.x, 6.0f);

    ship.hasScript = true;
    ship.script = "Another";
    inspector.Update(1.0f);
    EXPECT_EQ(Box(L"Script")->GetText(), L"Typed");
    Box(L"Script")->SetText(L"Again", true);
    EXPECT_EQ(ship.script, "Another");
    EXPECT_EQ(errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
