#pragma once

#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"
#include "Resources/Resource.h"

#include <cstdint>
#include <vector>

namespace Quarn
{

class Texture;

// Emits textured particles from its game object's position or along a line through it.
class ParticleEmitter : public ComponentT<ParticleEmitter>
{
public:
    static constexpr const char* kTypeName = "ParticleEmitter";

    // A value is drawn between min and max.
    struct Range
    {
        float min = 0.0f;
        float max = 0.0f;
    };

    // A curve over a particle's life (times 0..1).
    struct Keyframe
    {
        float time = 0.0f;
        Range range;
    };
    using Curve = std::vector<Keyframe>;

    // The part of a curve a particle is in.
    struct Segment
    {
        float t0 = 0.0f;
        float y0 = 0.0f;
        float t1 = 0.0f;
        float y1 = 0.0f;
        std::uint32_t next = 0;
    };

    struct Particle
    {
        float totalLife = 0.0f;
        Vector4 position{0.0f, 0.0f, 0.0f, 0.0f};
        float emissionAngle = 0.0f;
        float remainingLife = 0.0f;
        Segment size;
        Segment visibility;
        Segment force;
        Segment forceAngle;
    };

    // "ParticleLife", "EmitSpeed", "Quantity", the curves, "EmissionAngle", "Texture", "Blending",
    // "Correct", "LineEmitAmount"; after reading, the keyframes of every curve but the spin are sorted
    // by time.
    bool Serialize(Serializer& serializer) override;
    // The handle's methods.
    static void RegisterLuaMethods(lua_State* state);

    // How many particles one emitter holds at most: emission stops while it is full.
    static constexpr std::uint32_t kParticleCapacity = 16384;

    // How new particles come out: one at the owner's position, or a row along the owner's facing,
    // spread over its x scale (never past the capacity). Each returns how many it made.
    using EmitFunction = std::uint32_t (*)(ParticleEmitter& emitter);
    static std::uint32_t EmitPoint(ParticleEmitter& emitter);
    static std::uint32_t EmitLine(ParticleEmitter& emitter);

    // A frame: the time goes into the accumulator, which pays for one emission per 1 / emit speed
    // seconds while the quantity and the capacity allow (an emit speed of 0 or below emits nothing);
    // then the particles move and age, and those whose life is over go.
    void Emit(float dt);
    void Step(float dt, float gameTime);
    // The emission angle range's value plus the owner's facing, in radians.
    float NewEmitAngle() const;
    // A curve segment's value at x.
    static float ValueAt(const Segment& segment, float x);

    std::vector<Particle> m_particles;
    Range m_life;
    // Particles per second; has no default, an emitter is given one.
    float m_emitSpeed = 0.0f;
    // Total to emit, 0 for no limit.
    std::uint32_t m_quantity = 0;
    Curve m_size;
    Curve m_spin;
    Curve m_force;
    Curve m_forceAngle;
    Range m_emissionAngle;
    Curve m_visibility;
    Range m_lineEmitAmount{10.0f, 40.0f};
    std::int32_t m_blending = 1;
    bool m_correct = false;
    float m_emissionAccumulator = 0.0f;
    std::uint32_t m_emittedCount = 0;
    EmitFunction m_emit = &EmitPoint;
    Resource<Texture> m_texture;
};

} // namespace Quarn
