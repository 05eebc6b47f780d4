// N rotated textured sprites at 800 x 600, offscreen on Mesa, over wall time, in one run: the whole
// pipeline (game objects with a Transform and a DrawObject, the draw groups, an effect "Model" whose
// script clears and draws the group "objects", Present), with a pass that draws instanced and with one
// that draws object by object, beside a bare OpenGL program that draws the
// same N quads, placed by the same matrices, with the same texture, in one instanced draw and swaps:
// the floor this renderer allows. Frames per second are reported as the rate of iterations.
#include "Audio/Audio.h"
#include "Core/OutputHandler.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/Transform.h"
#include "Graphics/Mesh.h"
#include "GraphicsBench.h"
#include "Physics/Physics.h"
#include "platform/gfx/DdsFile.h"
#include "platform/gfx/EffectFile.h"
#include "tools/meshbuilder/MeshBuilder.h"

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

constexpr std::uint32_t kTextureSize = 32;
constexpr float kSpriteScale = 0.03f;

// The sprites' placement, the same for both sides: positions over the screen and angles, from a fixed
// seed.
struct Placement
{
    float x, y, angle;
};

std::vector<Placement> Placements(std::size_t count)
{
    std::vector<Placement> placements;
    std::uint32_t seed = 12345;
    const auto next = [&seed]
    {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    for (std::size_t i = 0; i < count; ++i)
        placements.push_back({next() * 2.0f - 1.0f, next() * 2.0f - 1.0f, next() * 360.0f});
    return placements;
}

// The texture's texels: a ring, opaque.
std::vector<std::uint8_t> Texels()
{
    std::vector<std::uint8_t> texels;
    for (std::uint32_t y = 0; y < kTextureSize; ++y)
        for (std::uint32_t x = 0; x < kTextureSize; ++x)
        {
            const float dx = static_cast<float>(x) - kTextureSize / 2.0f;
            const float dy = static_cast<float>(y) - kTextureSize / 2.0f;
            const bool ring = std::fabs(std::sqrt(dx * dx + dy * dy) - kTextureSize / 3.0f) < 3.0f;
            texels.insert(texels.end(), {static_cast<std::uint8_t>(ring ? 255 : 40), 128,
                                         static_cast<std::uint8_t>(x * 8), 255});
        }
    return texels;
}

// The sprites' vertex stage: from the WORLD parameter object by object, or from the per-instance
// stream when the pass draws instanced.
constexpr const char* kPerObjectVertexShader = R"(
    layout(location = IN_POSITION) in vec3 position;
    layout(location = IN_TEXCOORD0) in vec2 texCoord;
    layout(location = 0) out vec2 vTexCoord;
    void main()
    {
        gl_Position = World * vec4(position, 1.0);
        vTexCoord = texCoord;
    }
)";
constexpr const char* kInstancedVertexShader = R"(
    layout(location = IN_POSITION) in vec3 position;
    layout(location = IN_TEXCOORD0) in vec2 texCoord;
    layout(location = IN_INSTANCE_WORLD0) in vec4 world0;
    layout(location = IN_INSTANCE_WORLD1) in vec4 world1;
    layout(location = IN_INSTANCE_WORLD2) in vec4 world2;
    layout(location = IN_INSTANCE_WORLD3) in vec4 world3;
    layout(location = 0) out vec2 vTexCoord;
    void main()
    {
        gl_Position = mat4(world0, world1, world2, world3) * vec4(position, 1.0);
        vTexCoord = texCoord;
    }
)";

