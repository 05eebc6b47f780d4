// Steps per second of the same scene in our physics and in Box2D 2.4.1, in one run: N boxes (2 x 2
// units) with random velocities inside a square of static wall tiles, no gravity, 1/60 s steps and
// 10 velocity passes on both sides (Box2D with no position passes: our solver corrects overlap in its
// velocity passes too). The square's side grows with the square root of N, so the boxes' density, and
// with it each box's work, stays the same.
#include "Physics/Physics.h"
#include "Audio/Audio.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/PhysicsObject.h"
#include "GameObjects/Transform.h"
#include "Graphics/Graphics.h"
#include "Physics/Collider.h"
#include "ScratchRunFolder.h"

#include <benchmark/benchmark.h>
#include <box2d/box2d.h>

#include <cmath>
#include <iomanip>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace
{

using namespace Quarn;

constexpr float kStep = 1.0f / 60.0f;
constexpr int kIterations = 10;
constexpr float kBoxHalf = 1.0f;
constexpr float kTileHalf = 2.0f;
constexpr int kBodies[] = {250, 1000, 4000};

struct Placement
{
    float x, y, vx, vy;
    bool isStatic;
};

// The boxes on a jittered lattice filling a tenth of the square, then the wall tiles around it.
std::vector<Placement> Scene(int count)
{
    const float side = std::sqrt(static_cast<float>(count) * 4.0f * kBoxHalf * kBoxHalf / 0.1f);
    std::uint32_t state = 2024;
    const auto unit = [&state]
    { return static_cast<float>((state = state * 1664525u + 1013904223u) >> 8) / 16777216.0f; };
    std::vector<Placement> scene;
    const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<float>(count))));
    const float spacing = side / static_cast<float>(perRow);
    for (int i = 0; i < count; ++i)
        scene.push_back({(static_cast<float>(i % perRow) + 0.5f) * spacing,
                         (static_cast<float>(i / perRow) + 0.5f) * spacing, unit() * 20.0f - 10.0f,
                         unit() * 20.0f - 10.0f, false});
    for (float t = -kTileHalf; t < side + 2.0f * kTileHalf; t += 2.0f * kTileHalf)
    {
        scene.push_back({t, -kTileHalf, 0, 0, true});
        scene.push_back({t, side + kTileHalf, 0, 0, true});
        scene.push_back({-kTileHalf, t, 0, 0, true});
        scene.push_back({side + kTileHalf, t, 0, 0, true});
    }
    return scene;
}

// The engine's services and the physics system in a run folder of its own.
class Engine
{
public:
    Engine()
    {
        m_folder.WriteSource(
            "Settings/Physics.xml",
            "<?xml version=\"1.0\" ?>\n<root><Physics><FixedTimestep>0</FixedTimestep><Iterations>" +
                std::to_string(kIterations) + "</Iterations></Physics></root>\n");
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        Graphics::RegisterComponentTypes();
        m_systems = std::make_unique<SystemManager>();
        m_physics = std::make_unique<Physics>();
        m_systems->AddSystem("Physics", m_physics.get());
        m_physics->InitResources(m_systems->GetResourceManager());
    }

    ~Engine()
    {
        m_systems->GetGameObjectManager().Reset();
        m_physics.reset();
        m_systems.reset();
    }

    void Add(const Placement& placement)
    {
        GameObject* object = m_systems->GetGameObjectManager().CreateIntern(new GameObject());
        auto* transform = new Transform();
        transform->Position = Vector4(placement.x, placement.y, 0.0f, 0.0f);
        object->SetComponent(Transform::TypeId(), transform, Transform::kTypeName);
        auto* body = new PhysicsObject();
        body->InvMass = placement.isStatic ? 0.0f : 1.0f / 4.0f;
        body->InvInertia = placement.isStatic ? 0.0f : 1.0f / (4.0f * 8.0f / 12.0f);
        body->m_velocity = Vector4(placement.vx, placement.vy, 0.0f, 0.0f);
        object->SetComponent(PhysicsObject::TypeId(), body, PhysicsObject::kTypeName);
        const float h = placement.isStatic ? kTileHalf : kBoxHalf;
        auto* collider = new Collider();
        collider->m_localCoords = {Vector4(-h, -h, 0, 0), Vector4(h, -h, 0, 0), Vector4(h, h, 0, 0),
                                   Vector4(-h, h, 0, 0)};
        object->SetComponent(Collider::TypeId(), collider, Collider::kTypeName);
    }

