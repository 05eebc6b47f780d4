#pragma once

#include "widgets/Events.h"
#include "widgets/Structures.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>

namespace Gui
{

namespace Skin
{
class Base;
}

namespace Renderer
{
class Base;
}

namespace DragAndDrop
{
struct Package;
}

// Dock and alignment flags.
namespace Pos
{
enum : int
{
    None = 0,
    Left = 2,
    Right = 4,
    Top = 8,
    Bottom = 16,
    CenterV = 32,
    CenterH = 64,
    Fill = 128,
    Center = CenterV | CenterH,
};
}

namespace Controls
{

class Base;
class Canvas;

using List = std::list<Base*>;

// A reference to a control that goes empty as that control's destruction begins. A control that names
// another (a part of its own, a tab stop, a tool-tip, a selected row) holds it this way, since scripts can
// delete any control at any time; code using it checks Get() at each use.
template <class T> class Ref
{
public:
    Ref() = default;
    Ref(T* control);
    T* Get() const { return m_control && *m_control ? static_cast<T*>(*m_control) : nullptr; }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    bool operator==(const T* control) const { return Get() == control; }

private:
    std::shared_ptr<Base* const> m_control;
};

// The root of every widget: a node of the control tree that owns its children, keeps its rectangle in its
// parent, docks its children, draws through the skin and receives input from its canvas. Positions are
// integer pixels relative to the parent's top-left corner.
class Base : public Event::Handler
{
public:
    explicit Base(Base* parent);
    ~Base() override;

    // Deleted by its canvas at the start of the next think or the end of the next render: the safe way
    // to delete a control from inside its own event.
    virtual void DelayedDelete();

    // Refused (nothing happens) when the control would hold itself: the new parent is the control or lies
    // below it. A canvas is a root and takes no parent; a control being destroyed takes no children.
    virtual void SetParent(Base* parent);
    virtual Base* GetParent() const { return m_parent; }
    virtual Canvas* GetCanvas();
    // The inner panel's children when there is one (where added children go), else its own.
    virtual List& GetChildren();
    virtual bool IsChild(Base* child);
    virtual unsigned int NumChildren();
    virtual bool SizeToChildren(bool width = true, bool height = true);
    virtual Base* FindChildByName(const std::string& name, bool recursive = false);
    virtual void SetName(const std::string& name) { m_name = name; }
    virtual const std::string& GetName() { return m_name; }
    virtual void Think() {}

    virtual void AddChild(Base* child);
    virtual void RemoveChild(Base* child);
    virtual void OnChildAdded(Base* child);
    virtual void OnChildRemoved(Base* child);
    // Detaches every child of its own list and deletes it through the canvas's delayed delete (at once
    // without a canvas).
    virtual void RemoveAllChildren();
    virtual void SendToBack();
    virtual void BringToFront();
    virtual void BringNextToControl(Base* child, bool behind);

    virtual Point LocalPosToCanvas(const Point& point = Point(0, 0));
    virtual Point CanvasPosToLocal(const Point& point);

    virtual void Dock(int flags);
    virtual int GetDock() { return m_dock; }
    virtual void RestrictToParent(bool restrict) { m_restrictToParent = restrict; }
    virtual bool ShouldRestrictToParent() { return m_restrictToParent; }

    virtual int X() const { return m_bounds.x; }
    virtual int Y() const { return m_bounds.y; }
    virtual int Width() const { return m_bounds.w; }
    virtual int Height() const { return m_bounds.h; }
    virtual int Bottom() const { return m_bounds.y + m_bounds.h + m_margin.bottom; }
    virtual int Right() const { return m_bounds.x + m_bounds.w + m_margin.right; }
    virtual const Margin& GetMargin() const { return m_margin; }
    virtual const Padding& GetPadding() const { return m_padding; }

