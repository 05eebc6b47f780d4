#include "Graphics/ParticleEmitter.h"
#include "../Script/LuaTestState.h"
#include "Audio/Audio.h"
#include "Core/OutputHandler.h"
#include "Core/Random.h"
#include "Core/SystemManager.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/Transform.h"
#include "Graphics/DrawGroups.h"
#include "Graphics/Graphics.h"
#include "Graphics/PointLight.h"
#include "Physics/Physics.h"
#include "platform/gfx/DdsFile.h"
#include "platform/gfx/EffectFile.h"
#include "platform/gfx/recording/RecordingDevice.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Quarn
{
namespace
{

using Range = ParticleEmitter::Range;

ParticleEmitter::Curve Constant(float value)
{
    return {{0.0f, {value, value}}, {1.0f, {value, value}}};
}

// Emission and the particles' life, with fixed steps and the engine generator reseeded.
TEST(ParticleEmitterTest, EmissionFollowsSpeedQuantityAndLife)
{
    const struct
    {
        const char* what;
        float speed;
        std::uint32_t quantity;
        Range life;
        std::vector<float> frames;
        std::size_t emitted;
        std::size_t alive;
        float accumulator;
    } cases[] = {
        {"speed 10, 0.35 s", 10.0f, 0, {5.0f, 5.0f}, {0.35f}, 3, 3, 0.05f},
        {"quantity 5 over frames", 100.0f, 5, {5.0f, 5.0f}, {0.03f, 0.03f, 0.03f, 0.03f}, 5, 5, 0.07f},
        {"no speed", 0.0f, 0, {5.0f, 5.0f}, {1.0f}, 0, 0, 1.0f},
        {"negative speed", -4.0f, 0, {5.0f, 5.0f}, {1.0f}, 0, 0, 1.0f},
        {"no life", 10.0f, 0, {0.0f, 0.0f}, {0.35f}, 3, 0, 0.05f},
        {"life runs out", 10.0f, 1, {0.2f, 0.2f}, {0.1f, 0.1f, 0.1f}, 1, 0, 0.2f},
    };
    for (const auto& c : cases)
    {
        SeedEngineRand(1);
        ParticleEmitter emitter;
        emitter.m_emitSpeed = c.speed;
        emitter.m_quantity = c.quantity;
        emitter.m_life = c.life;
        for (const float dt : c.frames)
        {
            emitter.Emit(dt);
            emitter.Step(dt, 0.0f);
        }
        EXPECT_EQ(emitter.m_emittedCount, c.emitted) << c.what;
        EXPECT_EQ(emitter.m_particles.size(), c.alive) << c.what;
        EXPECT_NEAR(emitter.m_emissionAccumulator, c.accumulator, 1e-5f) << c.what;
    }
}

// Emission that a float count-down would never finish: an interval below half the accumulator's step
// (a huge emit speed, or a long wait at speed 0 before the emitter is turned on). Each frame ends, and no
// more particles come than the emitter holds.
TEST(ParticleEmitterTest, OneFramesEmissionEndsAndStaysWithinTheCapacity)
{
    const struct
    {
        const char* what;
        float waitAtSpeedZero;
        float speed;
        std::uint32_t quantity;
        std::size_t emitted;
    } cases[] = {
        {"speed 1e10", 0.0f, 1.0e10f, 0, ParticleEmitter::kParticleCapacity},
        {"infinite speed", 0.0f, INFINITY, 0, ParticleEmitter::kParticleCapacity},
        {"turned on after a day at speed 0", 86400.0f, 1000.0f, 0, ParticleEmitter::kParticleCapacity},
        {"speed 1e10, quantity 7", 0.0f, 1.0e10f, 7, 7},
        {"NaN speed", 0.0f, NAN, 0, 0},
    };
    for (const auto& c : cases)
    {
        SeedEngineRand(1);
        ParticleEmitter emitter;
        emitter.m_life = {100.0f, 100.0f};
        emitter.m_quantity = c.quantity;
        emitter.Emit(c.waitAtSpeedZero);
        emitter.m_emitSpeed = c.speed;
        emitter.Emit(0.016f);
        EXPECT_EQ(emitter.m_particles.size(), c.emitted) << c.what;
        EXPECT_EQ(emitter.m_emittedCount, c.emitted) << c.what;
        // A full emitter emits again only as its particles die.
        emitter.Step(0.016f, 0.0f);
        emitter.Emit(0.016f);
        EXPECT_LE(emitter.m_particles.size(), ParticleEmitter::kParticleCapacity) << c.what;
    }
}

TEST(ParticleEmitterTest, ParticlesMoveByTheirForceAndFadeByTheirCurves)
{
    SeedEngineRand(1);
    ParticleEmitter emitter;
    emitter.m_emitSpeed = 1.0f;
    emitter.m_quantity = 1;
    emitter.m_life = {1.0f, 1.0f};
    emitter.m_correct = true;
    emitter.m_force = Constant(10.0f);
    emitter.m_forceAngle = Constant(3.1415927f / 2.0f);
    emitter.m_visibility = {{0.0f, {1.0f, 1.0f}}, {1.0f, {0.0f, 0.0f}}};
    emitter.m_size = {{0.0f, {2.0f, 2.0f}}, {1.0f, {6.0f, 6.0f}}};
    emitter.Emit(1.0f);
    ASSERT_EQ(emitter.m_particles.size(), 1u);
    for (int step = 0; step < 4; ++step)
        emitter.Step(0.1f, 0.0f);
    const ParticleEmitter::Particle& particle = emitter.m_particles[0];
    EXPECT_NEAR(particle.position.x, 0.0f, 1e-4f);
    EXPECT_NEAR(particle.position.y, 4.0f, 1e-4f) << "0.4 s at 10 units a second, straight up";
    const float t = 1.0f - particle.remainingLife / particle.totalLife;
    EXPECT_NEAR(ParticleEmitter::ValueAt(particle.visibility, t), 0.6f, 1e-4f);
    EXPECT_NEAR(ParticleEmitter::ValueAt(particle.size, t), 3.6f, 1e-4f);
}

// Emitters on game objects: the line emitter, the draw groups' frame and the scripts' methods.
class ParticleObjectsTest : public testing::Test
{
protected:
    ParticleObjectsTest()
    {
        m_folder.WriteSource("Objects/Spray.xml", "<?xml version=\"1.0\" ?>\n<root><Object><Transform/>"
                                                  "<ParticleEmitter><EmitSpeed>10</EmitSpeed>"
                                                  "<ParticleLife><Value>2</Value></ParticleLife>"
                                                  "<LineEmitAmount><Value>25</Value></LineEmitAmount>"
                                                  "</ParticleEmitter><PointLight/></Object></root>\n");
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        Graphics::RegisterComponentTypes();
        m_systems.emplace();
    }

    GameObject& Spray(float x, float angle, float scaleX)
    {
        GameObject* object = m_systems->GetGameObjectManager().CreateGameObject("Spray");
        EXPECT_NE(object, nullptr);
        Transform& transform = *object->Get<Transform>();
        transform.Position = Vector4(x, 0.0f, 0.0f, 0.0f);
        transform.Angle = angle;
        transform.Scale = Vector4(scaleX, 1.0f, 1.0f, 0.0f);
        transform.NotifyChanged();
        return *object;
    }

    test::RunFolder m_folder{{}};
    test::CapturedErrors m_errors;
    OutputHandler m_output{false};
    std::optional<SystemManager> m_systems;
};

TEST_F(ParticleObjectsTest, ALineEmitterSpreadsParticlesAlongItsObjectsFacing)
{
    for (const auto& [scale, positions] :
         {std::pair{0.0f, std::vector<float>{}}, std::pair{100.0f, std::vector<float>{-50, -25, 0, 25}}})
    {
        ParticleEmitter& emitter = *Spray(0.0f, 90.0f, scale).Get<ParticleEmitter>();
        emitter.m_emit = &ParticleEmitter::EmitLine;
        EXPECT_EQ(ParticleEmitter::EmitLine(emitter), positions.size());
        ASSERT_EQ(emitter.m_particles.size(), positions.size());
        for (std::size_t i = 0; i < positions.size(); ++i)
        {
            EXPECT_NEAR(emitter.m_particles[i].position.x, 0.0f, 1e-4f);
            EXPECT_NEAR(emitter.m_particles[i].position.y, positions[i], 1e-4f);
        }
    }
}

// Lines a running sum of the spacing would never finish walking: with no length at a huge emit speed
// (nothing to emit, again and again), far longer than the spacing can count, or with a spacing too
// fine to add up. Each frame ends with at most the emitter's capacity.
TEST_F(ParticleObjectsTest, ALineEmittersWalkEndsWithinTheCapacity)
{
    const struct
    {
        const char* what;
        float scaleX;
        float spacing;
        float speed;
        std::size_t particles;
    } cases[] = {
        {"no length at speed 1e10", 0.0f, 25.0f, 1.0e10f, 0},
        {"length 1e30", 1.0e30f, 25.0f, 10.0f, ParticleEmitter::kParticleCapacity},
        {"spacing 1e-30", 100.0f, 1.0e-30f, 10.0f, ParticleEmitter::kParticleCapacity},
        {"infinite length", INFINITY, 25.0f, 10.0f, ParticleEmitter::kParticleCapacity},
        {"NaN spacing", 100.0f, NAN, 10.0f, 0},
    };
    for (const auto& c : cases)
    {
        ParticleEmitter& emitter = *Spray(0.0f, 0.0f, c.scaleX).Get<ParticleEmitter>();
        emitter.m_emit = &ParticleEmitter::EmitLine;
        emitter.m_lineEmitAmount = {c.spacing, c.spacing};
        emitter.m_emitSpeed = c.speed;
        emitter.Emit(0.25f);
        EXPECT_EQ(emitter.m_particles.size(), c.particles) << c.what;
    }
}

TEST_F(ParticleObjectsTest, TheDrawGroupsStepEmittersAndBuildVerticesUnlessParticlesAreOff)
{
    GameObject& spray = Spray(5.0f, 0.0f, 1.0f);
    ParticleEmitter& emitter = *spray.Get<ParticleEmitter>();
    emitter.m_visibility = Constant(0.5f);
    emitter.m_size = Constant(3.0f);
    DrawGroups groups;
    groups.AddEmitter(&emitter);
    groups.AddPointLight(spray.Get<PointLight>());
    EXPECT_FALSE(groups.IsEmpty("particles"));
    groups.UpdateParticles(0.25f, 0.0f);
    groups.PrepareParticles(nullptr);
    ASSERT_EQ(groups.GetParticleVertices().size(), 2u);
    const DrawGroups::ParticleVertex& vertex = groups.GetParticleVertices()[0];
    EXPECT_EQ(vertex.x, 5.0f);
    EXPECT_EQ(vertex.a, 0.5f);
    EXPECT_EQ(vertex.size, 3.0f);

    // A light sits at its owner plus its offset (20 along z by default).
    groups.PreparePointLights(nullptr);
    ASSERT_EQ(groups.GetLightInstances().size(), 1u);
    EXPECT_EQ(groups.GetLightInstances()[0].x, 5.0f);
    EXPECT_EQ(groups.GetLightInstances()[0].z, 20.0f);
    EXPECT_EQ(groups.GetLightInstances()[0].radius, 30.0f);

    groups.m_particlesOff = true;
    groups.UpdateParticles(1.0f, 0.0f);
    groups.PrepareParticles(nullptr);
    EXPECT_EQ(emitter.m_particles.size(), 2u) << "no emission and no step while off";
    EXPECT_TRUE(groups.GetParticleVertices().empty());
    EXPECT_FALSE(groups.IsEmpty("particles")) << "the group still has its emitter";
    groups.RemoveEmitter(&emitter);
    EXPECT_TRUE(groups.IsEmpty("particles"));
}

TEST_F(ParticleObjectsTest, ScriptsDriveEmittersAndLights)
{
    GameObject& spray = Spray(0.0f, 0.0f, 1.0f);
    test::LuaTestState lua;
    LuaConverter<GameObject*>::Push(lua.State(), &spray);
    lua_setglobal(lua.State(), "spray");
    EXPECT_EQ(lua.Run(R"(
        local e = spray.particleEmitter
        e:SetQuantity(4)
        assert(e:GetQuantity() == 4 and e:GetBlending() == 1 and e:GetEmitSpeed() == 10)
        e:SetEmissionAngle(1, 1)
        assert(math.abs(e:GetEmitAngle() - 1) < 1e-6)
        e:SetAsLineEmitter()
        local light = spray.pointLight
        light:SetRadius(12)
        light:SetDiffuse(RGBA(1, 2, 3, 4))
        local d = light:GetDiffuse()
        local want = RGBA(1, 2, 3, 4)
        assert(light:GetRadius() == 12 and d:GetR() == want:GetR() and d:GetA() == want:GetA())
        light:SetSpecular(RGBA(9, 8, 7, 6))
        assert(light:GetSpecular():GetB() == RGBA(9, 8, 7, 6):GetB())
    )"),
              "");
    // The report inside a script call restarts the game; the value is kept.
    EXPECT_NE(lua.Run("spray.particleEmitter:SetEmitSpeed(-2)").find("restarting"), std::string::npos);
    const ParticleEmitter& emitter = *spray.Get<ParticleEmitter>();
    EXPECT_EQ(emitter.m_emitSpeed, -2.0f) << "stored after the report";
    EXPECT_TRUE(m_errors.Any("Emit Speed Should not be Negative!"));
    EXPECT_EQ(emitter.m_emit, &ParticleEmitter::EmitLine);
}

// A frame on the recording device of an effect whose passes draw the groups "particles" and "lights":
// each batch of emitters (one blend mode and texture) is one point-list draw of its particles, which
// lie together in the vertex buffer, between the blend states of its mode and the defaults again; all
// lights are one instanced draw of the disc.
TEST(ParticleDrawTest, EachEmitterBatchIsOnePointListDrawAndTheLightsOneInstancedDraw)
{
    test::RunFolder folder{{}};
    test::RecordingGraphics devices;
    test::CapturedErrors errors;
    OutputHandler output{false};
    folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
    folder.WriteWorking(
        "Effects/Model.fxo",
        platform::gfx::CompiledEffect("float S : STANDARDSGLOBAL < string Script = \"Technique=Main;\"; >;\n"
                                      "technique Main < string Script = \"Pass=Particles; Pass=Lights;\"; >\n"
                                      "{ pass Particles < string Script = \"Draw=Particles;\"; > { }\n"
                                      "  pass Lights < string Script = \"Draw=Lights;\"; > { } }\n"));
    const std::vector<std::uint8_t> white =
        platform::gfx::WriteDds(platform::gfx::Format::A8R8G8B8, 1, 1, {{255, 255, 255, 255}});
    folder.WriteWorking("Textures/Default.dds", std::string(white.begin(), white.end()));
    for (const int blending : {0, 1, 2})
        folder.WriteSource(
            "Objects/Blend" + std::to_string(blending) + ".xml",
            "<?xml version=\"1.0\" ?>\n<root><Object><Transform/><ParticleEmitter>"
            "<EmitSpeed>10</EmitSpeed><ParticleLife><Value>5</Value></ParticleLife><Blending>" +
                std::to_string(blending) + "</Blending></ParticleEmitter><PointLight/></Object></root>\n");
    Physics::RegisterComponentTypes();
    Gameplay::RegisterComponentTypes();
    Audio::RegisterComponentTypes();
    std::optional<SystemManager> systems;
    std::optional<Graphics> graphics;
    test::RecordingGraphics::StartGame(systems, graphics);
    // Blend mode 1 twice: one batch of two emitters.
    for (const char* prototype : {"Blend1", "Blend0", "Blend1", "Blend2"})
        ASSERT_NE(systems->GetGameObjectManager().CreateGameObject(prototype), nullptr) << prototype;
    // Four particles each: 0.4 s at ten a second, all alive.
    graphics->Update(0.25f);
    platform::gfx::RecordingDevice& device = *devices.Device();
    device.ClearLog();
    graphics->Update(0.15f);
    std::vector<std::string> calls;
    for (const std::string& call : device.Log())
        for (const char* kept : {"SetRenderState BlendOp", "SetRenderState DestBlend", "SetRenderState ZFunc",
                                 "DrawPrimitive ", "SetStreamSourceFreq", "DrawIndexedPrimitive"})
            if (call.starts_with(kept))
                calls.push_back(call);
    const std::vector<std::string> expected = {
        // Mode 0 (four particles): add, inverse source alpha.
        "SetRenderState BlendOp 1", "SetRenderState ZFunc 8", "SetRenderState DestBlend 6",
        "DrawPrimitive points 0 4", "SetRenderState BlendOp 1", "SetRenderState ZFunc 8",
        "SetRenderState DestBlend 6",
        // Mode 1 (two emitters, eight particles): additive.
        "SetRenderState BlendOp 1", "SetRenderState ZFunc 8", "SetRenderState DestBlend 2",
        "DrawPrimitive points 4 8", "SetRenderState BlendOp 1", "SetRenderState ZFunc 8",
        "SetRenderState DestBlend 6",
        // Mode 2 (four particles): reverse subtract.
        "SetRenderState BlendOp 3", "SetRenderState ZFunc 8", "SetRenderState DestBlend 6",
        "DrawPrimitive points 12 4", "SetRenderState BlendOp 1", "SetRenderState ZFunc 8",
        "SetRenderState DestBlend 6",
        // Four lights: the disc of 33 vertices, 32 triangles, once per light.
        "SetStreamSourceFreq 0 40000004", "SetStreamSourceFreq 1 80000001",
        "DrawIndexedPrimitive trianglefan 0 0 33 0 32", "SetStreamSourceFreq 0 00000001",
        "SetStreamSourceFreq 1 00000001",
        // The frame puts the streams back after the effects.
        "SetStreamSourceFreq 0 00000001", "SetStreamSourceFreq 1 00000001"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(errors.Count(), 0u) << errors.Texts()[0];
    graphics.reset();
    systems.reset();
}

} // namespace
} // namespace Quarn
