// The cost of an empty frame at 800 x 600, offscreen on Mesa, over wall time (Mesa renders on threads
// of its own), in one run: the Graphics system's whole frame (Graphics::Update: its stages, an effect
// whose script only clears, "RenderUI" and Present), the device alone clearing and presenting, and a
// bare OpenGL program that clears a window of the same size and swaps. The device's Present adds the
// blit of its offscreen back buffer to the window.
#include "Core/OutputHandler.h"
#include "GraphicsBench.h"
#include "platform/gfx/EffectFile.h"
#include "platform/gfx/gl/GlDevice.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace
{

using namespace Quarn;
namespace gfx = platform::gfx;

// The Graphics system in a run folder of its own, with an effect "Model" whose script only clears the
// back buffer.
class GraphicsRun
{
public:
    GraphicsRun()
    {
        m_folder.WriteWorking(
            "Effects/Model.fxo",
            gfx::CompiledEffect(
                "float Script : STANDARDSGLOBAL < string Script = \"Technique=Main;\"; > = 0.8;\n"
                "float4 Back = {0.0941, 0.1882, 0.3137, 1};\n"
                "technique Main < string Script = \"ClearSetColor=Back;Clear=Color;\"; > { }\n"));
        m_game.emplace(m_folder);
    }

    Graphics& System() { return m_game->System(); }

private:
    ScratchRunFolder m_folder{"quarn_bench_empty_frame"};
    std::optional<BenchGraphics> m_game;
};

void GraphicsUpdate(benchmark::State& state)
{
    OutputHandler output(false);
    GraphicsRun run;
    if (!run.System().GetDevice())
    {
        state.SkipWithError("no graphics device");
        return;
    }
    for (auto _ : state)
        run.System().Update(0.016f);
}

void DeviceClearAndPresent(benchmark::State& state)
{
    std::string error;
    auto device = gfx::CreateGlDevice(nullptr, {kBenchWidth, kBenchHeight, true, false}, error);
    if (!device)
    {
        state.SkipWithError(error.c_str());
        return;
    }
    std::uint8_t shade = 0;
    for (auto _ : state)
    {
        device->Clear({}, gfx::kClearTarget | gfx::kClearDepth | gfx::kClearStencil,
                      gfx::PackColour(255, shade++, 40, 80), 1.0f, 0);
        device->Present();
    }
}

void BareClearAndSwap(benchmark::State& state)
{
    BareGlWindow window;
    if (!window)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    std::uint8_t shade = 0;
    for (auto _ : state)
    {
        glClearColor(static_cast<float>(shade++) / 255.0f, 40.0f / 255.0f, 80.0f / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        window.SwapAndFinish();
    }
}

} // namespace

BENCHMARK(GraphicsUpdate)->Iterations(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(DeviceClearAndPresent)->Iterations(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BareClearAndSwap)->Iterations(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
