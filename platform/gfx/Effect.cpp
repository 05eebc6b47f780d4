#include "platform/gfx/Effect.h"

#include "platform/gfx/Device.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

namespace Quarn::platform::gfx
{

Effect::Effect(Device& device, EffectDesc desc)
    : m_device(device), m_serial(++s_lastSerial), m_desc(std::move(desc)),
      m_textures(m_desc.parameters.size()), m_samplers(m_desc.parameters.size(), -1)
{
    int sampler = 0;
    for (std::size_t i = 0; i < m_desc.parameters.size(); ++i)
        if (m_desc.parameters[i].value.type == EffectType::Texture)
            m_samplers[i] = sampler++;
}

Result Effect::Create(Device& device, EffectDesc desc, std::unique_ptr<Effect>& effect, std::string& errors)
{
    std::unique_ptr<Effect> made(new Effect(device, std::move(desc)));
    const EffectDesc& described = made->m_desc;
    Result result;
    for (const EffectTechnique& technique : described.techniques)
    {
        auto& passes = made->m_compiled.emplace_back();
        for (const EffectPass& pass : technique.passes)
        {
            CompiledPass& compiled = passes.emplace_back();
            const auto compile =
                [&](const EffectCode& code, ShaderStage stage, std::shared_ptr<Shader>& shader)
            {
                if (!code.Present())
                    return;
                std::string log;
                const Result made =
                    device.CreateShader(stage, StageSource(described, code, stage), shader, log);
                if (made.Failed())
                {
                    errors += "technique " + technique.name + ", pass " + pass.name +
                              (stage == ShaderStage::Vertex ? ", vertex shader: " : ", pixel shader: ") +
                              log + "\n";
                    result = made;
                }
            };
            compile(pass.vertex, ShaderStage::Vertex, compiled.vertex);
            compile(pass.pixel, ShaderStage::Pixel, compiled.pixel);
            for (std::uint32_t i = 0; i < described.parameters.size(); ++i)
                for (Shader* shader : {compiled.vertex.get(), compiled.pixel.get()})
                {
                    const EffectParameter& parameter = described.parameters[i];
                    if (!shader || NumberCount(parameter.value.type) == 0)
                        continue;
                    const int location = shader->UniformLocation(parameter.name);
                    if (location >= 0)
                        compiled.uniforms.push_back({i, shader, location});
                }
        }
    }
    if (result.Succeeded())
        effect = std::move(made);
    return result;
}

EffectHandle Effect::GetParameterByName(std::string_view name) const
{
    for (std::size_t i = 0; i < m_desc.parameters.size(); ++i)
        if (m_desc.parameters[i].name == name)
            return static_cast<EffectHandle>(i + 1);
    return 0;
}

EffectHandle Effect::GetParameterBySemantic(std::string_view semantic) const
{
    for (std::size_t i = 0; i < m_desc.parameters.size(); ++i)
        if (!m_desc.parameters[i].semantic.empty() && SameLetters(m_desc.parameters[i].semantic, semantic))
            return static_cast<EffectHandle>(i + 1);
    return 0;
}

EffectHandle Effect::GetParameter(std::uint32_t index) const
{
    return index < m_desc.parameters.size() ? index + 1 : 0;
}

const EffectParameter* Effect::Parameter(EffectHandle parameter) const
{
    return parameter >= 1 && parameter <= m_desc.parameters.size() ? &m_desc.parameters[parameter - 1]
                                                                   : nullptr;
}

const EffectAnnotation* Effect::GetAnnotation(EffectHandle parameter, std::string_view name) const
{
    const EffectParameter* described = Parameter(parameter);
    return described ? FindAnnotation(described->annotations, name) : nullptr;
}

EffectHandle Effect::GetTechniqueByName(std::string_view name) const
{
    for (std::size_t i = 0; i < m_desc.techniques.size(); ++i)
        if (m_desc.techniques[i].name == name)
            return static_cast<EffectHandle>(i + 1);
    return 0;
}

const EffectTechnique* Effect::Technique(EffectHandle technique) const
{
    return technique >= 1 && technique <= m_desc.techniques.size() ? &m_desc.techniques[technique - 1]
                                                                   : nullptr;
}

int Effect::GetPassIndex(EffectHandle technique, std::string_view name) const
{
    const EffectTechnique* described = Technique(technique);
    if (!described)
        return -1;
    for (std::size_t i = 0; i < described->passes.size(); ++i)
        if (described->passes[i].name == name)
            return static_cast<int>(i);
    return -1;
}

const EffectParameter* Effect::NumbersOf(EffectHandle parameter) const
{
    const EffectParameter* described = Parameter(parameter);
    return described && NumberCount(described->value.type) > 0 ? described : nullptr;
}

EffectParameter* Effect::NumbersOf(EffectHandle parameter, std::size_t count)
{
    const EffectParameter* described = std::as_const(*this).NumbersOf(parameter);
    if (!described || count > described->value.numbers.size())
        return nullptr;
    return &m_desc.parameters[parameter - 1];
}

Result Effect::SetFloats(EffectHandle parameter, std::span<const float> values)
{
    EffectParameter* described = NumbersOf(parameter, values.size());
    if (!described)
        return Result::Code::InvalidCall;
    const EffectType type = described->value.type;
    for (std::size_t i = 0; i < values.size(); ++i)
        described->value.numbers[i] = type == EffectType::Bool  ? (values[i] != 0.0f ? 1.0f : 0.0f)
                                      : type == EffectType::Int ? std::trunc(values[i])
                                                                : values[i];
    return Result::Code::Ok;
}

Result Effect::GetFloats(EffectHandle parameter, std::span<float> values) const
{
    const EffectParameter* described = NumbersOf(parameter);
    if (!described || values.size() > described->value.numbers.size())
        return Result::Code::InvalidCall;
    std::copy_n(described->value.numbers.begin(), values.size(), values.begin());
    return Result::Code::Ok;
}

Result Effect::SetFloat(EffectHandle parameter, float value)
{
    return SetFloats(parameter, std::span<const float>(&value, 1));
}

Result Effect::GetFloat(EffectHandle parameter, float& value) const
{
    return GetFloats(parameter, std::span<float>(&value, 1));
}

Result Effect::SetInt(EffectHandle parameter, std::int32_t value)
{
    return SetFloat(parameter, static_cast<float>(value));
}

Result Effect::GetInt(EffectHandle parameter, std::int32_t& value) const
{
    float number = 0.0f;
    const Result result = GetFloat(parameter, number);
    if (result.Succeeded())
        value = IntFromNumber(number);
    return result;
}

Result Effect::SetBool(EffectHandle parameter, bool value)
{
    return SetFloat(parameter, value ? 1.0f : 0.0f);
}

Result Effect::GetBool(EffectHandle parameter, bool& value) const
{
    float number = 0.0f;
    const Result result = GetFloat(parameter, number);
    if (result.Succeeded())
        value = number != 0.0f;
    return result;
}

Result Effect::SetTexture(EffectHandle parameter, std::shared_ptr<Texture> texture)
{
    const EffectParameter* described = Parameter(parameter);
    if (!described || described->value.type != EffectType::Texture)
        return Result::Code::InvalidCall;
    m_textures[parameter - 1] = std::move(texture);
    return Result::Code::Ok;
}

std::shared_ptr<Texture> Effect::GetTexture(EffectHandle parameter) const
{
    return Parameter(parameter) ? m_textures[parameter - 1] : nullptr;
}

Result Effect::SetTechnique(EffectHandle technique)
{
    if (!Technique(technique) || m_begun)
        return Result::Code::InvalidCall;
    m_technique = technique;
    return Result::Code::Ok;
}

Result Effect::Begin(std::uint32_t& passes)
{
    const EffectTechnique* technique = Technique(m_technique);
    if (!technique || m_begun)
        return Result::Code::InvalidCall;
    const Result saved = m_device.CreateStateBlock(m_saved);
    if (saved.Failed())
        return saved;
    passes = static_cast<std::uint32_t>(technique->passes.size());
    m_begun = true;
    return Result::Code::Ok;
}

Result Effect::BeginPass(std::uint32_t pass)
{
    if (!m_begun || m_activePass || pass >= m_compiled[m_technique - 1].size())
        return Result::Code::InvalidCall;
    const CompiledPass& compiled = m_compiled[m_technique - 1][pass];
    for (const EffectPass::StateSetting& setting : m_desc.techniques[m_technique - 1].passes[pass].states)
        m_device.SetRenderState(setting.state, setting.value);
    m_device.SetVertexShader(compiled.vertex);
    m_device.SetPixelShader(compiled.pixel);
    m_activePass = &compiled;
    m_activePassDesc = &m_desc.techniques[m_technique - 1].passes[pass];
    return Send(compiled);
}

Result Effect::CommitChanges()
{
    if (!m_activePass)
        return Result::Code::InvalidCall;
    return Send(*m_activePass);
}

Result Effect::Send(const CompiledPass& pass)
{
    Result result;
    for (const Uniform& uniform : pass.uniforms)
    {
        const EffectValue& value = m_desc.parameters[uniform.parameter].value;
        Result sent;
        if (value.type == EffectType::Bool || value.type == EffectType::Int)
        {
            const std::int32_t number = IntFromNumber(value.numbers[0]);
            sent = uniform.shader->SetInts(uniform.location, std::span<const std::int32_t>(&number, 1));
        }
        else
            sent = uniform.shader->SetFloats(uniform.location, value.numbers);
        if (sent.Failed())
            result = sent;
    }
    for (std::size_t i = 0; i < m_samplers.size(); ++i)
        if (m_samplers[i] >= 0)
        {
            const Result bound =
                m_device.SetTexture(static_cast<std::uint32_t>(m_samplers[i]), m_textures[i]);
            if (bound.Failed())
                result = bound;
        }
    return result;
}

Result Effect::EndPass()
{
    if (!m_activePass)
        return Result::Code::InvalidCall;
    m_activePass = nullptr;
    m_activePassDesc = nullptr;
    return Result::Code::Ok;
}

Result Effect::End()
{
    if (!m_begun)
        return Result::Code::InvalidCall;
    m_activePass = nullptr;
    m_activePassDesc = nullptr;
    m_begun = false;
    const Result restored = m_saved ? m_saved->Apply() : Result::Code::Ok;
    m_saved.reset();
    return restored;
}

} // namespace Quarn::platform::gfx
