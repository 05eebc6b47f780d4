// A canvas of buttons and check boxes in the engine's skin, drawn whole every frame: CPU time per frame
// (think, layout, draw), draw calls per frame and the canvas's heap allocations per frame, unchanged, with
// the recording back end (nothing drawn) and with the GL device, side by side.

#include "GraphicsBench.h"
#include "UI/Skin/BWSkin.h"
#include "platform/gfx/gl/GlDevice.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/CheckBox.h"
#include "widgets/RecordingRenderer.h"
#include "widgets/device/DeviceBackend.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace
{

std::atomic<std::size_t> g_allocations{0};

} // namespace

// Every allocation is counted; the replacements pair malloc with free, which the compiler cannot see.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
#pragma GCC diagnostic pop

namespace
{

namespace gfx = Quarn::platform::gfx;

// Half buttons, half check boxes, in rows filling the 800 x 600 canvas.
void FillCanvas(Gui::Controls::Canvas& canvas, int controls)
{
    const int columns = controls <= 100 ? 10 : 25;
    const int cellWidth = kBenchWidth / columns;
    const int rows = (controls + columns - 1) / columns;
    const int cellHeight = std::max(1, static_cast<int>(kBenchHeight) / rows);
    for (int i = 0; i < controls; ++i)
    {
        const int x = i % columns * cellWidth;
        const int y = i / columns * cellHeight;
        if (i % 2 == 0)
        {
            auto* button = new Gui::Controls::Button(&canvas);
            button->SetText("Go " + std::to_string(i));
            button->SetBounds(x + 1, y + 1, cellWidth - 2, std::max(1, cellHeight - 2));
        }
        else
        {
            auto* box = new Gui::Controls::CheckBox(&canvas);
            box->SetPos(x + 2, y + 2);
            box->SetChecked(i % 4 == 1);
        }
    }
}

// The canvas's frame (think, layout, draw), counting the heap allocations it makes.
void DrawCanvas(Gui::Controls::Canvas& canvas, std::size_t& allocations)
{
    const std::size_t before = g_allocations;
    canvas.RenderCanvas();
    allocations = g_allocations - before;
}

// Times frames after two unmeasured ones, and reports the canvas's heap allocations and the draw calls of
// the last.
template <class Frame>
void RunFrames(benchmark::State& state, Frame frame, const std::size_t& allocations,
               const std::size_t* drawCalls)
{
    frame();
    frame();
    std::size_t draws = 0;
    for (auto _ : state)
    {
        const std::size_t drawsBefore = drawCalls ? *drawCalls : 0;
        frame();
        draws = drawCalls ? *drawCalls - drawsBefore : 0;
    }
    state.counters["allocs/frame"] = static_cast<double>(allocations);
    if (drawCalls)
        state.counters["draws/frame"] = static_cast<double>(draws);
}

// The recording back end logs every call (its log lines are the allocations counted on this side); the
// log is emptied each frame, and the draw calls are the triangle runs and texts the renderer hands its back
// end, each of which was a device draw before the device back end joined them.
void BM_GuiFrameRecording(benchmark::State& state)
{
    Gui::Renderer::Recording renderer;
    Quarn::BWSkin skin;
    skin.SetRender(&renderer);
    auto* canvas = new Gui::Controls::Canvas(&skin);
    canvas->SetSize(kBenchWidth, kBenchHeight);
    FillCanvas(*canvas, static_cast<int>(state.range(0)));
    std::size_t drawCalls = 0;
    std::size_t allocations = 0;
    auto& recorder = renderer.Recorder();
    recorder.log.reserve(1 << 16);
    recorder.vertices.reserve(1 << 20);
    RunFrames(
        state,
        [&]
        {
            recorder.log.clear();
            recorder.vertices.clear();
            DrawCanvas(*canvas, allocations);
            for (const std::string& call : recorder.log)
                drawCalls += call.starts_with("triangles") || call.starts_with("text");
        },
        allocations, &drawCalls);
    delete canvas;
}

// The GL device draws offscreen; each frame is presented and finished. The draw calls are the device
// draws the renderer made.
void BM_GuiFrameGl(benchmark::State& state)
{
    std::string error;
    gfx::GlWindow opened = gfx::OpenGlWindow({"", kBenchWidth, kBenchHeight}, error);
    std::unique_ptr<gfx::Device>& device = opened.device;
    if (!device)
    {
        state.SkipWithError(("no GL device: " + error).c_str());
        return;
    }
    {
        Gui::Renderer::Device renderer(*device);
        Quarn::BWSkin skin;
        skin.SetRender(&renderer);
        auto* canvas = new Gui::Controls::Canvas(&skin);
        canvas->SetSize(kBenchWidth, kBenchHeight);
        FillCanvas(*canvas, static_cast<int>(state.range(0)));
        std::size_t allocations = 0;
        std::size_t drawCalls = 0;
        RunFrames(
            state,
            [&]
            {
                device->BeginScene();
                device->Clear({}, gfx::kClearTarget, 0xFF191919u, 1.0f, 0);
                DrawCanvas(*canvas, allocations);
                drawCalls = renderer.DrawCalls();
                device->EndScene();
                device->Present();
                glFinish();
            },
            allocations, &drawCalls);
        delete canvas;
    }
    device.reset();
}

BENCHMARK(BM_GuiFrameRecording)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuiFrameGl)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
