#include "Graphics/ParticleEmitter.h"

#include "Resources/SerializerTypes.h"

#include <algorithm>

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

} // namespace Quarn