    Physics& System() { return *m_physics; }

private:
    ScratchRunFolder m_folder{"quarn_bench_physics"};
    std::unique_ptr<SystemManager> m_systems;
    std::unique_ptr<Physics> m_physics;
};

void QuarnPhysics(benchmark::State& state)
{
    OutputHandler output(false);
    Engine engine;
    for (const Placement& placement : Scene(static_cast<int>(state.range(0))))
        engine.Add(placement);
    // The first update places the shapes; the scene then runs a second before timing.
    for (int step = 0; step < 60; ++step)
        engine.System().Update(kStep);
    for (auto _ : state)
        engine.System().Update(kStep);
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Box2D(benchmark::State& state)
{
    b2World world(b2Vec2(0.0f, 0.0f));
    for (const Placement& placement : Scene(static_cast<int>(state.range(0))))
    {
        b2BodyDef definition;
        definition.type = placement.isStatic ? b2_staticBody : b2_dynamicBody;
        definition.position.Set(placement.x, placement.y);
        definition.linearVelocity.Set(placement.vx, placement.vy);
        b2Body* body = world.CreateBody(&definition);
        b2PolygonShape box;
        const float h = placement.isStatic ? kTileHalf : kBoxHalf;
        box.SetAsBox(h, h);
        b2FixtureDef fixture;
        fixture.shape = &box;
        fixture.density = 1.0f;
        fixture.friction = 0.0f;
        body->CreateFixture(&fixture);
    }
    for (int step = 0; step < 60; ++step)
        world.Step(kStep, kIterations, 0);
    for (auto _ : state)
        world.Step(kStep, kIterations, 0);
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The console report as usual, then each size's steps per second on both sides and their ratio.
class SideBySideReporter : public benchmark::ConsoleReporter
{
public:
    SideBySideReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            const auto rate = run.counters.find("steps/s");
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && rate != run.counters.end())
                m_rates[run.run_name.args][run.run_name.function_name] = rate->second.value;
        }
    }

    void Finalize() override
    {
        std::ostream& out = GetOutputStream();
        out << "\nSteps per second, both sides of one run:\n"
            << std::setw(8) << "bodies" << std::setw(14) << "Quarn" << std::setw(14) << "Box2D"
            << std::setw(14) << "Quarn/Box2D" << '\n';
        for (const int bodies : kBodies)
        {
            const auto& sides = m_rates[std::to_string(bodies)];
            const auto quarn = sides.find("QuarnPhysics");
            const auto box2d = sides.find("Box2D");
            if (quarn == sides.end() || box2d == sides.end())
                continue;
            out << std::setw(8) << bodies << std::fixed << std::setprecision(1) << std::setw(14)
                << quarn->second << std::setw(14) << box2d->second << std::setw(13) << std::setprecision(2)
                << quarn->second / box2d->second << "x\n";
        }
        ConsoleReporter::Finalize();
    }

private:
    // Steps per second by body count, then by side.
    std::map<std::string, std::map<std::string, double>> m_rates;
};

} // namespace

// The two sides of each size run one after the other, so that both meet the same load on the machine.
int main(int argc, char** argv)
{
    for (const int bodies : kBodies)
    {
        benchmark::RegisterBenchmark("QuarnPhysics", QuarnPhysics)
            ->Arg(bodies)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(1.0);
        benchmark::RegisterBenchmark("Box2D", Box2D)
            ->Arg(bodies)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(1.0);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SideBySideReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
