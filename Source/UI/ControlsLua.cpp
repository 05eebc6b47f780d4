#include "UI/GuiHost.h"
#include "UI/WidgetLua.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/CheckBox.h"
#include "widgets/Controls/CheckBoxWithLabel.h"
#include "widgets/Controls/ImagePanel.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/LabelClickable.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/Property.h"
#include "widgets/Controls/PropertyTree.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Slider.h"
#include "widgets/Controls/Table.h"
#include "widgets/Controls/TreeControl.h"
#include "widgets/Controls/WindowControl.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

#include <list>
#include <vector>

// The method tables of the bound widget classes: each class's own names, then its bases'. A base's name
// registered after a class's keeps the base's entry.

namespace Quarn
{

namespace
{

using namespace Gui::Controls;
using Gui::Event::Caller;

// The rows a list box has selected, pushed as a table in selection order. Pushing may run a script's
// finalizer, which may change the selection or delete rows: the rows are taken first, and those gone by
// their turn are left out.
struct SelectedRows
{
    std::vector<Ref<Layout::TableRow>> rows;
};

} // namespace

template <> struct LuaConverter<SelectedRows>
{
    static void Push(lua_State* state, const SelectedRows& selected)
    {
        lua_newtable(state);
        int key = 1;
        for (const Ref<Layout::TableRow>& row : selected.rows)
        {
            if (!row)
                continue;
            PushWidget(state, row.Get());
            if (lua_isnil(state, -1))
                lua_pop(state, 1);
            else
                lua_rawseti(state, -2, key++);
        }
    }
};

namespace
{

// A control a script detaches belongs to the host again, like one made without a parent.
void SetParent(Base& control, Base* parent)
{
    control.SetParent(parent);
    if (!control.GetParent())
        if (GuiHost* host = GuiHost::Current())
            host->AdoptOrphan(&control);
}

void BaseMethods(lua_State* s)
{
    WidgetMethods<Base>(
        s, &Base::DelayedDelete, "DelayedDelete", &SetParent, "SetParent", &Base::GetParent, "GetParent",
        &Base::GetCanvas, "GetCanvas", &Base::IsChild, "IsChild", &Base::NumChildren, "NumChildren",
        &Base::SizeToChildren, "SizeToChildren", &Base::FindChildByName, "FindChildByName", &Base::SetName,
        "SetName", &Base::GetName, "GetName", &Base::Think, "Think", &Base::RemoveAllChildren,
        "RemoveAllChildren", &Base::SendToBack, "SendToBack", &Base::BringToFront, "BringToFront",
        &Base::BringNextToControl, "BringNextToControl", &Base::Dock, "Dock", &Base::GetDock, "GetDock",
        &Base::RestrictToParent, "RestrictToParent", &Base::ShouldRestrictToParent, "ShouldRestrictToParent",
        &Base::X, "X", &Base::Y, "Y", &Base::Width, "Width", &Base::Height, "Height", &Base::Bottom, "Bottom",
        &Base::Right, "Right", &Base::GetMargin, "GetMargin", &Base::GetPadding, "GetPadding",
        +[](Base& c, Coordinate x, Coordinate y) { c.SetPos(x, y); }, "SetPos",
        +[](Base& c, Extent w) { c.SetWidth(w); }, "SetWidth", +[](Base& c, Extent h) { c.SetHeight(h); },
        "SetHeight", +[](Base& c, Extent w, Extent h) { return c.SetSize(w, h); }, "SetSize",
        +[](Base& c, Vector4 v)
        {
            return c.SetBounds(ClampToGeometry(v.x, -kGeometryLimit), ClampToGeometry(v.y, -kGeometryLimit),
                               ClampToGeometry(v.z, 0.0), ClampToGeometry(v.w, 0.0));
        },
        "SetBounds", &Base::SetPadding, "SetPadding", &Base::SetMargin, "SetMargin",
        +[](Base& c, Coordinate x, Coordinate y) { c.MoveTo(x, y); }, "MoveTo",
        +[](Base& c, Coordinate dx, Coordinate dy) { c.MoveBy(dx, dy); }, "MoveBy",
        +[](Base& c, Coordinate x, Coordinate y) { return c.GetControlAt(x, y); }, "GetControlAt",
        &Base::SetHidden, "SetHidden", &Base::Hidden, "Hidden", &Base::Visible, "Visible", &Base::Hide,
        "Hide", &Base::Show, "Show", &Base::ShouldDrawBackground, "ShouldDrawBackground",
        &Base::SetShouldDrawBackground, "SetShouldDrawBackground",
        +[](Base& c, Coordinate x, Coordinate y, Coordinate dx, Coordinate dy)
        { c.OnMouseMoved(x, y, dx, dy); },
        "OnMouseMoved", &Base::OnMouseWheeled, "OnMouseWheeled",
        +[](Base& c, Coordinate x, Coordinate y, bool down) { c.OnMouseClickLeft(x, y, down); },
        "OnMouseClickLeft",
        +[](Base& c, Coordinate x, Coordinate y, bool down) { c.OnMouseClickRight(x, y, down); },
        "OnMouseClickRight", +[](Base& c, Coordinate x, Coordinate y) { c.OnMouseDoubleClickLeft(x, y); },
        "OnMouseDoubleClickLeft",
        +[](Base& c, Coordinate x, Coordinate y) { c.OnMouseDoubleClickRight(x, y); },
        "OnMouseDoubleClickRight", &Base::OnLostKeyboardFocus, "OnLostKeyboardFocus", &Base::OnKeyboardFocus,
        "OnKeyboardFocus", &Base::SetMouseInputEnabled, "SetMouseInputEnabled", &Base::GetMouseInputEnabled,
        "GetMouseInputEnabled", &Base::SetKeyboardInputEnabled, "SetKeyboardInputEnabled",
        &Base::GetKeyboardInputEnabled, "GetKeyboardInputEnabled", &Base::NeedsInputChars, "NeedsInputChars",
        &Base::OnKeyPress, "OnKeyPress", &Base::OnKeyRelease, "OnKeyRelease", &Base::OnPaste, "OnPaste",
        &Base::OnCopy, "OnCopy", &Base::OnCut, "OnCut", &Base::OnSelectAll, "OnSelectAll", &Base::OnKeyTab,
        "OnKeyTab", &Base::OnKeySpace, "OnKeySpace", &Base::OnKeyReturn, "OnKeyReturn", &Base::OnKeyBackspace,
        "OnKeyBackspace", &Base::OnKeyDelete, "OnKeyDelete", &Base::OnKeyRight, "OnKeyRight",
        &Base::OnKeyLeft, "OnKeyLeft", &Base::OnKeyHome, "OnKeyHome", &Base::OnKeyEnd, "OnKeyEnd",
        &Base::OnKeyUp, "OnKeyUp", &Base::OnKeyDown, "OnKeyDown", &Base::OnKeyEscape, "OnKeyEscape",
        &Base::OnMouseEnter, "OnMouseEnter", &Base::OnMouseLeave, "OnMouseLeave", &Base::IsHovered,
        "IsHovered", &Base::ShouldDrawHover, "ShouldDrawHover", &Base::Touch, "Touch", &Base::OnChildTouched,
        "OnChildTouched", &Base::IsOnTop, "IsOnTop", &Base::HasFocus, "HasFocus", &Base::Focus, "Focus",
        &Base::Blur, "Blur", &Base::SetDisabled, "SetDisabled", &Base::IsDisabled, "IsDisabled",
        &Base::Redraw, "Redraw", &Base::SetCacheToTexture, "SetCacheToTexture", &Base::ShouldCacheToTexture,
        "ShouldCacheToTexture", &Base::SetCursor, "SetCursor", &Base::UpdateCursor, "UpdateCursor",
        &Base::GetToolTip, "GetToolTip", &Base::IsMenuComponent, "IsMenuComponent", &Base::CloseMenus,
        "CloseMenus", &Base::IsTabable, "IsTabable", &Base::SetTabable, "SetTabable",
        +[](Base& c) { c.AcceleratePressed(); }, "DefaultAccel", &Base::AcceleratePressed,
        "AcceleratePressed", &Base::AccelOnlyFocus, "AccelOnlyFocus", &Base::NeedsLayout, "NeedsLayout",
        &Base::Invalidate, "Invalidate", &Base::InvalidateParent, "InvalidateParent",
        &Base::InvalidateChildren, "InvalidateChildren", +[](Base& c) { return LuaAddress{c.GetUserData()}; },
        "GetUserData", +[](Base& c, LuaAddress address) { c.SetUserData(address.pointer); }, "SetUserData",
        &Base::Anim_WidthIn, "Anim_WidthIn", &Base::Anim_HeightIn, "Anim_HeightIn", &Base::Anim_WidthOut,
        "Anim_WidthOut", &Base::Anim_HeightOut, "Anim_HeightOut",
        +[](Base& c) {
            return ControlEvent{&c, &c.OnHoverEnter};
        },
        "OnHoverEnter",
        +[](Base& c) {
            return ControlEvent{&c, &c.OnHoverLeave};
        },
        "OnHoverLeave");
}

void RegisterBase(lua_State* s)
{
    BaseMethods(s);
}

void RegisterCanvas(lua_State* s)
{
    WidgetMethods<Canvas>(
        s, &Canvas::Initialize, "Initialize", &Canvas::RenderCanvas, "RenderCanvas", &Canvas::DoThink,
        "DoThink", &Canvas::NeedsRedraw, "NeedsRedraw", &Canvas::Redraw, "Redraw", &Canvas::GetCanvas,
        "GetCanvas", &Canvas::SetScale, "SetScale", &Canvas::Scale, "Scale", &Canvas::Release, "Release",
        +[](Canvas& canvas, Base& control) { canvas.AddDelayedDelete(&control); }, "AddDelayedDelete",
        &Canvas::ProcessDelayedDeletes, "ProcessDelayedDeletes",
        +[](Canvas& canvas, Coordinate x, Coordinate y, Coordinate dx, Coordinate dy)
        { return canvas.InputMouseMoved(x, y, dx, dy); },
        "InputMouseMoved", &Canvas::InputMouseButton, "InputMouseButton", &Canvas::InputKey, "InputKey",
        &Canvas::InputCharacter, "InputCharacter", &Canvas::InputMouseWheel, "InputMouseWheel");
    BaseMethods(s);
}

void RegisterWindowControl(lua_State* s)
{
    WidgetMethods<WindowControl>(
        s, &WindowControl::SetTitle, "SetTitle", &WindowControl::SetClosable, "SetClosable",
        &WindowControl::Touch, "Touch", &WindowControl::IsOnTop, "IsOnTop", &WindowControl::SetHidden,
        "SetHidden", &WindowControl::CloseButtonPressed, "CloseButtonPressed",
        &WindowControl::SetDeleteOnClose, "SetDeleteOnClose", &WindowControl::MakeModal, "MakeModal",
        &WindowControl::SetClampMovement, "SetClampMovement", &WindowControl::GetClampMovement,
        "GetClampMovement", &WindowControl::DisableResizing, "DisableResizing",
        +[](WindowControl& w, int x, int y, int width, int height)
        { return w.SetBounds(x, y, width, height); },
        "SetBounds",
        +[](WindowControl& w) {
            return ControlEvent{&w, &w.onResized};
        },
        "OnResize");
    BaseMethods(s);
}

void RegisterSlider(lua_State* s)
{
    WidgetMethods<HorizontalSlider>(
        s,
        +[](HorizontalSlider& slider) {
            return ControlEvent{&slider, &slider.onValueChanged};
        },
        "OnValueChanged", &HorizontalSlider::SetClampToNotches, "SetClampToNotches",
        &HorizontalSlider::SetNotchCount, "SetNotchCount", &HorizontalSlider::GetNotchCount, "GetNotchCount",
        &HorizontalSlider::SetRange, "SetRange", &HorizontalSlider::GetValue, "GetValue",
        +[](HorizontalSlider& slider, float value, bool) { slider.SetValue(value); }, "SetValue");
    BaseMethods(s);
}

void LabelMethods(lua_State* s)
{
    WidgetMethods<Label>(
        s, +[](Label& label, const std::string& text) { label.SetText(text, true); }, "SetText",
        &Label::GetText, "GetText", &Label::SizeToContents, "SizeToContents", &Label::SetAlignment,
        "SetAlignment", &Label::SetFont, "SetFont", &Label::GetFont, "GetFont", &Label::SetTextColor,
        "SetTextColor", &Label::TextColor, "TextColor", &Label::TextWidth, "TextWidth", &Label::TextRight,
        "TextRight", &Label::TextHeight, "TextHeight", &Label::TextX, "TextX", &Label::TextY, "TextY",
        &Label::TextLength, "TextLength", &Label::Alignment, "Alignment");
}

void RegisterLabel(lua_State* s)
{
    LabelMethods(s);
    BaseMethods(s);
}

void ButtonMethods(lua_State* s)
{
    WidgetMethods<Button>(
        s, &Button::OnMouseClickLeft, "OnMouseClickLeft", &Button::OnMouseDoubleClickLeft,
        "OnMouseDoubleClickLeft", &Button::OnKeySpace, "OnKeySpace", &Button::Press, "Press",
        &Button::AcceleratePressed, "AcceleratePressed", &Button::IsDepressed, "IsDepressed",
        &Button::SetIsToggle, "SetIsToggle", &Button::IsToggle, "IsToggle", &Button::GetToggleState,
        "GetToggleState", &Button::SetToggleState, "SetToggleState", &Button::Toggle, "Toggle",
        &Button::ReceiveEventPress, "ReceiveEventPress", &Button::SizeToContents, "SizeToContents",
        +[](Button& b) {
            return ControlEvent{&b, &b.onPress};
        },
        "OnPress",
        +[](Button& b) {
            return ControlEvent{&b, &b.onDown};
        },
        "OnDown",
        +[](Button& b) {
            return ControlEvent{&b, &b.onUp};
        },
        "OnUp",
        +[](Button& b) {
            return ControlEvent{&b, &b.onDoubleClick};
        },
        "OnDoubleClick",
        +[](Button& b) {
            return ControlEvent{&b, &b.onToggle};
        },
        "OnToggle",
        +[](Button& b) {
            return ControlEvent{&b, &b.onToggleOn};
        },
        "OnToggleOn",
        +[](Button& b) {
            return ControlEvent{&b, &b.onToggleOff};
        },
        "OnToggleOff");
    LabelMethods(s);
}

void RegisterButton(lua_State* s)
{
    ButtonMethods(s);
    BaseMethods(s);
}

void RegisterCheckBox(lua_State* s)
{
    WidgetMethods<CheckBox>(
        s,
        +[](CheckBox& c) {
            return ControlEvent{&c, &c.onChecked};
        },
        "OnChecked",
        +[](CheckBox& c) {
            return ControlEvent{&c, &c.onUnChecked};
        },
        "OnUnChecked",
        +[](CheckBox& c) {
            return ControlEvent{&c, &c.onCheckChanged};
        },
        "OnCheckChanged", &CheckBox::Press, "OnPress", &CheckBox::SetChecked, "SetChecked", &CheckBox::Toggle,
        "Toggle", &CheckBox::IsChecked, "IsChecked");
    ButtonMethods(s);
    BaseMethods(s);
}

void RegisterCheckBoxWithLabel(lua_State* s)
{
    WidgetMethods<CheckBoxWithLabel>(s, &CheckBoxWithLabel::Checkbox, "Checkbox", &CheckBoxWithLabel::Label,
                                     "Label");
    BaseMethods(s);
}

void RegisterListBox(lua_State* s)
{
    WidgetMethods<ListBox>(
        s,
        +[](ListBox& l) {
            return ControlEvent{&l, &l.onRowSelected};
        },
        "OnRowSelected",
        +[](ListBox& l)
        {
            const std::list<Layout::TableRow*>& rows = l.GetSelectedRows();
            return SelectedRows{{rows.begin(), rows.end()}};
        },
        "GetSelectedRows", +[](ListBox& l, const std::string& label) { return l.AddItem(label, ""); },
        "AddItem", &ListBox::UnselectAll, "UnselectAll", &ListBox::SetColumnCount, "SetColumnCount",
        &ListBox::SetAllowMultiSelect, "SetAllowMultiSelect", &ListBox::AllowMultiSelect, "AllowMultiSelect",
        &ListBox::GetSelectedRow, "GetSelectedRow", &ListBox::Scroller, "Scroller", &ListBox::Clear, "Clear");
    BaseMethods(s);
}

void TreeNodeMethods(lua_State* s)
{
    WidgetMethods<TreeNode>(
        s, &TreeNode::Open, "Open", &TreeNode::Close, "Close", &TreeNode::ExpandAll, "ExpandAll",
        &TreeNode::GetButton, "GetButton", &TreeNode::SetRoot, "SetRoot", &TreeNode::SetTreeControl,
        "SetTreeControl", &TreeNode::SetSelectable, "SetSelectable", &TreeNode::IsSelected, "IsSelected",
        &TreeNode::SetSelected, "SetSelected", &TreeNode::DeselectAll, "DeselectAll",
        +[](TreeNode& n) {
            return ControlEvent{&n, &n.onNamePress};
        },
        "OnNamePress",
        +[](TreeNode& n) {
            return ControlEvent{&n, &n.onSelectChange};
        },
        "OnSelectChange",
        +[](TreeNode& n) {
            return ControlEvent{&n, &n.onSelect};
        },
        "OnSelect",
        +[](TreeNode& n) {
            return ControlEvent{&n, &n.onUnselect};
        },
        "OnUnselect");
}

void RegisterTreeNode(lua_State* s)
{
    TreeNodeMethods(s);
    BaseMethods(s);
}

void TreeControlMethods(lua_State* s)
{
    WidgetMethods<TreeControl>(
        s, &TreeControl::Clear, "Clear", &TreeControl::AllowMultiSelect, "AllowMultiSelect",
        +[](TreeControl& tree, TreeNode& node) { tree.OnNodeAdded(&node); }, "OnNodeAdded");
    TreeNodeMethods(s);
}

void RegisterTreeControl(lua_State* s)
{
    TreeControlMethods(s);
    BaseMethods(s);
}

void RegisterPropertyTree(lua_State* s)
{
    WidgetMethods<PropertyTree>(s, &PropertyTree::Add, "Add");
    TreeControlMethods(s);
    BaseMethods(s);
}

void RegisterProperties(lua_State* s)
{
    WidgetMethods<Properties>(
        s, +[](Properties& p, const std::string& label) { return p.AddWithValue(label, ""); }, "Add",
        &Properties::AddWithValue, "AddWithValue",
        +[](Properties& p, const std::string& label, Property::Base& property)
        { return p.AddWithProperty(label, &property); },
        "AddWithProperty", &Properties::GetSplitWidth, "GetSplitWidth", &Properties::Clear, "Clear");
    BaseMethods(s);
}

void RegisterPropertyRow(lua_State* s)
{
    WidgetMethods<PropertyRow>(
        s, &PropertyRow::GetLabel, "GetLabel",
        +[](PropertyRow& row, Property::Base& property) { row.SetProperty(&property); }, "SetProperty",
        &PropertyRow::GetProperty, "GetProperty");
    BaseMethods(s);
}

void RegisterPanelListPanel(lua_State* s)
{
    WidgetMethods<PanelListPanel>(
        s, &PanelListPanel::DoHorizontalLayout, "DoHorizontalLayout", &PanelListPanel::DoVerticalLayout,
        "DoVerticalLayout", &PanelListPanel::IsVerticalLayout, "IsVerticalLayout",
        &PanelListPanel::IsHorizontalLayout, "IsHorizontalLayout", &PanelListPanel::SetVertical,
        "SetVertical", &PanelListPanel::SetHorizontal, "SetHorizontal", &PanelListPanel::SetSizeToChildren,
        "SetSizeToChildren", +[](PanelListPanel& p, Coordinate spacing) { p.SetControlSpacing(spacing); },
        "SetControlSpacing", +[](PanelListPanel& p, Coordinate spacing) { p.SetLineSpacing(spacing); },
        "SetLineSpacing", &PanelListPanel::SetWrapping, "SetWrapping");
    BaseMethods(s);
}

void RegisterImagePanel(lua_State* s)
{
    WidgetMethods<ImagePanel>(
        s, &ImagePanel::SetUV, "SetUV",
        +[](ImagePanel& panel, const std::string& name)
        {
            std::wstring wide;
            Gui::Utility::AssignFromString(wide, name);
            panel.SetImage(wide);
        },
        "SetImage", &ImagePanel::GetImageName, "GetImageName", &ImagePanel::SizeToContents, "SizeToContents",
        &ImagePanel::SetDrawColor, "SetDrawColor");
    BaseMethods(s);
}

void RegisterListBoxRow(lua_State* s)
{
    WidgetMethods<Layout::TableRow>(
        s, &Layout::TableRow::SetColumnCount, "SetColumnCount",
        +[](Layout::TableRow& row, int column, Extent width) { row.SetColumnWidth(column, width); },
        "SetColumnWidth", &Layout::TableRow::GetCellContents, "GetCellContents",
        &Layout::TableRow::SizeToContents, "SizeToContents", &Layout::TableRow::SetTextColor, "SetTextColor",
        &Layout::TableRow::GetText, "GetText", &Layout::TableRow::SetSelected, "SetSelected");
}

void RegisterScrollControl(lua_State* s)
{
    WidgetMethods<ScrollControl>(
        s, &ScrollControl::SetScroll, "SetScroll", &ScrollControl::SetAutoHideBars, "SetAutoHideBars",
        &ScrollControl::CanScrollH, "CanScrollH", &ScrollControl::CanScrollV, "CanScrollV",
        &ScrollControl::UpdateScrollBars, "UpdateScrollBars", &ScrollControl::SetVScrollRequired,
        "SetVScrollRequired", &ScrollControl::SetHScrollRequired, "SetHScrollRequired",
        +[](ScrollControl& scroller, Extent w, Extent h) { scroller.SetInnerSize(w, h); }, "SetInnerSize",
        &ScrollControl::VBarMoved, "VBarMoved", &ScrollControl::HBarMoved, "HBarMoved",
        &ScrollControl::OnMouseWheeled, "OnMouseWheeled", &ScrollControl::ScrollToBottom, "ScrollToBottom",
        &ScrollControl::ScrollToTop, "ScrollToTop", &ScrollControl::ScrollToLeft, "ScrollToLeft",
        &ScrollControl::ScrollToRight, "ScrollToRight", &ScrollControl::Clear, "Clear");
    BaseMethods(s);
}

void RegisterProperty(lua_State* s)
{
    using Property::Base;
    WidgetMethods<Base>(
        s, +[](Base& p, const std::string& value) { p.SetPropertyValue(value, false); }, "SetPropertyValue",
        &Base::GetPropertyValueAnsi, "GetPropertyValueAnsi", &Base::GetPropertyValue, "GetPropertyValue",
        &Base::IsEditing, "IsEditing", &Base::DoChanged, "DoChanged", &Base::OnPropertyValueChanged,
        "OnPropertyValueChanged");
    BaseMethods(s);
}

void RegisterFont(lua_State* s)
{
    using Gui::Font;
    WidgetMethods<Font>(
        s, +[](Font& f) { return f.facename; }, "GetFaceName",
        +[](Font& f, const std::wstring& face) { f.facename = face; }, "SetFaceName",
        +[](Font& f) { return f.size; }, "GetSize", +[](Font& f, float size) { f.size = size; }, "SetSize",
        +[](Font& f) { return f.bold; }, "GetBold", +[](Font& f, bool bold) { f.bold = bold; }, "SetBold",
        +[](Font& f) { return f.dropShadow; }, "GetDropShadow",
        +[](Font& f, bool shadow) { f.dropShadow = shadow; }, "SetDropShadow",
        +[](Font& f) { return f.realSize; }, "GetRealSize", +[](Font& f, float size) { f.realSize = size; },
        "SetRealSize");
}

void RegisterNothing(lua_State*) {}

} // namespace

#define QUARN_WIDGET_BIND(Class, Register, Kind, Name)                                                       \
    template <> WidgetBind& BindOf<Class>()                                                                  \
    {                                                                                                        \
        static WidgetBind bind(&Register, WidgetKind::Kind, Name);                                           \
        return bind;                                                                                         \
    }

QUARN_WIDGET_BIND(Gui::Controls::Base, RegisterBase, Control, "control")
QUARN_WIDGET_BIND(Gui::Controls::Canvas, RegisterCanvas, Control, "Canvas")
QUARN_WIDGET_BIND(Gui::Controls::WindowControl, RegisterWindowControl, Control, "WindowControl")
QUARN_WIDGET_BIND(Gui::Controls::HorizontalSlider, RegisterSlider, Control, "Slider")
QUARN_WIDGET_BIND(Gui::Controls::Button, RegisterButton, Control, "Button")
QUARN_WIDGET_BIND(Gui::Controls::ListBox, RegisterListBox, Control, "ListBox")
QUARN_WIDGET_BIND(Gui::Controls::Label, RegisterLabel, Control, "Label")
QUARN_WIDGET_BIND(Gui::Controls::CheckBox, RegisterCheckBox, Control, "CheckBox")
QUARN_WIDGET_BIND(Gui::Controls::CheckBoxWithLabel, RegisterCheckBoxWithLabel, Control, "CheckBoxWithLabel")
QUARN_WIDGET_BIND(Gui::Controls::LabelClickable, RegisterButton, Control, "LabelClickable")
QUARN_WIDGET_BIND(Gui::Controls::TreeNode, RegisterTreeNode, Control, "TreeNode")
QUARN_WIDGET_BIND(Gui::Controls::PropertyTreeNode, RegisterTreeNode, Control, "PropertyTreeNode")
QUARN_WIDGET_BIND(Gui::Controls::TreeControl, RegisterTreeControl, Control, "TreeControl")
QUARN_WIDGET_BIND(Gui::Controls::PropertyTree, RegisterPropertyTree, Control, "PropertyTree")
QUARN_WIDGET_BIND(Gui::Controls::Properties, RegisterProperties, Control, "Properties")
QUARN_WIDGET_BIND(Gui::Controls::PropertyRow, RegisterPropertyRow, Control, "PropertyRow")
QUARN_WIDGET_BIND(Gui::Controls::PanelListPanel, RegisterPanelListPanel, Control, "PanelListPanel")
QUARN_WIDGET_BIND(Gui::Controls::ImagePanel, RegisterImagePanel, Control, "ImagePanel")
QUARN_WIDGET_BIND(::ListBoxRow, RegisterListBoxRow, Control, "ListBoxRow")
QUARN_WIDGET_BIND(Gui::Controls::ScrollControl, RegisterScrollControl, Control, "ScrollControl")
QUARN_WIDGET_BIND(Gui::Controls::Property::Base, RegisterProperty, Control, "Property")
QUARN_WIDGET_BIND(Gui::Font, RegisterFont, Font, "Font")
QUARN_WIDGET_BIND(Gui::Skin::Base, RegisterNothing, Skin, "Skin")

#undef QUARN_WIDGET_BIND

// A list-box row pushed as the table row it is.
template <> WidgetBind& BindOf<Gui::Controls::Layout::TableRow>()
{
    return BindOf<::ListBoxRow>();
}

} // namespace Quarn