    virtual void SetPos(int x, int y);
    virtual void SetWidth(int w);
    virtual void SetHeight(int h);
    virtual bool SetSize(int w, int h);
    virtual bool SetBounds(const Rect& bounds);
    // False (and nothing happens) when the bounds do not change.
    virtual bool SetBounds(int x, int y, int w, int h);
    virtual void SetPadding(const Padding& padding);
    virtual void SetMargin(const Margin& margin);
    // Kept inside the parent's margin (and this control's padding) when restricted to the parent.
    virtual void MoveTo(int x, int y);
    virtual void MoveBy(int dx, int dy);
    virtual const Rect& GetBounds() const { return m_bounds; }
    // The topmost visible control at the local point that takes the mouse, or null.
    virtual Base* GetControlAt(int x, int y);

    virtual void OnBoundsChanged(Rect oldBounds);
    virtual void OnChildBoundsChanged(Rect /*oldChildBounds*/, Base* /*child*/) {}
    virtual void OnScaleChanged();
    virtual const Rect& GetInnerBounds() const { return m_innerBounds; }
    virtual const Rect& GetRenderBounds() const { return m_renderBounds; }
    virtual void UpdateRenderBounds();

    virtual void DoRender(Skin::Base* skin);
    virtual void Render(Skin::Base* /*skin*/) {}
    virtual void RenderUnder(Skin::Base* /*skin*/) {}
    virtual void RenderOver(Skin::Base* /*skin*/) {}
    virtual void RenderFocus(Skin::Base* skin);

    virtual void SetHidden(bool hidden);
    virtual bool Hidden() const { return m_hidden; }
    virtual bool Visible() const;
    virtual void Hide() { SetHidden(true); }
    virtual void Show() { SetHidden(false); }

    virtual void SetSkin(Skin::Base* skin, bool doChildren = false);
    // Its own skin, else the nearest ancestor's; null when no control on the way has one.
    virtual Skin::Base* GetSkin();
    virtual bool ShouldDrawBackground() { return m_drawBackground; }
    virtual void SetShouldDrawBackground(bool draw) { m_drawBackground = draw; }
    virtual void OnSkinChanged(Skin::Base* /*newSkin*/) {}

    virtual void OnMouseMoved(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/) {}
    // Climbs through the controls that hold this one until one handles it.
    virtual bool OnMouseWheeled(int delta);
    virtual void OnMouseClickLeft(int /*x*/, int /*y*/, bool /*down*/) {}
    virtual void OnMouseClickRight(int /*x*/, int /*y*/, bool /*down*/) {}
    virtual void OnMouseDoubleClickLeft(int x, int y) { OnMouseClickLeft(x, y, true); }
    virtual void OnMouseDoubleClickRight(int x, int y) { OnMouseClickRight(x, y, true); }
    virtual void OnLostKeyboardFocus() {}
    virtual void OnKeyboardFocus() {}
    virtual void SetMouseInputEnabled(bool enabled) { m_mouseInputEnabled = enabled; }
    virtual bool GetMouseInputEnabled() { return m_mouseInputEnabled; }
    virtual void SetKeyboardInputEnabled(bool enabled) { m_keyboardInputEnabled = enabled; }
    virtual bool GetKeyboardInputEnabled() const { return m_keyboardInputEnabled; }
    virtual bool NeedsInputChars() { return false; }
    virtual bool OnChar(wchar_t /*c*/) { return false; }
    // Routes a key code to its slot; an unhandled key goes on to the parent. The result is whether this
    // control handled it.
    virtual bool OnKeyPress(int key, bool down = true);
    virtual bool OnKeyRelease(int key) { return OnKeyPress(key, false); }
    virtual void OnPaste() {}
    virtual void OnCopy() {}
    virtual void OnCut() {}
    virtual void OnSelectAll() {}
    virtual bool OnKeyTab(bool down);
    virtual bool OnKeySpace(bool /*down*/) { return false; }
    virtual bool OnKeyReturn(bool /*down*/) { return false; }
    virtual bool OnKeyBackspace(bool /*down*/) { return false; }
    virtual bool OnKeyDelete(bool /*down*/) { return false; }
    virtual bool OnKeyRight(bool /*down*/) { return false; }
    virtual bool OnKeyLeft(bool /*down*/) { return false; }
    virtual bool OnKeyHome(bool /*down*/) { return false; }
    virtual bool OnKeyEnd(bool /*down*/) { return false; }
    virtual bool OnKeyUp(bool /*down*/) { return false; }
    virtual bool OnKeyDown(bool /*down*/) { return false; }
    virtual bool OnKeyEscape(bool /*down*/) { return false; }

