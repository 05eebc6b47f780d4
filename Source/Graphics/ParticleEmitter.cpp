#include "Graphics/ParticleEmitter.h"

#include "Core/Random.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Resources/SerializerTypes.h"

#include <algorithm>
#include <cmath>

namespace Quarn
{

namespace
{

// "Min" and "Max"; a text file may instead give "Value", or the element's own value, for both.
void SerializeRange(Serializer& serializer, ParticleEmitter::Range& range)
{
    if (serializer.IsIllegible() || serializer.IsOutput() || serializer.Exists("Min"))
    {
        SerializeNamed(serializer, range.min, "Min");
        SerializeNamed(serializer, range.max, "Max");
        return;
    }
    float value = range.min;
    if (!SerializeNamed(serializer, value, "Value"))
        SerializeNamed(serializer, value, "Unused");
    range.min = range.max = value;
}

bool SerializeNamedRange(Serializer& serializer, ParticleEmitter::Range& range, const char* name)
{
    if (!serializer.Exists(name))
        return false;
    const char* group = name;
    serializer.BeginGroup(group);
    SerializeRange(serializer, range);
    serializer.EndGroup();
    return true;
}

// A sequence of keyframes, each "Time" (0 when absent) and its range.
void SerializeCurve(Serializer& serializer, ParticleEmitter::Curve& curve, const char* name)
{
    if (!serializer.Exists(name))
        return;
    // Each call gets its own copy of the name, which opening a group moves past the tag.
    const char* group = name;
    serializer.BeginGroup(group);
    auto count = static_cast<std::uint32_t>(curve.size());
    const char* sequence = name;
    serializer.SequenceSize(count, sequence);
    if (serializer.IsInput())
        curve.assign(count, {});
    for (ParticleEmitter::Keyframe& key : curve)
    {
        if (!serializer.Exists(name))
            continue;
        const char* item = name;
        serializer.BeginGroup(item);
        SerializeNamed(serializer, key.time, "Time");
        SerializeNamedRange(serializer, key.range, "Unused");
        serializer.EndGroup();
    }
    serializer.EndGroup();
}

void SortByTime(ParticleEmitter::Curve& curve)
{
    std::stable_sort(curve.begin(), curve.end(),
                     [](const auto& a, const auto& b) { return a.time < b.time; });
}

} // namespace

bool ParticleEmitter::Serialize(Serializer& serializer)
{
    SerializeNamedRange(serializer, m_life, "ParticleLife");
    SerializeNamed(serializer, m_emitSpeed, "EmitSpeed");
    SerializeNamed(serializer, m_quantity, "Quantity");
    SerializeCurve(serializer, m_size, "Unused;Size");
    SerializeCurve(serializer, m_spin, "Unused;Spin");
    SerializeCurve(serializer, m_force, "Unused;Force");
    SerializeCurve(serializer, m_forceAngle, "Unused;ForceAngle");
    SerializeNamedRange(serializer, m_emissionAngle, "EmissionAngle");
    SerializeCurve(serializer, m_visibility, "Unused;Visibility");
    SerializeNamed(serializer, m_texture, "Texture");
    SerializeNamed(serializer, m_blending, "Blending");
    SerializeNamed(serializer, m_correct, "Correct");
    SerializeNamedRange(serializer, m_lineEmitAmount, "LineEmitAmount");
    if (serializer.IsInput())
    {
        SortByTime(m_size);
        SortByTime(m_visibility);
        SortByTime(m_force);
        SortByTime(m_forceAngle);
    }
    return true;
}

namespace
{

float Drawn(const ParticleEmitter::Range& range)
{
    return range.min +
           static_cast<float>(EngineRand()) / static_cast<float>(EngineRandMax) * (range.max - range.min);
}

// The segment a particle starts its life in: the curve's first two keys.
ParticleEmitter::Segment Start(const ParticleEmitter::Curve& curve)
{
    ParticleEmitter::Segment segment;
    if (curve.empty())
        return segment;
    segment.t0 = curve[0].time;
    segment.y0 = Drawn(curve[0].range);
    if (curve.size() == 1)
    {
        segment.t1 = segment.t0;
        segment.y1 = segment.y0;
        segment.next = 1;
        return segment;
    }
    segment.t1 = curve[1].time;
    segment.y1 = Drawn(curve[1].range);
    segment.next = 2;
    return segment;
}

void Advance(ParticleEmitter::Segment& segment, const ParticleEmitter::Curve& curve, float x)
{
    if ((x < segment.t0 || x > segment.t1) && segment.next < curve.size())
    {
        segment.t0 = segment.t1;
        segment.y0 = segment.y1;
        segment.t1 = curve[segment.next].time;
        segment.y1 = Drawn(curve[segment.next].range);
        ++segment.next;
    }
}

const Transform* OwnerTransform(const ParticleEmitter& emitter)
{
    return emitter.GetOwner() ? emitter.GetOwner()->Get<Transform>() : nullptr;
}

constexpr float kPi = 3.1415927f;

// How many more particles the emitter can hold.
std::uint32_t Room(const ParticleEmitter& emitter)
{
    const std::size_t alive = emitter.m_particles.size();
    return alive < ParticleEmitter::kParticleCapacity
               ? ParticleEmitter::kParticleCapacity - static_cast<std::uint32_t>(alive)
               : 0;
}

// A new particle at the position, with its life, angle and curve segments.
void AddParticle(ParticleEmitter& emitter, const Vector4& position)
{
    ParticleEmitter::Particle& particle = emitter.m_particles.emplace_back();
    particle.position = position;
    particle.totalLife = particle.remainingLife = Drawn(emitter.m_life);
    particle.emissionAngle = emitter.NewEmitAngle();
    particle.size = Start(emitter.m_size);
    particle.visibility = Start(emitter.m_visibility);
    particle.force = Start(emitter.m_force);
    particle.forceAngle = Start(emitter.m_forceAngle);
}

} // namespace

float ParticleEmitter::NewEmitAngle() const
{
    const Transform* transform = OwnerTransform(*this);
    return Drawn(m_emissionAngle) + (transform ? transform->Angle / 180.0f * kPi : 0.0f);
}

float ParticleEmitter::ValueAt(const Segment& segment, float x)
{
    if (x < segment.t1)
        return segment.y0 + (segment.y1 - segment.y0) / (segment.t1 - segment.t0) * (x - segment.t0);
    return segment.y1;
}

std::uint32_t ParticleEmitter::EmitPoint(ParticleEmitter& emitter)
{
    if (Room(emitter) == 0)
        return 0;
    const Transform* transform = OwnerTransform(emitter);
    AddParticle(emitter, transform ? transform->Position : Vector4(0.0f, 0.0f, 0.0f, 0.0f));
    return 1;
}

std::uint32_t ParticleEmitter::EmitLine(ParticleEmitter& emitter)
{
    const Transform* transform = OwnerTransform(emitter);
    if (!transform)
        return 0;
    const float spacing = Drawn(emitter.m_lineEmitAmount);
    const float radians = transform->Angle / 180.0f * kPi;
    const Vector4 direction(std::cos(radians), std::sin(radians), 0.0f, 0.0f);
    const float length = transform->Scale.x;
    // A spacing of 0 or below would never reach the end of the line.
    if (length <= 0.0f || spacing <= 0.0f)
        return 0;
    const Vector4 start = transform->Position - direction * (length * 0.5f);
    // Each place is computed from its index: a running sum stops growing once the spacing is below half
    // its step, and a long line with a fine spacing has more places than the emitter can hold.
    const double places = std::ceil(static_cast<double>(length) / static_cast<double>(spacing));
    const std::uint32_t room = Room(emitter);
    const std::uint32_t count = places < room ? static_cast<std::uint32_t>(places) : room;
    std::uint32_t emitted = 0;
    for (; emitted < count; ++emitted)
    {
        const float d = static_cast<float>(emitted) * spacing;
        if (!(d < length))
            break;
        AddParticle(emitter, start + direction * d);
    }
    return emitted;
}

void ParticleEmitter::Emit(float dt)
{
    m_emissionAccumulator += dt;
    if (!(m_emitSpeed > 0.0f))
        return;
    const double interval = 1.0f / m_emitSpeed;
    // The emissions the accumulator pays for, counted at once: taking the interval off one at a time
    // never ends once it is below half the accumulator's step. More than the emitter can hold are not
    // tried.
    const double due = std::floor(static_cast<double>(m_emissionAccumulator) / interval);
    if (!(due >= 1.0))
        return;
    const std::uint32_t emissions =
        due < kParticleCapacity ? static_cast<std::uint32_t>(due) : kParticleCapacity;
    std::uint32_t done = 0;
    for (; done < emissions && (m_quantity == 0 || m_emittedCount < m_quantity) && Room(*this) > 0; ++done)
        m_emittedCount += m_emit(*this);
    m_emissionAccumulator = static_cast<float>(static_cast<double>(m_emissionAccumulator) - done * interval);
}

void ParticleEmitter::Step(float dt, float gameTime)
{
    for (Particle& particle : m_particles)
    {
        const float t = particle.totalLife > 0.0f ? 1.0f - particle.remainingLife / particle.totalLife : 1.0f;
        const float angle = particle.emissionAngle + ValueAt(particle.forceAngle, t);
        const float force = ValueAt(particle.force, t);
        particle.position += Vector4(std::cos(angle), std::sin(angle), 0.0f, 0.0f) * (dt * force);
        particle.remainingLife -= dt;
        const float x = m_correct ? t : gameTime;
        Advance(particle.size, m_size, x);
        Advance(particle.visibility, m_visibility, x);
        Advance(particle.force, m_force, x);
        Advance(particle.forceAngle, m_forceAngle, x);
    }
    std::erase_if(m_particles, [](const Particle& particle) { return !(particle.remainingLife > 0.0f); });
}

} // namespace Quarn
