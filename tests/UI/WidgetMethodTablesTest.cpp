#include "Script/LuaTestState.h"
#include "UI/GuiHost.h"
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
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Slider.h"
#include "widgets/Controls/Table.h"
#include "widgets/Controls/WindowControl.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

using Names = std::vector<std::string>;

// The script API's names, class by class: each class's own, then those of its bases.
const Names kBase = {"DelayedDelete",
                     "SetParent",
                     "GetParent",
                     "GetCanvas",
                     "IsChild",
                     "NumChildren",
                     "SizeToChildren",
                     "FindChildByName",
                     "SetName",
                     "GetName",
                     "Think",
                     "RemoveAllChildren",
                     "SendToBack",
                     "BringToFront",
                     "BringNextToControl",
                     "Dock",
                     "GetDock",
                     "RestrictToParent",
                     "ShouldRestrictToParent",
                     "X",
                     "Y",
                     "Width",
                     "Height",
                     "Bottom",
                     "Right",
                     "GetMargin",
                     "GetPadding",
                     "SetPos",
                     "SetWidth",
                     "SetHeight",
                     "SetSize",
                     "SetBounds",
                     "SetPadding",
                     "SetMargin",
                     "MoveTo",
                     "MoveBy",
                     "GetControlAt",
                     "SetHidden",
                     "Hidden",
                     "Visible",
                     "Hide",
                     "Show",
                     "ShouldDrawBackground",
                     "SetShouldDrawBackground",
                     "OnMouseMoved",
                     "OnMouseWheeled",
                     "OnMouseClickLeft",
                     "OnMouseClickRight",
                     "OnMouseDoubleClickLeft",
                     "OnMouseDoubleClickRight",
                     "OnLostKeyboardFocus",
                     "OnKeyboardFocus",
                     "SetMouseInputEnabled",
                     "GetMouseInputEnabled",
                     "SetKeyboardInputEnabled",
                     "GetKeyboardInputEnabled",
                     "NeedsInputChars",
                     "OnKeyPress",
                     "OnKeyRelease",
                     "OnPaste",
                     "OnCopy",
                     "OnCut",
                     "OnSelectAll",
                     "OnKeyTab",
                     "OnKeySpace",
                     "OnKeyReturn",
                     "OnKeyBackspace",
                     "OnKeyDelete",
                     "OnKeyRight",
                     "OnKeyLeft",
                     "OnKeyHome",
                     "OnKeyEnd",
                     "OnKeyUp",
                     "OnKeyDown",
                     "OnKeyEscape",
                     "OnMouseEnter",
                     "OnMouseLeave",
                     "IsHovered",
                     "ShouldDrawHover",
                     "Touch",
                     "OnChildTouched",
                     "IsOnTop",
                     "HasFocus",
                     "Focus",
                     "Blur",
                     "SetDisabled",
                     "IsDisabled",
                     "Redraw",
                     "SetCacheToTexture",
                     "ShouldCacheToTexture",
                     "SetCursor",
                     "UpdateCursor",
                     "GetToolTip",
                     "IsMenuComponent",
                     "CloseMenus",
                     "IsTabable",
                     "SetTabable",
                     "DefaultAccel",
                     "AcceleratePressed",
                     "AccelOnlyFocus",
                     "NeedsLayout",
                     "Invalidate",
                     "InvalidateParent",
                     "InvalidateChildren",
                     "GetUserData",
                     "SetUserData",
                     "Anim_WidthIn",
                     "Anim_HeightIn",
                     "Anim_WidthOut",
                     "Anim_HeightOut",
                     "OnHoverEnter",
                     "OnHoverLeave"};
const Names kCanvas = {"Initialize",
                       "RenderCanvas",
                       "DoThink",
                       "NeedsRedraw",
                       "Redraw",
                       "GetCanvas",
                       "SetScale",
                       "Scale",
                       "Release",
                       "AddDelayedDelete",
                       "ProcessDelayedDeletes",
                       "InputMouseMoved",
                       "InputMouseButton",
                       "InputKey",
                       "InputCharacter",
                       "InputMouseWheel"};
const Names kWindowControl = {
    "SetTitle",           "SetClosable",      "Touch",     "IsOnTop",          "SetHidden",
    "CloseButtonPressed", "SetDeleteOnClose", "MakeModal", "SetClampMovement", "GetClampMovement",
    "DisableResizing",    "SetBounds",        "OnResize"};
