#pragma once

#include "widgets/Controls/Canvas.h"
#include "widgets/Input.h"
#include "widgets/Platform.h"
#include "widgets/RecordingRenderer.h"
#include "widgets/Skin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace Gui::test
{

// A solid rectangle as the recording back end received it: two triangles of one colour (a r g b packed
// from the top byte down).
struct DrawnRect
{
    Rect rect;
    std::uint32_t colour = 0;
    friend bool operator==(const DrawnRect&, const DrawnRect&) = default;
};

inline std::vector<DrawnRect> DrawnRects(const Renderer::RecordingBackend& recorder)
{
    std::vector<DrawnRect> rects;
    for (std::size_t i = 0; i + 6 <= recorder.vertices.size(); i += 6)
    {
        const Renderer::Vertex& topLeft = recorder.vertices[i];
        const Renderer::Vertex& bottomRight = recorder.vertices[i + 4];
        rects.push_back(
            {Rect(static_cast<int>(topLeft.x), static_cast<int>(topLeft.y),
                  static_cast<int>(bottomRight.x - topLeft.x), static_cast<int>(bottomRight.y - topLeft.y)),
             topLeft.colour});
    }
    return rects;
}

inline std::uint32_t Argb(const Color& colour)
{
    return std::uint32_t{colour.a} << 24 | std::uint32_t{colour.r} << 16 | std::uint32_t{colour.g} << 8 |
           colour.b;
}

// Counts the times the events it is linked to fire.
struct EventCounter : Event::Handler
{
    void Count(Controls::Base*) { ++count; }
    int count = 0;
};

// A canvas of 800 x 600 on a skin that draws through a recording renderer, with the fake platform host
// (its clock moved by hand) and fresh input state. SkinType is the skin under test.
template <class SkinType = Skin::Base> class CanvasTest : public ::testing::Test
{
protected:
    CanvasTest()
    {
        skin.SetRender(&renderer);
        Platform::SetHost(&host);
        Input::Reset();
        canvas = new Controls::Canvas(&skin);
        canvas->SetSize(800, 600);
    }

    ~CanvasTest() override
    {
        delete canvas;
        Platform::SetHost(nullptr);
        Input::Reset();
    }

    void MoveTo(int x, int y) { canvas->InputMouseMoved(x, y, 0, 0); }

    void Click(int x, int y, int button = 0)
    {
        MoveTo(x, y);
        canvas->InputMouseButton(button, true);
        canvas->InputMouseButton(button, false);
    }

    // Moves the host clock in steps the library's clock follows whole (it takes at most 0.1 s a reading).
    void AdvanceClock(double seconds)
    {
        for (; seconds > 0.0; seconds -= 0.05)
        {
            host.seconds += std::min(seconds, 0.05);
            Platform::GetTimeInSeconds();
        }
    }

    // Moves the host clock and lets the canvas think once.
    void Think(double seconds)
    {
        host.seconds += seconds;
        canvas->DoThink();
    }

    Renderer::RecordingBackend& Recorder() { return renderer.Recorder(); }

    Renderer::Recording renderer;
    SkinType skin;
    Platform::Fake host;
    Controls::Canvas* canvas = nullptr;
};

} // namespace Gui::test