    virtual void OnMouseEnter();
    virtual void OnMouseLeave();
    virtual bool IsHovered();
    virtual bool ShouldDrawHover();
    virtual void Touch();
    virtual void OnChildTouched(Base* child);
    virtual bool IsOnTop();
    virtual bool HasFocus();
    virtual void Focus();
    virtual void Blur();
    virtual void SetDisabled(bool disabled) { m_disabled = disabled; }
    virtual bool IsDisabled() { return m_disabled; }
    virtual void Redraw();
    virtual void SetCacheToTexture() { m_cacheToTexture = true; }
    virtual bool ShouldCacheToTexture() { return m_cacheToTexture; }
    // Values past the cursor table are taken as the arrow.
    virtual void SetCursor(std::uint8_t cursor);
    virtual void UpdateCursor();
    virtual Point GetMinimumSize() { return Point(1, 1); }
    virtual Point GetMaximumSize() { return Point(4096, 4096); }
    virtual void SetToolTip(Base* toolTip);
    virtual void SetToolTip(const std::wstring& text);
    virtual void SetToolTip(const std::string& text);
    virtual Base* GetToolTip() { return m_toolTip.Get(); }
    virtual bool IsMenuComponent();
    virtual void CloseMenus();
    virtual bool IsTabable() { return m_tabable; }
    virtual void SetTabable(bool tabable) { m_tabable = tabable; }
    virtual void AcceleratePressed() {}
    virtual bool AccelOnlyFocus() { return false; }
    // Fires the caller registered for the text when this control may take accelerators, else asks each
    // child in turn.
    virtual bool HandleAccelerator(const std::wstring& accelerator);

    // The layout pass: Layout where needed, then docking of the children (see Dock), then PostLayout and
    // the tab order.
    virtual void RecurseLayout(Skin::Base* skin);
    virtual void Layout(Skin::Base* /*skin*/) {}
    virtual void PostLayout(Skin::Base* /*skin*/) {}

    // Drag and drop: a control offers a package (made on the first call) when it is draggable; a control
    // that accepts a package takes the dragged control as its child by default.
    virtual void DragAndDrop_SetPackage(bool draggable, const std::string& name = "",
                                        void* userData = nullptr);
    virtual bool DragAndDrop_Draggable();
    virtual bool DragAndDrop_ShouldStartDrag() { return true; }
    virtual void DragAndDrop_StartDragging(DragAndDrop::Package* package, int x, int y);
    virtual DragAndDrop::Package* DragAndDrop_GetPackage(int /*x*/, int /*y*/)
    {
        return m_dragAndDropPackage;
    }
    virtual void DragAndDrop_EndDragging(bool /*success*/, int /*x*/, int /*y*/) {}
    virtual void DragAndDrop_HoverEnter(DragAndDrop::Package* /*package*/, int /*x*/, int /*y*/) {}
    virtual void DragAndDrop_HoverLeave(DragAndDrop::Package* /*package*/) {}
    virtual void DragAndDrop_Hover(DragAndDrop::Package* /*package*/, int /*x*/, int /*y*/) {}
    virtual bool DragAndDrop_HandleDrop(DragAndDrop::Package* package, int x, int y);
    virtual bool DragAndDrop_CanAcceptPackage(DragAndDrop::Package* /*package*/) { return false; }

    // Grows the width (height) from nothing to its present size, or shrinks it to nothing and then hides
    // the control when asked; after the delay, over the length, eased.
    virtual void Anim_WidthIn(float length, float delay = 0.0f, float ease = 1.0f);
    virtual void Anim_HeightIn(float length, float delay = 0.0f, float ease = 1.0f);
    virtual void Anim_WidthOut(float length, bool hide = true, float delay = 0.0f, float ease = 1.0f);
    virtual void Anim_HeightOut(float length, bool hide = true, float delay = 0.0f, float ease = 1.0f);

