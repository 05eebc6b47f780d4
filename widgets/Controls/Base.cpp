#include "widgets/Controls/Base.h"

#include "widgets/Anim.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/Label.h"
#include "widgets/DragAndDrop.h"
#include "widgets/Geometry.h"
#include "widgets/Input.h"
#include "widgets/Platform.h"
#include "widgets/Renderer.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

#include <algorithm>

namespace Gui
{

Controls::Base* HoveredControl = nullptr;
Controls::Base* KeyboardFocus = nullptr;
Controls::Base* MouseFocus = nullptr;

namespace Controls
{

namespace
{

std::uint64_t g_treeVersion = 0;

} // namespace

std::uint64_t Base::TreeVersion()
{
    return g_treeVersion;
}

Base::Base(Base* parent) : m_lifeline(std::make_shared<Base*>(this))
{
    SetParent(parent);
    m_bounds = Rect(0, 0, 10, 10);
    UpdateRenderBounds();
    Invalidate();
    Event::OnControlCreated.Call(this);
}

Base::~Base()
{
    m_beingDestroyed = true;
    *m_lifeline = nullptr;
    if (HoveredControl == this)
        HoveredControl = nullptr;
    if (KeyboardFocus == this)
        KeyboardFocus = nullptr;
    if (MouseFocus == this)
        MouseFocus = nullptr;
    if (Canvas* canvas = m_deleteQueue ? m_deleteQueue : GetCanvas())
        canvas->PreDeleteCanvas(this);
    OnDestroyed.Call(this);
    Event::OnControlDestroyed.Call(this);
    // A child keeps its parent while it goes, so it still finds its skin and canvas; leaving the parent
    // then only reaches this control's base part.
    while (!m_children.empty())
    {
        Base* child = m_children.front();
        m_children.pop_front();
        ++g_treeVersion;
        delete child;
    }
    for (auto& [text, caller] : m_accelerators)
        delete caller;
    m_accelerators.clear();
    SetParent(nullptr);
    Anim::Cancel(this);
    delete m_dragAndDropPackage;
}

void Base::DelayedDelete()
{
    if (Canvas* canvas = GetCanvas())
        canvas->AddDelayedDelete(this);
}

void Base::SetParent(Base* parent)
{
    if (m_parent == parent)
        return;
    if (parent && (parent->BeingDestroyed() || Holds(parent)))
        return;
    if (m_parent)
        m_parent->RemoveChild(this);
    m_parent = parent;
    if (m_parent)
        m_parent->AddChild(this);
}

Canvas* Base::GetCanvas()
{
    return m_parent ? m_parent->GetCanvas() : nullptr;
}

List& Base::GetChildren()
{
    Base* inner = m_innerPanel.Get();
    return inner ? inner->GetChildren() : m_children;
}

bool Base::IsChild(Base* child)
{
    return std::find(m_children.begin(), m_children.end(), child) != m_children.end();
}

unsigned int Base::NumChildren()
{
    return static_cast<unsigned int>(m_children.size());
}

bool Base::Holds(Base* control)
{
    // A control without children (every new one) holds only itself.
    if (m_children.empty())
        return control == this;
    for (; control; control = control->Holder())
        if (control == this)
            return true;
    return false;
}

bool Base::SizeToChildren(bool width, bool height)
{
    Point size;
    for (Base* child : m_children)
    {
        if (child->Hidden())
            continue;
        size.x = std::max(size.x, child->Right());
        size.y = std::max(size.y, child->Bottom());
    }
    return SetSize(width ? size.x : Width(), height ? size.y : Height());
}

Base* Base::FindChildByName(const std::string& name, bool recursive)
{
    for (Base* child : m_children)
    {
        if (child->GetName() == name)
            return child;
        if (recursive)
            if (Base* found = child->FindChildByName(name, true))
                return found;
    }
    return nullptr;
}

void Base::AddChild(Base* child)
{
    if (!child)
        return;
    if (Base* inner = m_innerPanel.Get())
    {
        inner->AddChild(child);
        return;
    }
    m_children.push_back(child);
    ++g_treeVersion;
    OnChildAdded(child);
}

void Base::RemoveChild(Base* child)
{
    if (child && m_innerPanel == child)
    {
        m_innerPanel = nullptr;
        HandOverToFormerPanel(child);
    }
    if (Base* inner = m_innerPanel.Get())
        inner->RemoveChild(child);
    m_children.remove(child);
    ++g_treeVersion;
    OnChildRemoved(child);
}

void Base::HandOverToFormerPanel(Base* panel)
{
    for (Base* inner = panel; inner; inner = inner->m_innerPanel.Get())
        for (Base* held : inner->m_children)
            if (held->m_parent == this)
                held->m_parent = inner;
}

void Base::OnChildAdded(Base* /*child*/)
{
    Invalidate();
}

void Base::OnChildRemoved(Base* /*child*/)
{
    Invalidate();
}

void Base::RemoveAllChildren()
{
    Canvas* canvas = GetCanvas();
    while (!m_children.empty())
    {
        Base* child = m_children.front();
        RemoveChild(child);
        child->m_parent = nullptr;
        if (canvas)
            canvas->AddDelayedDelete(child);
        else
            delete child;
    }
}

Base* Base::Holder()
{
    Base* holder = m_parent;
    while (holder && !holder->IsChild(this) && holder->m_innerPanel)
        holder = holder->m_innerPanel.Get();
    return holder;
}

void Base::SendToBack()
{
    Base* holder = Holder();
    if (!holder || !holder->IsChild(this) || holder->m_children.front() == this)
        return;
    holder->m_children.remove(this);
    holder->m_children.push_front(this);
    ++g_treeVersion;
    InvalidateParent();
}

void Base::BringToFront()
{
    Base* holder = Holder();
    if (!holder || !holder->IsChild(this) || holder->m_children.back() == this)
        return;
    holder->m_children.remove(this);
    holder->m_children.push_back(this);
    ++g_treeVersion;
    InvalidateParent();
}

void Base::BringNextToControl(Base* child, bool behind)
{
    Base* holder = Holder();
    if (!holder || !holder->IsChild(this))
        return;
    List& list = holder->m_children;
    list.remove(this);
    auto place = std::find(list.begin(), list.end(), child);
    if (place != list.end() && behind)
        ++place;
    list.insert(place, this);
    ++g_treeVersion;
    InvalidateParent();
}

Point Base::LocalPosToCanvas(const Point& point)
{
    Base* holder = Holder();
    if (!holder)
        return Geometry::ClampPoint(point.x, point.y);
    return holder->LocalPosToCanvas(
        Geometry::ClampPoint(std::int64_t{point.x} + X(), std::int64_t{point.y} + Y()));
}

Point Base::CanvasPosToLocal(const Point& point)
{
    Base* holder = Holder();
    if (!holder)
        return Geometry::ClampPoint(point.x, point.y);
    const Point inHolder = holder->CanvasPosToLocal(point);
    return Geometry::ClampPoint(std::int64_t{inHolder.x} - X(), std::int64_t{inHolder.y} - Y());
}

void Base::Dock(int flags)
{
    if (m_dock == flags)
        return;
    m_dock = flags;
    Invalidate();
    InvalidateParent();
}

void Base::SetPos(int x, int y)
{
    SetBounds(x, y, Width(), Height());
}

void Base::SetWidth(int w)
{
    SetSize(w, Height());
}

void Base::SetHeight(int h)
{
    SetSize(Width(), h);
}

bool Base::SetSize(int w, int h)
{
    return SetBounds(X(), Y(), w, h);
}

bool Base::SetBounds(const Rect& bounds)
{
    return SetBounds(bounds.x, bounds.y, bounds.w, bounds.h);
}

bool Base::SetBounds(int x, int y, int w, int h)
{
    const Rect bounds(Geometry::Position(x), Geometry::Position(y), Geometry::Size(w), Geometry::Size(h));
    if (bounds == m_bounds)
        return false;
    const Rect old = m_bounds;
    m_bounds = bounds;
    OnBoundsChanged(old);
    return true;
}

void Base::SetPadding(const Padding& padding)
{
    const Padding clamped = Geometry::ClampPadding(padding);
    if (clamped == m_padding)
        return;
    m_padding = clamped;
    Invalidate();
    InvalidateParent();
}

void Base::SetMargin(const Margin& margin)
{
    const Margin clamped = Geometry::ClampMargin(margin);
    if (clamped == m_margin)
        return;
    m_margin = clamped;
    Invalidate();
    InvalidateParent();
}

void Base::MoveTo(int x, int y)
{
    x = Geometry::Position(x);
    y = Geometry::Position(y);
    if (m_restrictToParent && m_parent)
    {
        const Margin& outer = m_parent->GetMargin();
        if (x - m_padding.left < outer.left)
            x = outer.left + m_padding.left;
        if (y - m_padding.top < outer.top)
            y = outer.top + m_padding.top;
        if (m_parent->Width() - outer.right < Width() + x + m_padding.right)
            x = m_parent->Width() - outer.right - Width() - m_padding.right;
        if (m_parent->Height() - outer.bottom < Height() + y + m_padding.bottom)
            y = m_parent->Height() - outer.bottom - Height() - m_padding.bottom;
    }
    SetBounds(x, y, Width(), Height());
}

void Base::MoveBy(int dx, int dy)
{
    SetBounds(Geometry::Position(std::int64_t{X()} + dx), Geometry::Position(std::int64_t{Y()} + dy), Width(),
              Height());
}

Base* Base::GetControlAt(int x, int y)
{
    if (Hidden() || x < 0 || y < 0 || x >= Width() || y >= Height())
        return nullptr;
    for (auto child = m_children.rbegin(); child != m_children.rend(); ++child)
        if (Base* found = (*child)->GetControlAt(x - (*child)->X(), y - (*child)->Y()))
            return found;
    return GetMouseInputEnabled() ? this : nullptr;
}

void Base::OnBoundsChanged(Rect oldBounds)
{
    if (m_parent)
        m_parent->OnChildBoundsChanged(oldBounds, this);
    if (m_bounds.w != oldBounds.w || m_bounds.h != oldBounds.h)
        Invalidate();
    Redraw();
    UpdateRenderBounds();
}

void Base::OnScaleChanged()
{
    for (Base* child : m_children)
        child->OnScaleChanged();
}

void Base::UpdateRenderBounds()
{
    m_renderBounds = Rect(0, 0, m_bounds.w, m_bounds.h);
}

void Base::DoRender(Skin::Base* skin)
{
    if (m_skin)
        skin = m_skin;
    Think();
    Renderer::Base* render = skin ? skin->GetRender() : nullptr;
    if (!render)
        return;
    const Point oldOffset = render->GetRenderOffset();
    render->AddRenderOffset(m_bounds);
    RenderUnder(skin);
    const Rect oldClip = render->ClipRegion();
    render->AddClipRegion(m_bounds);
    if (render->ClipRegionVisible())
    {
        render->StartClip();
        Render(skin);
        for (Base* child : m_children)
            if (!child->Hidden())
                child->DoRender(skin);
        render->SetClipRegion(oldClip);
        render->StartClip();
        RenderOver(skin);
    }
    else
    {
        render->SetClipRegion(oldClip);
    }
    RenderFocus(skin);
    render->SetRenderOffset(oldOffset);
}

void Base::RenderFocus(Skin::Base* skin)
{
    if (KeyboardFocus != this || !IsTabable())
        return;
    skin->DrawKeyboardHighlight(this, GetRenderBounds(), 3);
}

void Base::SetHidden(bool hidden)
{
    if (m_hidden == hidden)
        return;
    m_hidden = hidden;
    Invalidate();
}

bool Base::Visible() const
{
    if (Hidden())
        return false;
    return !m_parent || m_parent->Visible();
}

void Base::SetSkin(Skin::Base* skin, bool doChildren)
{
    if (m_skin == skin)
        return;
    m_skin = skin;
    Invalidate();
    Redraw();
    OnSkinChanged(skin);
    if (doChildren)
        for (Base* child : m_children)
            child->SetSkin(skin, true);
}

Skin::Base* Base::GetSkin()
{
    if (m_skin)
        return m_skin;
    return m_parent ? m_parent->GetSkin() : nullptr;
}

bool Base::OnMouseWheeled(int delta)
{
    // Up through the controls that hold each control, so that a scroll control holding it (a list's
    // rows sit in its scroller's panel, their parent is the list) takes the wheel.
    Base* holder = Holder();
    return holder && holder->OnMouseWheeled(delta);
}

bool Base::OnKeyPress(int key, bool down)
{
    const Ref<Base> alive(this);
    bool handled = false;
    switch (key)
    {
    case Key::Return:
        handled = OnKeyReturn(down);
        break;
    case Key::Backspace:
        handled = OnKeyBackspace(down);
        break;
    case Key::Delete:
        handled = OnKeyDelete(down);
        break;
    case Key::Left:
        handled = OnKeyLeft(down);
        break;
    case Key::Right:
        handled = OnKeyRight(down);
        break;
    case Key::Tab:
        handled = OnKeyTab(down);
        break;
    case Key::Space:
        handled = OnKeySpace(down);
        break;
    case Key::Home:
        handled = OnKeyHome(down);
        break;
    case Key::End:
        handled = OnKeyEnd(down);
        break;
    case Key::Up:
        handled = OnKeyUp(down);
        break;
    case Key::Down:
        handled = OnKeyDown(down);
        break;
    case Key::Escape:
        handled = OnKeyEscape(down);
        break;
    default:
        break;
    }
    if (!handled && alive && m_parent)
        m_parent->OnKeyPress(key, down);
    return handled;
}

bool Base::OnKeyTab(bool down)
{
    if (!down)
        return true;
    Canvas* canvas = GetCanvas();
    if (Base* next = canvas ? canvas->NextTab.Get() : nullptr)
    {
        next->Focus();
        Redraw();
    }
    return true;
}

void Base::OnMouseEnter()
{
    const Ref<Base> alive(this);
    OnHoverEnter.Call(this);
    if (!alive)
        return;
    if (GetToolTip())
        ToolTip::Enable(this);
    else if (m_parent && m_parent->GetToolTip())
        ToolTip::Enable(m_parent);
}

void Base::OnMouseLeave()
{
    const Ref<Base> alive(this);
    OnHoverLeave.Call(this);
    if (!alive)
        return;
    if (GetToolTip())
        ToolTip::Disable(this);
}

bool Base::IsHovered()
{
    return HoveredControl == this;
}

bool Base::ShouldDrawHover()
{
    return MouseFocus == this || MouseFocus == nullptr;
}

void Base::Touch()
{
    if (m_parent)
        m_parent->OnChildTouched(this);
}

void Base::OnChildTouched(Base* /*child*/)
{
    Touch();
}

bool Base::IsOnTop()
{
    Base* holder = Holder();
    return holder && !holder->m_children.empty() && holder->m_children.front() == this;
}

bool Base::HasFocus()
{
    return KeyboardFocus == this;
}

void Base::Focus()
{
    if (KeyboardFocus == this)
        return;
    if (KeyboardFocus)
        KeyboardFocus->OnLostKeyboardFocus();
    KeyboardFocus = this;
    OnKeyboardFocus();
    Redraw();
}

void Base::Blur()
{
    if (KeyboardFocus != this)
        return;
    KeyboardFocus = nullptr;
    OnLostKeyboardFocus();
    Redraw();
}

void Base::Redraw()
{
    m_cacheTextureDirty = true;
    if (m_parent)
        m_parent->Redraw();
}

void Base::SetCursor(std::uint8_t cursor)
{
    m_cursor = cursor < Platform::kCursorCount ? cursor : 0;
}

void Base::UpdateCursor()
{
    Platform::SetCursor(m_cursor);
}

void Base::SetToolTip(Base* toolTip)
{
    m_toolTip = toolTip;
    if (toolTip)
    {
        toolTip->SetParent(this);
        toolTip->SetHidden(true);
    }
}

void Base::SetToolTip(const std::wstring& text)
{
    auto* label = new Label(this);
    label->SetText(text);
    label->SizeToContents();
    SetToolTip(label);
}

void Base::SetToolTip(const std::string& text)
{
    SetToolTip(Utility::StringToUnicode(text));
}

bool Base::IsMenuComponent()
{
    return m_parent && m_parent->IsMenuComponent();
}

void Base::CloseMenus()
{
    for (Base* child : m_children)
        child->CloseMenus();
}

bool Base::HandleAccelerator(const std::wstring& accelerator)
{
    if (KeyboardFocus == this || !AccelOnlyFocus())
    {
        const auto found = m_accelerators.find(accelerator);
        if (found != m_accelerators.end())
        {
            found->second->Call(this);
            return true;
        }
    }
    return std::any_of(m_children.begin(), m_children.end(),
                       [&accelerator](Base* child) { return child->HandleAccelerator(accelerator); });
}

void Base::AddAcceleratorInternal(const std::wstring& accelerator, Event::HandlerFunction function,
                                  Event::Handler* handler)
{
    auto* caller = new Event::Caller;
    caller->AddInternal(handler ? handler : this, function);
    Event::Caller*& entry = m_accelerators[accelerator];
    delete entry;
    entry = caller;
}

void Base::RecurseLayout(Skin::Base* skin)
{
    if (m_skin)
        skin = m_skin;
    if (Hidden())
        return;
    // Events fire during layout, and their handlers may change the tree or delete this control: then the
    // pass stops here, and the next one lays out the rest.
    const std::uint64_t version = g_treeVersion;
    if (m_needsLayout)
    {
        m_needsLayout = false;
        Layout(skin);
        if (g_treeVersion != version)
            return;
    }
    // The running place and size stay within the coordinate range however many children take room.
    const auto advance = [](int& value, std::int64_t by) { value = Geometry::Position(value + by); };
    int x = Geometry::Position(std::int64_t{m_renderBounds.x} + m_padding.left);
    int y = Geometry::Position(std::int64_t{m_renderBounds.y} + m_padding.top);
    int w = Geometry::Position(std::int64_t{m_renderBounds.w} - m_padding.left - m_padding.right);
    int h = Geometry::Position(std::int64_t{m_renderBounds.h} - m_padding.top - m_padding.bottom);
    for (Base* child : m_children)
    {
        const int dock = child->GetDock();
        if (child->Hidden() || dock & Pos::Fill)
            continue;
        const Margin& m = child->GetMargin();
        if (dock & Pos::Top)
        {
            child->SetBounds(x + m.left, y + m.top, w - m.left - m.right, child->Height());
            const int used = m.top + m.bottom + child->Height();
            advance(y, used);
            advance(h, -used);
        }
        if (dock & Pos::Left)
        {
            child->SetBounds(x + m.left, y + m.top, child->Width(), h - m.top - m.bottom);
            const int used = m.left + m.right + child->Width();
            advance(x, used);
            advance(w, -used);
        }
        if (dock & Pos::Right)
        {
            child->SetBounds(x + w - child->Width() - m.right, y + m.top, child->Width(),
                             h - m.top - m.bottom);
            advance(w, -(m.left + m.right + child->Width()));
        }
        if (dock & Pos::Bottom)
        {
            child->SetBounds(x + m.left, y + h - child->Height() - m.bottom, w - m.left - m.right,
                             child->Height());
            advance(h, -(child->Height() + m.bottom + m.top));
        }
        child->RecurseLayout(skin);
        if (g_treeVersion != version)
            return;
    }
    m_innerBounds = Rect(x, y, w, h);
    for (Base* child : m_children)
    {
        const int dock = child->GetDock();
        const Margin& m = child->GetMargin();
        if (dock & Pos::Fill)
        {
            child->SetBounds(x + m.left, y + m.top, w - m.left - m.right, h - m.top - m.bottom);
            child->RecurseLayout(skin);
            if (g_treeVersion != version)
                return;
        }
        if (dock & Pos::CenterH)
        {
            Rect bounds = child->GetBounds();
            bounds.x = x + m.left + (w - bounds.w) / 2;
            child->SetBounds(bounds);
        }
        if (dock & Pos::CenterV)
        {
            Rect bounds = child->GetBounds();
            bounds.y = y + m.top + (h - bounds.h) / 2;
            child->SetBounds(bounds);
        }
    }
    PostLayout(skin);
    if (g_treeVersion != version)
        return;
    Canvas* canvas = nullptr;
    if (IsTabable() || KeyboardFocus == this)
        canvas = GetCanvas();
    if (canvas && IsTabable())
    {
        if (!canvas->FirstTab)
            canvas->FirstTab = this;
        if (!canvas->NextTab)
            canvas->NextTab = this;
    }
    if (canvas && KeyboardFocus == this)
        canvas->NextTab = nullptr;
}

void Base::DragAndDrop_SetPackage(bool draggable, const std::string& name, void* userData)
{
    if (!m_dragAndDropPackage)
        m_dragAndDropPackage = new DragAndDrop::Package;
    m_dragAndDropPackage->draggable = draggable;
    m_dragAndDropPackage->name = name;
    m_dragAndDropPackage->userData = userData;
}

bool Base::DragAndDrop_Draggable()
{
    return m_dragAndDropPackage && m_dragAndDropPackage->draggable;
}

void Base::DragAndDrop_StartDragging(DragAndDrop::Package* package, int x, int y)
{
    if (!package)
        return;
    package->holdOffset = CanvasPosToLocal(Point(x, y));
    package->drawControl = this;
}

bool Base::DragAndDrop_HandleDrop(DragAndDrop::Package* /*package*/, int /*x*/, int /*y*/)
{
    if (Base* source = DragAndDrop::SourceControl())
        source->SetParent(this);
    return true;
}

void Base::Anim_WidthIn(float length, float delay, float ease)
{
    Anim::Add(this, new Anim::Size::Width(0, Width(), length, false, delay, ease));
    SetWidth(0);
}

void Base::Anim_HeightIn(float length, float delay, float ease)
{
    Anim::Add(this, new Anim::Size::Height(0, Height(), length, false, delay, ease));
    SetHeight(0);
}

void Base::Anim_WidthOut(float length, bool hide, float delay, float ease)
{
    Anim::Add(this, new Anim::Size::Width(Width(), 0, length, hide, delay, ease));
}

void Base::Anim_HeightOut(float length, bool hide, float delay, float ease)
{
    Anim::Add(this, new Anim::Size::Height(Height(), 0, length, hide, delay, ease));
}

void Base::Invalidate()
{
    m_needsLayout = true;
    m_cacheTextureDirty = true;
}

void Base::InvalidateParent()
{
    if (!m_parent)
        return;
    m_parent->m_needsLayout = true;
    m_parent->m_cacheTextureDirty = true;
}

void Base::InvalidateChildren(bool recursive)
{
    for (Base* child : m_children)
    {
        child->Invalidate();
        if (recursive)
            child->InvalidateChildren(true);
    }
    if (Base* inner = m_innerPanel.Get())
        for (Base* child : inner->m_children)
        {
            child->Invalidate();
            if (recursive)
                child->InvalidateChildren(true);
        }
}

} // namespace Controls
} // namespace Gui
