#include "UI/GuiHost.h"

#include "Script/LuaGameObjectHandleConvert.h"
#include "Script/LuaMethods.h"
#include "Script/LuaPrimitiveBind.h"
#include "Script/LuaState.h"
#include "UI/GuiSerializer.h"
#include "UI/WidgetLua.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/CheckBox.h"
#include "widgets/Controls/CheckBoxWithLabel.h"
#include "widgets/Controls/ImagePanel.h"
#include "widgets/Controls/LabelClickable.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/PropertyTree.h"
#include "widgets/Controls/Slider.h"
#include "widgets/Controls/WindowControl.h"

#include <utility>

// The scripts' face of the UI host: the global "gui" with the host's functions, "Pos" and "OR".

namespace Quarn
{

namespace
{

GuiHost* Host()
{
    return GuiHost::Current();
}

// Adds a plain function (called with a dot) to gui's table; a control argument whose control is gone
// makes the call do nothing.
template <class F> void AddFunction(lua_State* state, const char* name, F function)
{
    GuiHost::GetLuaBind().PushMethodTable(state);
    lua_pushstring(state, name);
    PushWidgetFunction(state, function);
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

// "Create" and "ConvertTo" with the class's name: a new control of the class under the parent, and the
// same control typed as the class (nil when it is not one).
template <class T> void AddClass(lua_State* state, const char* name)
{
    AddFunction(
        state, (std::string("Create") + name).c_str(),
        +[](Gui::Controls::Base* parent)
        {
            auto* control = new T(parent);
            // Nothing owns a control without a parent: the host deletes it at the end.
            if (!parent && Host())
                Host()->AdoptOrphan(control);
            return control;
        });
    AddFunction(
        state, (std::string("ConvertTo") + name).c_str(),
        +[](Gui::Controls::Base* control) { return dynamic_cast<T*>(control); });
}

void SetCanvas(GuiHost& host, Gui::Controls::Base* control)
{
    // Only a canvas can be the active one.
    if (auto* canvas = dynamic_cast<Gui::Controls::Canvas*>(control))
        host.SetCanvas(canvas);
}

GuiSerializer* Tweak(GuiHost& host, const GameObjectHandle& object,
                     WidgetArgument<Gui::Controls::Base> parent)
{
    return parent.Gone() ? nullptr : host.Tweak(object, parent.object);
}

void RegisterGuiMethods(lua_State* state)
{
    using namespace Gui::Controls;
    LuaMethods<GuiHost>(state, LuaMethod<&GuiHost::GetSkin>("GetSkin"),
                        LuaMethod<&GuiHost::GetCanvas>("GetCanvas"), LuaMethod<&SetCanvas>("SetCanvas"));
    AddFunction(
        state, "CreateCanvas",
        +[](Gui::Skin::Base* skin) -> Canvas* { return Host() ? Host()->CreateCanvas(skin) : nullptr; });
    LuaMethods<GuiHost>(state, LuaMethod<&GuiHost::HideCanvas>("HideCanvas"), LuaMethod<&Tweak>("Tweak"),
                        LuaMethod<&GuiHost::StopTweak>("StopTweak"));
    AddClass<WindowControl>(state, "WindowControl");
    AddClass<HorizontalSlider>(state, "HorizontalSlider");
    AddClass<Button>(state, "Button");
    AddClass<ListBox>(state, "ListBox");
    AddClass<Label>(state, "Label");
    AddClass<CheckBox>(state, "CheckBox");
    AddClass<CheckBoxWithLabel>(state, "CheckBoxWithLabel");
    AddClass<LabelClickable>(state, "LabelClickable");
    AddClass<TreeNode>(state, "TreeNode");
    AddClass<PropertyTreeNode>(state, "PropertyTreeNode");
    AddClass<TreeControl>(state, "TreeControl");
    AddClass<PropertyTree>(state, "PropertyTree");
    AddClass<Properties>(state, "Properties");
    AddClass<PropertyRow>(state, "PropertyRow");
    AddClass<PanelListPanel>(state, "PanelListPanel");
    AddClass<ImagePanel>(state, "ImagePanel");
    AddFunction(
        state, "CreateColor", +[] { return Gui::Color(255, 255, 255, 255); });
    AddFunction(
        state, "CreateFont", +[]() -> Gui::Font* { return Host() ? Host()->CreateFont() : nullptr; });
    AddFunction(state, "SetHoveredControl", &GuiHost::SetHoveredControl);
    AddFunction(state, "GetHoveredControl", &GuiHost::GetHoveredControl);
    AddFunction(state, "Left", &GuiHost::Left);
    AddFunction(state, "Right", &GuiHost::Right);
    AddFunction(state, "PrevRow", &GuiHost::PrevRow);
    AddFunction(state, "NextRow", &GuiHost::NextRow);
    AddFunction(state, "Press", &GuiHost::Press);
    AddFunction(
        state, "Keyboard",
        +[](unsigned char key, unsigned char scan)
        { return Host() && Host()->Bridge().KeyPressed(key, scan); });
    AddFunction(
        state, "KeyboardUp",
        +[](unsigned char key, unsigned char scan)
        { return Host() && Host()->Bridge().KeyReleased(key, scan); });
}

void RegisterInspectorMethods(lua_State* state)
{
    WidgetMethods<GuiSerializer>(state, &GuiSerializer::Expand, "Expand");
}

} // namespace

template <> WidgetBind& BindOf<GuiSerializer>()
{
    static WidgetBind bind(&RegisterInspectorMethods, WidgetKind::Inspector, "GuiSerializer");
    return bind;
}

LuaPrimitiveBind& GuiHost::GetLuaBind()
{
    static LuaPrimitiveBind bind(typeid(GuiHost), &RegisterGuiMethods);
    return bind;
}

void GuiHost::PublishScriptGlobals()
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    // The host belongs to Graphics: the script object only points at it and frees nothing.
    *GetLuaBind().PushValueBlock(state) = this;
    lua_setfield(state, LUA_GLOBALSINDEX, "gui");
    constexpr std::pair<const char*, int> kPos[] = {
        {"None", Gui::Pos::None},       {"Left", Gui::Pos::Left},     {"Right", Gui::Pos::Right},
        {"Top", Gui::Pos::Top},         {"Bottom", Gui::Pos::Bottom}, {"CenterV", Gui::Pos::CenterV},
        {"CenterH", Gui::Pos::CenterH}, {"Fill", Gui::Pos::Fill},     {"Center", Gui::Pos::Center},
    };
    lua_newtable(state);
    for (const auto& [name, value] : kPos)
    {
        lua_pushinteger(state, value);
        lua_setfield(state, -2, name);
    }
    lua_setfield(state, LUA_GLOBALSINDEX, "Pos");
    LuaPushFunction(
        state, +[](int a, int b) { return a | b; });
    lua_setfield(state, LUA_GLOBALSINDEX, "OR");
}

} // namespace Quarn