    void Invalidate();
    void InvalidateParent();
    void InvalidateChildren(bool recursive = false);
    bool NeedsLayout() const { return m_needsLayout; }
    void* GetUserData() { return m_userData; }
    void SetUserData(void* data) { m_userData = data; }
    void DefaultAccel(Base* /*control*/) { AcceleratePressed(); }
    // The control owns the caller the accelerator fires; the handler defaults to the control itself.
    template <class T>
    void AddAccelerator(const std::wstring& accelerator, void (T::*function)(Base*),
                        Event::Handler* handler = nullptr)
    {
        AddAcceleratorInternal(accelerator, static_cast<Event::HandlerFunction>(function), handler);
    }
    void AddAccelerator(const std::wstring& accelerator) { AddAccelerator(accelerator, &Base::DefaultAccel); }
    // Whether the destructor has begun (such a control is never queued for delayed deletion).
    bool BeingDestroyed() const { return m_beingDestroyed; }
    std::uint8_t Cursor() const { return m_cursor; }

    Event::Caller OnDestroyed;
    Event::Caller OnHoverEnter;
    Event::Caller OnHoverLeave;

    // The control whose own list holds this one: the parent, or an inner panel below it.
    Base* Holder();
    // The children in its own list (not its inner panel's), in drawing order.
    const List& OwnChildren() const { return m_children; }
    // What every Ref to this control shares: the control, or null once its destruction has begun.
    std::shared_ptr<Base* const> Lifeline() const { return m_lifeline; }
    // Moves on whenever any control's own list of children changes, and so whenever a control in a tree
    // goes. A walk over children that runs code able to change the tree (events fire during layout) stops
    // when it has moved, without touching the controls it was walking.
    static std::uint64_t TreeVersion();

protected:
    void AddAcceleratorInternal(const std::wstring& accelerator, Event::HandlerFunction function,
                                Event::Handler* handler);

    Rect m_innerBounds;
    std::map<std::wstring, Event::Caller*> m_accelerators;
    List m_children;
    // The parent outlives its children: they go with it, or leave it first.
    Base* m_parent = nullptr;
    Ref<Base> m_innerPanel;
    Ref<Base> m_toolTip;
    Skin::Base* m_skin = nullptr;
    Rect m_bounds;
    Rect m_renderBounds;
    Padding m_padding;
    Margin m_margin;
    std::string m_name;
    bool m_restrictToParent = false;
    bool m_disabled = false;
    bool m_hidden = false;
    bool m_mouseInputEnabled = true;
    bool m_keyboardInputEnabled = false;
    bool m_drawBackground = true;
    int m_dock = 0;
    std::uint8_t m_cursor = 0;
    bool m_tabable = false;
    bool m_needsLayout = true;
    bool m_cacheTextureDirty = true;
    bool m_cacheToTexture = false;
    DragAndDrop::Package* m_dragAndDropPackage = nullptr;
    void* m_userData = nullptr;

private:
    friend class Canvas;
    // Whether the control is this one or lies below it, in the lists that hold the controls.
    bool Holds(Base* control);
    // The children of a panel that has just stopped being this control's inner panel name the panel as
    // their parent from now on (so they go with it), wherever the panel goes.
    void HandOverToFormerPanel(Base* panel);

    std::shared_ptr<Base*> m_lifeline;
    bool m_beingDestroyed = false;
    // The canvas whose delayed-delete queue holds this control (a control detached before its deletion
    // no longer finds it through its parents).
    Canvas* m_deleteQueue = nullptr;
};

template <class T> Ref<T>::Ref(T* control) : m_control(control ? control->Lifeline() : nullptr) {}

} // namespace Controls

// The control under the pointer, the one receiving keys and characters, and the one that captured the
// mouse. None is owned; a control clears them when it is destroyed.
extern Controls::Base* HoveredControl;
extern Controls::Base* KeyboardFocus;
extern Controls::Base* MouseFocus;

} // namespace Gui
