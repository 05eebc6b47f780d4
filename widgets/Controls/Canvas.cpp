#include "widgets/Controls/Canvas.h"

#include "widgets/Anim.h"
#include "widgets/DragAndDrop.h"
#include "widgets/Geometry.h"
#include "widgets/Input.h"
#include "widgets/Renderer.h"
#include "widgets/Skin.h"

#include <cmath>

namespace Gui::Controls
{

namespace
{

// Whether a character can be typed into a control: not a C0 or C1 control code, DEL, a surrogate or past
// Unicode. (The C library's iswprint depends on the process locale, which a game does not set.)
bool IsPrintable(wchar_t character)
{
    const auto code = static_cast<std::uint32_t>(character);
    if (code < 0x20 || (code >= 0x7F && code < 0xA0))
        return false;
    return (code < 0xD800 || code > 0xDFFF) && code <= 0x10FFFF;
}

} // namespace

// Marks a frame of the canvas as running.
class Canvas::Frame
{
public:
    explicit Frame(Canvas& canvas) : m_canvas(canvas) { ++m_canvas.m_frames; }
    ~Frame() { --m_canvas.m_frames; }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

private:
    Canvas& m_canvas;
};

Canvas::Canvas(Skin::Base* skin) : Base(nullptr)
{
    SetBounds(0, 0, 10000, 10000);
    SetSkin(skin, false);
    SetScale(1.0f);
}

Canvas::~Canvas()
{
    // A control queued after it was detached is no longer reached through the children.
    DeleteQueued();
}

void Canvas::SetParent(Base* parent)
{
    if (!parent)
        Base::SetParent(nullptr);
}

void Canvas::RenderCanvas()
{
    {
        const Frame frame(*this);
        DoThink();
        Skin::Base* skin = GetSkin();
        Renderer::Base* render = skin ? skin->GetRender() : nullptr;
        if (render)
        {
            render->Begin();
            LayoutWithTabOrder(skin);
            render->SetClipRegion(GetBounds());
            render->SetRenderOffset(Point(0, 0));
            render->SetScale(Scale());
            DoRender(skin);
            DragAndDrop::RenderOverlay(this, skin);
            ToolTip::RenderToolTip(skin);
            render->EndClip();
            render->End();
        }
        DeleteQueuedOutsideEvents();
    }
    DeleteIfAsked();
}

void Canvas::DoThink()
{
    {
        const Frame frame(*this);
        if (!Hidden())
        {
            Anim::Think();
            DeleteQueuedOutsideEvents();
            LayoutWithTabOrder(GetSkin());
            Input::OnCanvasThink(this);
        }
    }
    DeleteIfAsked();
}

void Canvas::LayoutWithTabOrder(Skin::Base* skin)
{
    NextTab = nullptr;
    FirstTab = nullptr;
    RecurseLayout(skin);
    if (!NextTab)
        NextTab = FirstTab;
}

void Canvas::SetScale(float scale)
{
    // Drawing divides by the scale and sizes fonts by it: it stays a finite number above 0.
    if (m_scale == scale || !std::isfinite(scale) || scale <= 0.0f)
        return;
    m_scale = scale;
    if (Skin::Base* skin = GetSkin(); skin && skin->GetRender())
        skin->GetRender()->SetScale(scale);
    OnScaleChanged();
    Redraw();
}

void Canvas::Release()
{
    if (m_frames > 0 || Event::CallDepth() > 0)
    {
        m_deleteSelf = true;
        return;
    }
    while (!m_children.empty())
    {
        Base* child = m_children.front();
        RemoveChild(child);
        delete child;
    }
    delete this;
}

void Canvas::AddDelayedDelete(Base* control)
{
    if (!control || control->BeingDestroyed())
        return;
    // A canvas goes after its own frame, whichever canvas was asked.
    if (auto* canvas = dynamic_cast<Canvas*>(control))
    {
        canvas->m_deleteSelf = true;
        return;
    }
    if (m_deleteSet.contains(control))
        return;
    m_deletePending = true;
    m_deleteSet.insert(control);
    m_delayedDeletes.push_back(control);
    control->m_deleteQueue = this;
}

void Canvas::PreDeleteCanvas(Base* control)
{
    if (!m_deletePending || !m_deleteSet.erase(control))
        return;
    m_delayedDeletes.remove(control);
    m_deletePending = !m_deleteSet.empty();
    control->m_deleteQueue = nullptr;
}

void Canvas::ProcessDelayedDeletes()
{
    // The control whose event is running, or whose code the frame is in, may be queued: it goes at the
    // next safe point.
    if (Event::CallDepth() > 0 || m_frames > 0)
        return;
    DeleteQueued();
    DeleteIfAsked();
}

void Canvas::DeleteQueuedOutsideEvents()
{
    if (Event::CallDepth() == 0)
        DeleteQueued();
}

void Canvas::DeleteIfAsked()
{
    if (m_deleteSelf && m_frames == 0 && Event::CallDepth() == 0)
        delete this;
}

void Canvas::DeleteQueued()
{
    // One at a time, the rest still queued: a control whose ancestor is deleted first leaves the queue
    // as it goes, and deletes queued meanwhile join the end.
    while (!m_delayedDeletes.empty())
    {
        Base* control = m_delayedDeletes.front();
        m_delayedDeletes.pop_front();
        m_deleteSet.erase(control);
        m_deletePending = !m_deleteSet.empty();
        control->m_deleteQueue = nullptr;
        delete control;
    }
}

bool Canvas::InputMouseMoved(int x, int y, int dx, int dy)
{
    if (Hidden())
        return false;
    x = Geometry::Position(x);
    y = Geometry::Position(y);
    Input::OnMouseMoved(this, x, y, dx, dy);
    if (!HoveredControl || HoveredControl == this || HoveredControl->GetCanvas() != this)
        return false;
    HoveredControl->OnMouseMoved(x, y, dx, dy);
    // Its handlers may have deleted it.
    if (HoveredControl)
        HoveredControl->UpdateCursor();
    DragAndDrop::OnMouseMoved(HoveredControl, x, y);
    return true;
}

bool Canvas::InputMouseButton(int button, bool down)
{
    if (Hidden() || button < 0)
        return false;
    return Input::OnMouseClicked(this, button, down);
}

bool Canvas::InputKey(int key, bool down)
{
    if (Hidden() || key < 0 || key >= Key::Count)
        return false;
    return Input::OnKeyEvent(this, key, down);
}

bool Canvas::InputCharacter(wchar_t character)
{
    if (Hidden() || !IsPrintable(character))
        return false;
    if (Input::HandleAccelerator(this, character))
        return true;
    if (!KeyboardFocus || KeyboardFocus->GetCanvas() != this || !KeyboardFocus->Visible())
        return false;
    if (Input::IsControlDown())
        return false;
    return KeyboardFocus->OnChar(character);
}

bool Canvas::InputMouseWheel(int delta)
{
    if (Hidden() || !HoveredControl || HoveredControl == this || HoveredControl->GetCanvas() != this)
        return false;
    return HoveredControl->OnMouseWheeled(delta);
}

void Canvas::OnBoundsChanged(Rect oldBounds)
{
    Base::OnBoundsChanged(oldBounds);
    InvalidateChildren(true);
}

void Canvas::Render(Skin::Base* /*skin*/)
{
    m_needsRedraw = false;
}

} // namespace Gui::Controls