const Names kSlider = {"OnValueChanged", "SetClampToNotches", "SetNotchCount", "GetNotchCount",
                       "SetRange",       "GetValue",          "SetValue"};
const Names kButton = {"OnMouseClickLeft",
                       "OnMouseDoubleClickLeft",
                       "OnKeySpace",
                       "Press",
                       "AcceleratePressed",
                       "IsDepressed",
                       "SetIsToggle",
                       "IsToggle",
                       "GetToggleState",
                       "SetToggleState",
                       "Toggle",
                       "ReceiveEventPress",
                       "SizeToContents",
                       "OnPress",
                       "OnDown",
                       "OnUp",
                       "OnDoubleClick",
                       "OnToggle",
                       "OnToggleOn",
                       "OnToggleOff"};
const Names kListBox = {
    "OnRowSelected",       "GetSelectedRows",  "AddItem",        "UnselectAll", "SetColumnCount",
    "SetAllowMultiSelect", "AllowMultiSelect", "GetSelectedRow", "Scroller",    "Clear"};
const Names kLabel = {"SetText",    "GetText",      "SizeToContents", "SetAlignment", "SetFont",
                      "GetFont",    "SetTextColor", "TextColor",      "TextWidth",    "TextRight",
                      "TextHeight", "TextX",        "TextY",          "TextLength",   "Alignment"};
const Names kCheckBox = {"OnChecked",  "OnUnChecked", "OnCheckChanged", "OnPress",
                         "SetChecked", "Toggle",      "IsChecked"};
const Names kCheckBoxWithLabel = {"Checkbox", "Label"};
const Names kTreeNode = {"Open",           "Close",          "ExpandAll",  "GetButton",   "SetRoot",
                         "SetTreeControl", "SetSelectable",  "IsSelected", "SetSelected", "DeselectAll",
                         "OnNamePress",    "OnSelectChange", "OnSelect",   "OnUnselect"};
const Names kTreeControl = {"Clear", "AllowMultiSelect", "OnNodeAdded"};
const Names kPropertyTree = {"Add"};
const Names kProperties = {"Add", "AddWithValue", "AddWithProperty", "GetSplitWidth", "Clear"};
const Names kPropertyRow = {"GetLabel", "SetProperty", "GetProperty"};
const Names kPanelListPanel = {
    "DoHorizontalLayout", "DoVerticalLayout",  "IsVerticalLayout",  "IsHorizontalLayout", "SetVertical",
    "SetHorizontal",      "SetSizeToChildren", "SetControlSpacing", "SetLineSpacing",     "SetWrapping"};
const Names kImagePanel = {"SetUV", "SetImage", "GetImageName", "SizeToContents", "SetDrawColor"};
const Names kListBoxRow = {"SetColumnCount", "SetColumnWidth", "GetCellContents", "SizeToContents",
                           "SetTextColor",   "GetText",        "SetSelected"};
const Names kScrollControl = {
    "SetScroll",        "SetAutoHideBars",    "CanScrollH",         "CanScrollV",
    "UpdateScrollBars", "SetVScrollRequired", "SetHScrollRequired", "SetInnerSize",
    "VBarMoved",        "HBarMoved",          "OnMouseWheeled",     "ScrollToBottom",
    "ScrollToTop",      "ScrollToLeft",       "ScrollToRight",      "Clear"};
const Names kProperty = {"SetPropertyValue", "GetPropertyValueAnsi",  "GetPropertyValue", "IsEditing",
                         "DoChanged",        "OnPropertyValueChanged"};
const Names kFont = {"GetFaceName", "SetFaceName",   "GetSize",       "SetSize",     "GetBold",
                     "SetBold",     "GetDropShadow", "SetDropShadow", "GetRealSize", "SetRealSize"};
const Names kCaller = {"Add", "Call", "RemoveHandler"};
const Names kHandler = {"RegisterCaller", "UnRegisterCaller"};
const Names kInspector = {"Expand"};
const Names kCreatable = {
    "WindowControl", "HorizontalSlider",  "Button",         "ListBox",     "Label",
    "CheckBox",      "CheckBoxWithLabel", "LabelClickable", "TreeNode",    "PropertyTreeNode",
    "TreeControl",   "PropertyTree",      "Properties",     "PropertyRow", "PanelListPanel",
    "ImagePanel"};
