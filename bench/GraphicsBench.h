#pragma once

#include "Core/SystemManager.h"
#include "Graphics/Graphics.h"
#include "ScratchRunFolder.h"
#include "platform/core/Headless.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

// What the graphics benchmarks share: the engine's Graphics system at 800 x 600, and a bare GL window
// of the same size to draw the comparison in.
inline constexpr std::uint32_t kBenchWidth = 800;
inline constexpr std::uint32_t kBenchHeight = 600;

// A Graphics system started as the engine starts it, in the run folder, whose settings it writes (800 x
// 600); the rest of the folder (the effect "Model", textures, prototypes) is written before it.
class BenchGraphics
{
public:
    explicit BenchGraphics(const ScratchRunFolder& folder)
    {
        folder.WriteSource("Settings/Graphics.xml",
                           "<?xml version=\"1.0\" ?>\n<root><Graphics><WindowedWidth>800</WindowedWidth>"
                           "<WindowedHeight>600</WindowedHeight></Graphics></root>\n");
        m_systems = std::make_unique<Quarn::SystemManager>();
        m_graphics = std::make_unique<Quarn::Graphics>();
        m_systems->AddSystem("Graphics", m_graphics.get());
        m_graphics->Init();
        m_graphics->InitResources(m_systems->GetResourceManager());
    }
    ~BenchGraphics()
    {
        m_graphics.reset();
        m_systems.reset();
    }
    BenchGraphics(const BenchGraphics&) = delete;
    BenchGraphics& operator=(const BenchGraphics&) = delete;

    Quarn::Graphics& System() { return *m_graphics; }
    Quarn::SystemManager& Systems() { return *m_systems; }

    // Whether the last frame left more than one colour on the back buffer.
    bool DrewSomething()
    {
        Quarn::platform::gfx::Device& device = *m_graphics->GetDevice();
        std::vector<std::uint32_t> pixels;
        device.ReadSurface(*device.GetBackBuffer(), pixels);
        return std::count(pixels.begin(), pixels.end(), pixels.front()) !=
               static_cast<std::ptrdiff_t>(pixels.size());
    }

private:
    std::unique_ptr<Quarn::SystemManager> m_systems;
    std::unique_ptr<Quarn::Graphics> m_graphics;
};

// A hidden 800 x 600 window with a current OpenGL 4.5 core context that swaps without waiting.
class BareGlWindow
{
public:
    BareGlWindow()
    {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        m_window =
            SDL_CreateWindow("", 0, 0, kBenchWidth, kBenchHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        m_context = m_window ? SDL_GL_CreateContext(m_window) : nullptr;
        if (m_context)
            SDL_GL_SetSwapInterval(0);
    }
    ~BareGlWindow()
    {
        if (m_context)
            SDL_GL_DeleteContext(m_context);
        if (m_window)
            SDL_DestroyWindow(m_window);
    }
    BareGlWindow(const BareGlWindow&) = delete;
    BareGlWindow& operator=(const BareGlWindow&) = delete;

    explicit operator bool() const { return m_context != nullptr; }
    // Shows the frame and finishes it: Mesa renders on threads of its own, and a frame nobody waits for
    // would not be counted.
    void SwapAndFinish()
    {
        SDL_GL_SwapWindow(m_window);
        glFinish();
    }

private:
    SDL_Window* m_window = nullptr;
    SDL_GLContext m_context = nullptr;
};

// A program of the two stages' sources, linked; the shaders go once it holds them.
inline GLuint LinkProgram(const char* vertexSource, const char* fragmentSource)
{
    const GLuint program = glCreateProgram();
    for (const auto& [stage, source] :
         {std::pair{GL_VERTEX_SHADER, vertexSource}, {GL_FRAGMENT_SHADER, fragmentSource}})
    {
        const GLuint shader = glCreateShader(stage);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

// Frames per second, as the rate of iterations.
inline void CountFrames(benchmark::State& state);

// The engine's frames, each finished on the engine's context (current on this thread) as the bare side
// finishes its own; skipped when there is no device or the frames drew nothing.
inline void RunEngineFrames(benchmark::State& state, BenchGraphics& game)
{
    if (!game.System().GetDevice())
    {
        state.SkipWithError("no graphics device");
        return;
    }
    for (auto _ : state)
    {
        game.System().Update(0.016f);
        glFinish();
    }
    if (!game.DrewSomething())
        state.SkipWithError("the frames drew nothing");
    CountFrames(state);
}

// Frames per second, as the rate of iterations.
inline void CountFrames(benchmark::State& state)
{
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The graphics benchmarks' main: offscreen, as a headless game draws, so they run without a display.
inline int RunOffscreenBenchmarks(int argc, char** argv)
{
    Quarn::platform::SetHeadless(true);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
