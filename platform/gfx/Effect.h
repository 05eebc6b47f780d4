#pragma once

#include "platform/gfx/EffectFile.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace Quarn::platform::gfx
{

class Device;

// A parameter or technique of an effect: 0 is none, others count from 1 in file order.
using EffectHandle = std::uint32_t;

// An effect file made ready on a device: its parameters with their current values, and every pass's
// shader stages compiled. A frame runs one technique: Begin saves the device's state, BeginPass sets the
// pass's render states and shaders and sends every parameter to them (uniforms and samplers),
// CommitChanges sends values set since, EndPass ends the pass and End puts the saved state back.
class Effect
{
public:
    // Compiles every stage of every pass; on failure errors names the technique, pass and stage with
    // the compiler's words, and no effect is made.
    static Result Create(Device& device, EffectDesc desc, std::unique_ptr<Effect>& effect,
                         std::string& errors);

    const EffectDesc& Desc() const { return m_desc; }
    // A number no other effect of the process has had, so that an effect made where a freed one lay is
    // still told from it.
    std::uint64_t Serial() const { return m_serial; }

    EffectHandle GetParameterByName(std::string_view name) const;
    // Semantics are matched without regard to case.
    EffectHandle GetParameterBySemantic(std::string_view semantic) const;
    // The parameter at that place in the file, or 0 past the end.
    EffectHandle GetParameter(std::uint32_t index) const;
    const EffectParameter* Parameter(EffectHandle parameter) const;
    const EffectAnnotation* GetAnnotation(EffectHandle parameter, std::string_view name) const;

    EffectHandle GetTechniqueByName(std::string_view name) const;
    const EffectTechnique* Technique(EffectHandle technique) const;
    // The index of the technique's pass of that name, or -1.
    int GetPassIndex(EffectHandle technique, std::string_view name) const;

    // Setting and getting values: a null or wrong handle, a texture or string parameter, or more values
    // than the parameter holds fail with InvalidCall. Fewer values set the leading ones. Numbers convert
    // between bool, int and float as they are read (IntFromNumber makes the ints, here and in the
    // uniforms sent).
    Result SetFloats(EffectHandle parameter, std::span<const float> values);
    Result GetFloats(EffectHandle parameter, std::span<float> values) const;
    Result SetFloat(EffectHandle parameter, float value);
    Result GetFloat(EffectHandle parameter, float& value) const;
    Result SetInt(EffectHandle parameter, std::int32_t value);
    Result GetInt(EffectHandle parameter, std::int32_t& value) const;
    Result SetBool(EffectHandle parameter, bool value);
    Result GetBool(EffectHandle parameter, bool& value) const;
    Result SetTexture(EffectHandle parameter, std::shared_ptr<Texture> texture);
    std::shared_ptr<Texture> GetTexture(EffectHandle parameter) const;

    Result SetTechnique(EffectHandle technique);
    EffectHandle GetCurrentTechnique() const { return m_technique; }
    Result Begin(std::uint32_t& passes);
    Result BeginPass(std::uint32_t pass);
    // The pass between BeginPass and EndPass, as the file describes it; null outside one.
    const EffectPass* ActivePass() const { return m_activePassDesc; }
    Result CommitChanges();
    Result EndPass();
    Result End();

private:
    struct Uniform
    {
        std::uint32_t parameter;
        Shader* shader;
        int location;
    };
    struct CompiledPass
    {
        std::shared_ptr<Shader> vertex;
        std::shared_ptr<Shader> pixel;
        std::vector<Uniform> uniforms;
    };

    Effect(Device& device, EffectDesc desc);
    EffectParameter* NumbersOf(EffectHandle parameter, std::size_t count);
    const EffectParameter* NumbersOf(EffectHandle parameter) const;
    Result Send(const CompiledPass& pass);

    static inline std::uint64_t s_lastSerial = 0;

    Device& m_device;
    std::uint64_t m_serial;
    EffectDesc m_desc;
    // Per technique, per pass.
    std::vector<std::vector<CompiledPass>> m_compiled;
    // Per parameter: the texture of a texture parameter, and its sampler.
    std::vector<std::shared_ptr<Texture>> m_textures;
    std::vector<int> m_samplers;
    EffectHandle m_technique = 0;
    std::unique_ptr<StateBlock> m_saved;
    const CompiledPass* m_activePass = nullptr;
    const EffectPass* m_activePassDesc = nullptr;
    bool m_begun = false;
};

} // namespace Quarn::platform::gfx