const Names kGui = {
    "GetSkin",     "GetCanvas",  "SetCanvas",         "CreateCanvas",      "HideCanvas", "Tweak", "StopTweak",
    "CreateColor", "CreateFont", "SetHoveredControl", "GetHoveredControl", "Left",       "Right", "PrevRow",
    "NextRow",     "Press",      "Keyboard",          "KeyboardUp"};

// The keys of the method table of a binding.
std::set<std::string> MethodNames(LuaBindBase& bind)
{
    lua_State* state = CurrentLuaState();
    std::set<std::string> names;
    bind.PushMethodTable(state);
    for (lua_pushnil(state); lua_next(state, -2); lua_pop(state, 1))
        names.insert(lua_tostring(state, -2));
    lua_pop(state, 1);
    return names;
}

std::set<std::string> Union(std::initializer_list<const Names*> lists)
{
    std::set<std::string> names;
    for (const Names* list : lists)
        names.insert(list->begin(), list->end());
    return names;
}

TEST(WidgetMethodTables, EveryBoundClassHasTheNamesOfItsOwnTableThenItsBases)
{
    using namespace Gui::Controls;
    test::LuaTestState lua;
    const struct
    {
        const char* name;
        LuaBindBase& bind;
        std::set<std::string> names;
    } classes[] = {
        {"Base", BindOf<Base>(), Union({&kBase})},
        {"Canvas", BindOf<Canvas>(), Union({&kCanvas, &kBase})},
        {"WindowControl", BindOf<WindowControl>(), Union({&kWindowControl, &kBase})},
        {"Slider", BindOf<HorizontalSlider>(), Union({&kSlider, &kBase})},
        {"Button", BindOf<Button>(), Union({&kButton, &kLabel, &kBase})},
        {"ListBox", BindOf<ListBox>(), Union({&kListBox, &kBase})},
        {"Label", BindOf<Label>(), Union({&kLabel, &kBase})},
        {"CheckBox", BindOf<CheckBox>(), Union({&kCheckBox, &kButton, &kLabel, &kBase})},
        {"CheckBoxWithLabel", BindOf<CheckBoxWithLabel>(), Union({&kCheckBoxWithLabel, &kBase})},
        {"LabelClickable", BindOf<LabelClickable>(), Union({&kButton, &kLabel, &kBase})},
        {"TreeNode", BindOf<TreeNode>(), Union({&kTreeNode, &kBase})},
        {"PropertyTreeNode", BindOf<PropertyTreeNode>(), Union({&kTreeNode, &kBase})},
        {"TreeControl", BindOf<TreeControl>(), Union({&kTreeControl, &kTreeNode, &kBase})},
        {"PropertyTree", BindOf<PropertyTree>(), Union({&kPropertyTree, &kTreeControl, &kTreeNode, &kBase})},
        {"Properties", BindOf<Properties>(), Union({&kProperties, &kBase})},
        {"PropertyRow", BindOf<PropertyRow>(), Union({&kPropertyRow, &kBase})},
        {"PanelListPanel", BindOf<PanelListPanel>(), Union({&kPanelListPanel, &kBase})},
        {"ImagePanel", BindOf<ImagePanel>(), Union({&kImagePanel, &kBase})},
        {"ListBoxRow", BindOf<::ListBoxRow>(), Union({&kListBoxRow})},
        {"ScrollControl", BindOf<ScrollControl>(), Union({&kScrollControl, &kBase})},
        {"Property", BindOf<Property::Base>(), Union({&kProperty, &kBase})},
        {"Font", BindOf<Gui::Font>(), Union({&kFont})},
        {"Skin", BindOf<Gui::Skin::Base>(), {}},
        {"Caller", BindOf<Gui::Event::Caller>(), Union({&kCaller})},
        {"Handler", BindOf<Gui::Event::Handler>(), Union({&kHandler})},
        {"GuiSerializer", BindOf<GuiSerializer>(), Union({&kInspector})},
    };
    for (const auto& c : classes)
        EXPECT_EQ(MethodNames(c.bind), c.names) << c.name;

    std::set<std::string> gui = Union({&kGui});
    for (const std::string& name : kCreatable)
    {
        gui.insert("Create" + name);
        gui.insert("ConvertTo" + name);
    }
    EXPECT_EQ(MethodNames(GuiHost::GetLuaBind()), gui);
}

} // namespace
} // namespace Quarn
