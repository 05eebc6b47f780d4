#pragma once

#include "widgets/Controls/Base.h"
#include "widgets/Structures.h"

#include <string>

namespace Gui
{

namespace Controls
{
class Canvas;
} // namespace Controls

namespace Skin
{
class Base;
}

// Dragging a control's package onto controls that accept it, with the dragged control drawn under the
// pointer. A drag starts once the pointer has moved 5 pixels (|dx| + |dy|) from a press on a draggable
// control.
namespace DragAndDrop
{

struct Package
{
    std::string name;
    void* userData = nullptr;
    bool draggable = false;
    Controls::Ref<Controls::Base> drawControl;
    Point holdOffset;
};

inline constexpr int kStartDistance = 5;

// True when the button event is consumed (a release ending a drag).
bool OnMouseButton(Controls::Base* hovered, int x, int y, bool down);
void OnMouseMoved(Controls::Base* hovered, int x, int y);
void RenderOverlay(Controls::Canvas* canvas, Skin::Base* skin);
// Begins a drag of the control's package when none is running (null control or package: nothing).
bool Start(Controls::Base* control, Package* package);

// The package being dragged and the control it comes from, or null. A drag whose source has gone is
// over.
Package* CurrentPackage();
Controls::Base* SourceControl();

} // namespace DragAndDrop

// The hovered control's tool-tip, shown centred above the pointer and kept inside the canvas.
namespace ToolTip
{

void Enable(Controls::Base* control);
void Disable(Controls::Base* control);
void RenderToolTip(Skin::Base* skin);
// The control whose tool-tip shows, or null.
Controls::Base* Owner();

} // namespace ToolTip

// The inside rectangle moved (or, with clampSize, shrunk) into the outside one.
Rect ClampRectToRect(Rect inside, Rect outside, bool clampSize = false);

} // namespace Gui