// The Graphics system drawing N sprites, in a run folder of its own.
class SpriteRun
{
public:
    SpriteRun(std::size_t count, bool instancing)
    {
        m_folder.WriteWorking("Effects/Model.fxo",
                              gfx::CompiledEffect(std::string(R"(
float Script : STANDARDSGLOBAL < string Script = "Technique=Main;"; > = 0.8;
float4x4 World : WORLD;
texture ObjectTexture : TEXTURE;
float4 Back = {0.0941, 0.1882, 0.3137, 1};
technique Main < string Script = "ClearSetColor=Back; Clear=Color; Pass=Objects;"; >
{
    pass Objects < string Script = "Draw=Objects;"; bool Instancing = )") +
                                                  (instancing ? "true" : "false") + R"(; >
    {
        ZEnable = false; AlphaBlendEnable = false;
        VertexShader = glsl {)" + (instancing ? kInstancedVertexShader : kPerObjectVertexShader) +
                                                  R"(};
        PixelShader = glsl {
            layout(location = 0) in vec2 vTexCoord;
            layout(location = 0) out vec4 result;
            void main() { result = texture(ObjectTexture, vTexCoord); }
        };
    }
}
)"));
        const std::vector<std::uint8_t> dds =
            gfx::WriteDds(gfx::Format::A8R8G8B8, kTextureSize, kTextureSize, {Texels()});
        m_folder.WriteWorking("Textures/Ring.dds", std::string(dds.begin(), dds.end()));
        m_folder.WriteWorking("Textures/Default.dds", std::string(dds.begin(), dds.end()));
        Mesh quad;
        tools::BuildGrid(quad, 1.0f, 1.0f, 1, 1);
        m_folder.WriteWorking("Meshes/Quad.tmb", tools::MeshFileBytes(quad));
        m_folder.WriteSource("Objects/Sprite.xml", "<?xml version=\"1.0\" ?>\n<root><Object><Transform/>"
                                                   "<DrawObject><Texture>Ring</Texture><MipMap>0</MipMap>"
                                                   "</DrawObject></Object></root>\n");
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        m_game.emplace(m_folder);
        for (const Placement& placement : Placements(count))
        {
            GameObject* sprite = m_game->Systems().GetGameObjectManager().CreateGameObject("Sprite");
            Transform& transform = *sprite->Get<Transform>();
            transform.Position = Vector4(placement.x, placement.y, 0.0f, 0.0f);
            transform.Scale = Vector4(kSpriteScale, kSpriteScale * kBenchWidth / kBenchHeight, 1.0f, 0.0f);
            transform.Angle = placement.angle;
            transform.NotifyChanged();
        }
    }

    BenchGraphics& Game() { return *m_game; }

private:
    ScratchRunFolder m_folder{"quarn_bench_sprites"};
    std::optional<BenchGraphics> m_game;
};

void Pipeline(benchmark::State& state, bool instancing)
{
    OutputHandler output(false);
    SpriteRun run(static_cast<std::size_t>(state.range(0)), instancing);
    RunEngineFrames(state, run.Game());
}

// The same quads, texture and matrices (scale, turn, move, as the engine's Transform builds them) as
// one instanced draw.
void BareInstanced(benchmark::State& state)
{
    BareGlWindow window;
    if (!window)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    const GLuint program = LinkProgram(R"(#version 450 core
        layout(location = 0) in vec2 position;
        layout(location = 1) in vec2 texCoord;
        layout(location = 2) in vec4 placement; // x, y, cos, sin
        layout(location = 0) out vec2 vTexCoord;
        uniform vec2 scale;
        void main()
        {
            vec2 p = position * scale;
            p = vec2(p.x * placement.z - p.y * placement.w, p.x * placement.w + p.y * placement.z);
            gl_Position = vec4(p + placement.xy, 0.0, 1.0);
            vTexCoord = texCoord;
        })",
                                       R"(#version 450 core
        layout(location = 0) in vec2 vTexCoord;
        layout(location = 0) out vec4 result;
        layout(binding = 0) uniform sampler2D image;
        void main() { result = texture(image, vTexCoord).bgra; })");
    glUseProgram(program);
    glUniform2f(glGetUniformLocation(program, "scale"), kSpriteScale,
                kSpriteScale * kBenchWidth / kBenchHeight);

    const float quad[] = {-0.5f, 0.5f, 0, 0, 0.5f, 0.5f, 1, 0, -0.5f, -0.5f, 0, 1, 0.5f, -0.5f, 1, 1};
    const std::uint16_t indices[] = {0, 1, 2, 1, 3, 2};
    std::vector<float> instances;
    for (const Placement& placement : Placements(static_cast<std::size_t>(state.range(0))))
    {
        const float radians = placement.angle * 3.14159265f / 180.0f;
        instances.insert(instances.end(), {placement.x, placement.y, std::cos(radians), std::sin(radians)});
    }
    GLuint vao = 0;
    GLuint buffers[3] = {};
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(3, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<void*>(8));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(instances.size() * sizeof(float)), instances.data(),
                 GL_STATIC_DRAW);
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, 16, nullptr);
    glVertexAttribDivisor(2, 1);
    glEnableVertexAttribArray(2);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[2]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const std::vector<std::uint8_t> texels = Texels();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSize, kTextureSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glViewport(0, 0, kBenchWidth, kBenchHeight);
    const auto count = static_cast<GLsizei>(state.range(0));
    for (auto _ : state)
    {
        glClearColor(0.0941f, 0.1882f, 0.3137f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawElementsInstanced(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr, count);
        window.SwapAndFinish();
    }
    CountFrames(state);
    glDeleteTextures(1, &texture);
    glDeleteBuffers(3, buffers);
    glDeleteVertexArrays(1, &vao);
    glDeleteProgram(program);
}

} // namespace

// 1k, 10k and 50k sprites, in milliseconds over wall time.
void SpriteCounts(benchmark::internal::Benchmark* sizes)
{
    sizes->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
}

BENCHMARK_CAPTURE(Pipeline, instanced, true)->Apply(SpriteCounts);
BENCHMARK_CAPTURE(Pipeline, object_by_object, false)->Apply(SpriteCounts);
BENCHMARK(BareInstanced)->Apply(SpriteCounts);

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
