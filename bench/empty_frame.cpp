// The cost of an empty frame at 800 x 600, offscreen on Mesa, over wall time (Mesa renders on threads
// of its own), in one run: the Graphics system's whole frame (Graphics::Update: its stages, an effect
// whose script only clears, "RenderUI" and Present), the device alone clearing and presenting, and a
// bare OpenGL program that clears a window of the same size and swaps. The device's Present adds the
// blit of its offscreen back buffer to the window.
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Graphics.h"
#include "ScratchRunFolder.h"
#include "platform/core/Headless.h"
#include "platform/gfx/EffectFile.h"
#include "platform/gfx/gl/GlDevice.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace
{

using namespace Quarn;
namespace gfx = platform::gfx;

constexpr std::uint32_t kWidth = 800;
constexpr std::uint32_t kHeight = 600;

// The Graphics system in a run folder of its own, with 800 x 600 settings and an effect "Model" whose
// script only clears the back buffer.
class GraphicsRun
{
public:
    GraphicsRun()
    {
        m_folder.WriteSource("Settings/Graphics.xml",
                             "<?xml version=\"1.0\" ?>\n<root><Graphics><WindowedWidth>800</WindowedWidth>"
                             "<WindowedHeight>600</WindowedHeight></Graphics></root>\n");
        m_folder.WriteWorking(
            "Effects/Model.fxo",
            gfx::CompiledEffect(
                "float Script : STANDARDSGLOBAL < string Script = \"Technique=Main;\"; > = 0.8;\n"
                "float4 Back = {0.0941, 0.1882, 0.3137, 1};\n"
                "technique Main < string Script = \"ClearSetColor=Back;Clear=Color;\"; > { }\n"));
        m_systems = std::make_unique<SystemManager>();
        m_graphics = std::make_unique<Graphics>();
        m_systems->AddSystem("Graphics", m_graphics.get());
        m_graphics->Init();
        m_graphics->InitResources(m_systems->GetResourceManager());
    }

    ~GraphicsRun()
    {
        m_graphics.reset();
        m_systems.reset();
    }

    Graphics& System() { return *m_graphics; }

private:
    ScratchRunFolder m_folder{"quarn_bench_empty_frame"};
    std::unique_ptr<SystemManager> m_systems;
    std::unique_ptr<Graphics> m_graphics;
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
    auto device = gfx::CreateGlDevice(nullptr, {kWidth, kHeight, true, false}, error);
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
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_CreateWindow("", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    SDL_GL_SetSwapInterval(0);
    std::uint8_t shade = 0;
    for (auto _ : state)
    {
        glClearColor(static_cast<float>(shade++) / 255.0f, 40.0f / 255.0f, 80.0f / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        // Mesa defers a clear nobody reads; finishing makes the bare side do its frame's work.
        glFinish();
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
}

} // namespace

BENCHMARK(GraphicsUpdate)->Iterations(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(DeviceClearAndPresent)->Iterations(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BareClearAndSwap)->Iterations(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    // Offscreen, as a headless game draws, so the comparison runs without a display.
    platform::SetHeadless(true);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
