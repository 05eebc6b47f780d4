// N live particles at 800 x 600, offscreen on Mesa, over wall time, in one run: the engine's particle
// frame (emitters stepping their particles, the draw groups building and uploading the point vertices,
// an effect "Model" whose script clears and draws the group "particles" as point sprites, Present) beside
// a bare OpenGL program that moves the same N points on the CPU, uploads them and draws them as one
// point list of the same sprite. Frames per second are reported as the rate of iterations.
#include "Audio/Audio.h"
#include "Core/OutputHandler.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "Graphics/ParticleEmitter.h"
#include "GraphicsBench.h"
#include "Physics/Physics.h"
#include "platform/gfx/DdsFile.h"
#include "platform/gfx/EffectFile.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace
{

using namespace Quarn;
namespace gfx = platform::gfx;

constexpr std::uint32_t kSprite = 16;
constexpr std::size_t kEmitters = 100;

// A soft round sprite, white with the alpha falling off from the centre.
std::vector<std::uint8_t> SpriteTexels()
{
    std::vector<std::uint8_t> texels;
    for (std::uint32_t y = 0; y < kSprite; ++y)
        for (std::uint32_t x = 0; x < kSprite; ++x)
        {
            const float d = std::hypot((static_cast<float>(x) + 0.5f) / kSprite * 2.0f - 1.0f,
                                       (static_cast<float>(y) + 0.5f) / kSprite * 2.0f - 1.0f);
            texels.insert(texels.end(),
                          {255, 255, 255, static_cast<std::uint8_t>(255.0f * std::max(0.0f, 1.0f - d))});
        }
    return texels;
}

// The Graphics system with N particles alive in kEmitters emitters spread over the screen (particles
// that live for ever, moving outwards), in a run folder of its own.
class ParticleRun
{
public:
    explicit ParticleRun(std::size_t count)
    {
        m_folder.WriteWorking("Effects/Model.fxo", gfx::CompiledEffect(R"(
float Script : STANDARDSGLOBAL < string Script = "Technique=Main;"; > = 0.8;
texture ParticleTexture : TEXTURE;
float4 Back = {0.0941, 0.1882, 0.3137, 1};
technique Main < string Script = "ClearSetColor=Back; Clear=Color; Pass=Particles;"; >
{
    pass Particles < string Script = "Draw=Particles;"; >
    {
        ZEnable = false; AlphaBlendEnable = true;
        VertexShader = glsl {
            layout(location = IN_POSITION) in vec3 position;
            layout(location = IN_COLOR0) in vec4 colour;
            layout(location = IN_PSIZE) in float size;
            layout(location = 0) out vec4 vColour;
            void main()
            {
                gl_Position = vec4(position.xy, 0.5, 1.0);
                gl_PointSize = size;
                vColour = colour;
            }
        };
        PixelShader = glsl {
            layout(location = 0) in vec4 vColour;
            layout(location = 0) out vec4 result;
            void main() { result = texture(ParticleTexture, gl_PointCoord) * vColour; }
        };
    }
}
)"));
        const std::vector<std::uint8_t> dds =
            gfx::WriteDds(gfx::Format::A8R8G8B8, kSprite, kSprite, {SpriteTexels()});
        m_folder.WriteWorking("Textures/Spark.dds", std::string(dds.begin(), dds.end()));
        m_folder.WriteSource(
            "Objects/Fountain.xml",
            "<?xml version=\"1.0\" ?>\n<root><Object><Transform/><ParticleEmitter>"
            "<ParticleLife><Value>1000000</Value></ParticleLife><EmitSpeed>1</EmitSpeed>"
            "<Force><Force><Time>0</Time><Value>0.01</Value></Force></Force>"
            "<EmissionAngle><Min>0</Min><Max>6.28</Max></EmissionAngle>"
            "<Size><Size><Time>0</Time><Value>4</Value></Size></Size>"
            "<Visibility><Visibility><Time>0</Time><Value>0.8</Value></Visibility></Visibility>"
            "<Texture>Spark</Texture><Blending>1</Blending><Correct>1</Correct>"
            "</ParticleEmitter></Object></root>\n");
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        m_game.emplace(m_folder);
        // Each emitter is filled at once: a burst of its share, then no more emission.
        for (std::size_t e = 0; e < kEmitters; ++e)
        {
            GameObject* fountain = m_game->Systems().GetGameObjectManager().CreateGameObject("Fountain");
            ParticleEmitter& emitter = *fountain->Get<ParticleEmitter>();
            emitter.m_quantity = static_cast<std::uint32_t>(count / kEmitters);
            emitter.m_emitSpeed = 1.0e9f;
            emitter.Emit(1.0f);
            emitter.m_emitSpeed = 0.0f;
        }
    }

    BenchGraphics& Game() { return *m_game; }

private:
    ScratchRunFolder m_folder{"quarn_bench_particles"};
    std::optional<BenchGraphics> m_game;
};

void Engine(benchmark::State& state)
{
    OutputHandler output(false);
    ParticleRun run(static_cast<std::size_t>(state.range(0)));
    RunEngineFrames(state, run.Game());
}

void BarePoints(benchmark::State& state)
{
    BareGlWindow window;
    if (!window)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    const GLuint program = LinkProgram(R"(#version 450 core
        layout(location = 0) in vec3 position;
        layout(location = 1) in vec4 colour;
        layout(location = 2) in float size;
        layout(location = 0) out vec4 vColour;
        void main() { gl_Position = vec4(position.xy, 0.5, 1.0); gl_PointSize = size; vColour = colour; })",
                                       R"(#version 450 core
        layout(location = 0) in vec4 vColour;
        layout(location = 0) out vec4 result;
        layout(binding = 0) uniform sampler2D image;
        void main() { result = texture(image, gl_PointCoord) * vColour; })");
    glUseProgram(program);
    glEnable(GL_PROGRAM_POINT_SIZE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);

    struct Point
    {
        float x, y, z, r, g, b, a, size, dx, dy;
    };
    const auto count = static_cast<std::size_t>(state.range(0));
    std::vector<Point> points(count);
    std::uint32_t seed = 7;
    for (Point& point : points)
    {
        seed = seed * 1664525u + 1013904223u;
        const float angle = static_cast<float>(seed >> 8) / static_cast<float>(1u << 24) * 6.28f;
        point = {0, 0, 0, 1, 1, 1, 0.8f, 4, std::cos(angle) * 0.01f, std::sin(angle) * 0.01f};
    }
    // The vertices as the engine lays them out: position, colour, size; 32 bytes.
    std::vector<float> vertices(count * 8);
    GLuint vao = 0;
    GLuint buffer = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 32, nullptr);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<void*>(12));
    glVertexAttribPointer(2, 1, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<void*>(28));
    for (GLuint i = 0; i < 3; ++i)
        glEnableVertexAttribArray(i);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const std::vector<std::uint8_t> texels = SpriteTexels();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSprite, kSprite, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glViewport(0, 0, kBenchWidth, kBenchHeight);
    for (auto _ : state)
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            Point& point = points[i];
            point.x += point.dx * 0.016f;
            point.y += point.dy * 0.016f;
            std::copy_n(&point.x, 8, &vertices[i * 8]);
        }
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                     vertices.data(), GL_STREAM_DRAW);
        glClearColor(0.0941f, 0.1882f, 0.3137f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(count));
        window.SwapAndFinish();
    }
    CountFrames(state);
    glDeleteTextures(1, &texture);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vao);
    glDeleteProgram(program);
}

} // namespace

BENCHMARK(Engine)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BarePoints)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
