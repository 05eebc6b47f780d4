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
    // The frame: think, lay out, draw, then the delayed deletes.
    virtual void RenderCanvas();
    virtual void DoThink();
    virtual bool NeedsRedraw() { return m_needsRedraw; }
    virtual void SetScale(float scale);
    virtual float Scale() const { return m_scale; }
    // Deletes every child, then the canvas.
    virtual void Release();
    virtual void AddDelayedDelete(Base* control);
    virtual void ProcessDelayedDeletes();

    virtual bool InputMouseMoved(int x, int y, int dx, int dy);
    virtual bool InputMouseButton(int button, bool down);
    virtual bool InputKey(int key, bool down);
    virtual bool InputCharacter(wchar_t character);
    virtual bool InputMouseWheel(int delta);

    Canvas* GetCanvas() override { return this; }
    void OnBoundsChanged(Rect oldBounds) override;
    void Render(Skin::Base* skin) override;
    void Redraw() override { m_needsRedraw = true; }

    // Drops a control being destroyed from the delayed-delete queue.
    void PreDeleteCanvas(Base* control);

    Base* FirstTab = nullptr;
    Base* NextTab = nullptr;

private:
    // Lays the tree out with fresh tab controls, wrapping the next one to the first.
    void LayoutWithTabOrder(Skin::Base* skin);

    bool m_needsRedraw = true;
    bool m_deletePending = false;
    float m_scale = 1.0f;
    List m_delayedDeletes;
    std::set<Base*> m_deleteSet;
};

} // namespace Gui::Controls
