#pragma once

#include "widgets/Controls/Base.h"

#include <set>

namespace Gui::Controls
{

// The root of a widget tree: it holds the tree's skin, thinks and lays the tree out every frame, draws it,
// deletes the controls that asked for delayed deletion, and takes all mouse, keyboard and character
// input. Each input entry point answers whether the widgets used the event.
class Canvas : public Base
{
public:
    explicit Canvas(Skin::Base* skin);
    // Controls still queued for delayed deletion go first.
    ~Canvas() override;

    virtual void Initialize() {}
    // The frame: think, lay out, draw, then the delayed deletes. A canvas asked to delete itself goes as
    // its frame ends: the caller must not touch it after RenderCanvas or DoThink returns (the destroyed
    // event tells a host).
    virtual void RenderCanvas();
    virtual void DoThink();
    virtual bool NeedsRedraw() { return m_needsRedraw; }
    // A scale that is not a finite number above 0 is ignored.
    virtual void SetScale(float scale);
    virtual float Scale() const { return m_scale; }
    // Deletes every child, then the canvas; inside an event or a frame, the canvas goes after it instead.
    virtual void Release();
    // The control is deleted at the next safe point; the canvas itself goes after its frame (null:
    // nothing).
    virtual void AddDelayedDelete(Base* control);
    // Deletes the queued controls, and the canvas when it asked to go; nothing while an event or this
    // canvas's frame runs (the frame deletes them itself when it is not inside an event).
    virtual void ProcessDelayedDeletes();

    virtual bool InputMouseMoved(int x, int y, int dx, int dy);
    virtual bool InputMouseButton(int button, bool down);
    virtual bool InputKey(int key, bool down);
    virtual bool InputCharacter(wchar_t character);
    virtual bool InputMouseWheel(int delta);

    Canvas* GetCanvas() override { return this; }
    // A canvas is a root: it only leaves a parent (null), never takes one.
    void SetParent(Base* parent) override;
    void OnBoundsChanged(Rect oldBounds) override;
    void Render(Skin::Base* skin) override;
    void Redraw() override { m_needsRedraw = true; }

    // Drops a control being destroyed from the delayed-delete queue.
    void PreDeleteCanvas(Base* control);

    Ref<Base> FirstTab;
    Ref<Base> NextTab;

private:
    class Frame;

    // Lays the tree out with fresh tab controls, wrapping the next one to the first.
    void LayoutWithTabOrder(Skin::Base* skin);
    // Deletes the queued controls, whoever runs.
    void DeleteQueued();
    // A frame's own deletes: skipped when a script started the frame from inside an event.
    void DeleteQueuedOutsideEvents();
    // Deletes the canvas when it asked to go and nothing of it runs; the last thing its caller does.
    void DeleteIfAsked();

    bool m_needsRedraw = true;
    bool m_deletePending = false;
    bool m_deleteSelf = false;
    // Frames of this canvas running (a script may start one from inside another's event).
    int m_frames = 0;
    float m_scale = 1.0f;
    List m_delayedDeletes;
    std::set<Base*> m_deleteSet;
};

} // namespace Gui::Controls
