// The cost of an empty frame on the graphics device (clear the 800 x 600 back buffer, Present), beside a
// bare OpenGL program that clears a window of the same size and swaps, in the same run, offscreen on
// Mesa, over wall time (Mesa renders on threads of its own). The device's Present adds the blit of its
// offscreen back buffer to the window.
#include "platform/gfx/gl/GlDevice.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdlib>
#include <string>

namespace
{

using namespace Quarn::platform::gfx;

constexpr std::uint32_t kWidth = 800;
constexpr std::uint32_t kHeight = 600;

void DeviceClearAndPresent(benchmark::State& state)
{
    std::string error;
    auto device = CreateGlDevice(nullptr, {kWidth, kHeight, true, false}, error);
    if (!device)
    {
        state.SkipWithError(error.c_str());
        return;
    }
    std::uint8_t shade = 0;
    for (auto _ : state)
    {
        device->Clear({}, kClearTarget | kClearDepth | kClearStencil, PackColour(255, shade++, 40, 80), 1.0f,
                      0);
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
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace

BENCHMARK(DeviceClearAndPresent)->Iterations(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BareClearAndSwap)->Iterations(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    // Offscreen unless told otherwise, so the comparison runs without a display.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
