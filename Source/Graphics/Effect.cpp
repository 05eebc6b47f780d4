#include "Graphics/Effect.h"

#include "Core/LowerCase.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Graphics/GraphicsError.h"
#include "Graphics/RenderTargetManager.h"
#include "Resources/ResourceNode.h"
#include "platform/gfx/Device.h"

#include <algorithm>
#include <filesystem>

namespace Quarn
{

namespace gfx = platform::gfx;

namespace
{

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The pieces of text between the separators, empty pieces kept.
std::vector<std::string> Split(const std::string& text, std::string_view separators)
{
    std::vector<std::string> pieces(1);
    for (char c : text)
        if (separators.find(c) != std::string_view::npos)
            pieces.emplace_back();
        else
            pieces.back() += c;
    return pieces;
}

// The text of a string annotation; empty when there is none or it is not a string.
std::string StringAnnotation(const gfx::EffectAnnotations& annotations, std::string_view name)
{
    const gfx::EffectAnnotation* annotation = gfx::FindAnnotation(annotations, name);
    return annotation && annotation->value.type == gfx::EffectType::String ? annotation->value.text
                                                                           : std::string();
}

} // namespace

void Effect::ReportScriptFault(const std::string& text) const
{
    QUARN_REPORT("Effect file \"%s\": %s", m_fileName.c_str(), text.c_str());
}

void Effect::Load(ResourceNode& node, Effect& effect, gfx::Device* device)
{
    ResourceNode* file = nullptr;
    if (!node.Filter("FXO", file) || !file->IsFile())
    {
        QUARN_ASSERT_FAILED_AS("! shaderFile.Filter(\"FXO\",&file)",
                               "Could not load shader named \"%s\", no FXO file found!", node.Name().c_str());
        return;
    }
    effect.m_name = node.Name();
    effect.m_fileName = std::filesystem::path(file->Path()).filename().string();
    std::size_t size = 0;
    const std::shared_ptr<const char> bytes = file->ReadData(size);
    // A reload starts from nothing: the old effect's handles mean nothing to the new one, and the render
    // targets made for them are freed (the new script makes its own on first use).
    if (effect.m_renderTargets)
        for (const auto& [parameter, id] : effect.m_targetIds)
            effect.m_renderTargets->Release(id);
    effect.m_effect.reset();
    effect.m_technique = effect.m_textureParam = 0;
    effect.m_passes.clear();
    effect.m_script = {};
    effect.m_colorTargets = {};
    effect.m_depthTarget = {};
    effect.m_targetIds.clear();
    if (!device)
        return;

    gfx::EffectDesc desc;
    gfx::EffectError error;
    if (!bytes || !gfx::ReadCompiledEffect(std::string_view(bytes.get(), size), desc, error))
    {
        QUARN_GRAPHICS_ERROR(gfx::Result::Code::InvalidCall, "Failed to create effect from file \"%s\". %s",
                             effect.m_fileName.c_str(), error.text.c_str());
        return;
    }
    std::string errors;
    if (gfx::Effect::Create(*device, std::move(desc), effect.m_effect, errors).Failed())
    {
        QUARN_REPORT("FX compilation errors took place!\n%s", errors.c_str());
        return;
    }
    if (!effect.ReadStandardAnnotations())
        effect.m_technique = 0;
}

bool Effect::ReadStandardAnnotations()
{
    const gfx::EffectHandle standards = m_effect->GetParameterBySemantic("STANDARDSGLOBAL");
    const gfx::EffectParameter* described = m_effect->Parameter(standards);
    if (!described)
    {
        ReportScriptFault("no parameter has the semantic STANDARDSGLOBAL.");
        return false;
    }
    // The value's place among the names; another value leaves the field as it was.
    const auto readNamed =
        [&](const char* annotation, std::initializer_list<std::string_view> names, int& field)
    {
        const std::string value = LowerCase(StringAnnotation(described->annotations, annotation));
        const auto found = std::find(names.begin(), names.end(), value);
        if (found != names.end())
            field = static_cast<int>(found - names.begin());
    };
    readNamed("ScriptClass", {"object", "scene", "sceneorobject"}, m_scriptClass);
    readNamed("ScriptOrder", {"preprocess", "standard", "postprocess"}, m_scriptOrder);

    // "Technique=Technique?Main;" and "Technique=Main;" both name Main.
    const std::vector<std::string> pieces = Split(StringAnnotation(described->annotations, "Script"), "=?:;");
    if (pieces.size() < 2)
    {
        ReportScriptFault("the STANDARDSGLOBAL script names no technique.");
        return false;
    }
    const std::string& name =
        LowerCase(pieces[1]) == "technique" && pieces.size() > 2 ? pieces[2] : pieces[1];
    m_technique = m_effect->GetTechniqueByName(name);
    if (m_technique == 0)
    {
        ReportScriptFault("the effect has no technique \"" + name + "\".");
        return false;
    }
    m_effect->SetTechnique(m_technique);
    m_textureParam = m_effect->GetParameterBySemantic("TEXTURE");
    ParseScript(m_effect->Technique(m_technique)->annotations, m_script);
    return true;
}

void Effect::ParseScript(const gfx::EffectAnnotations& owner, CGFX::CommandList& list)
{
    std::vector<std::string> pieces = Split(StringAnnotation(owner, "Script"), "=;");
    for (std::string& piece : pieces)
        piece = Trimmed(piece);
    if (pieces.back().empty())
        pieces.pop_back();
    std::vector<int> openLoops;
    for (std::size_t i = 0; i < pieces.size(); i += 2)
    {
        if (i + 1 == pieces.size())
        {
            ReportScriptFault("the script key \"" + pieces[i] + "\" has no value.");
            break;
        }
        CGFX::ParseCommand(*this, LowerCase(pieces[i]), pieces[i + 1], list, openLoops);
    }
    for (std::size_t open = 0; open < openLoops.size(); ++open)
        ReportScriptFault("\"LoopByCount\" has no \"LoopEnd\"; it does not loop.");
}

int Effect::GetPassIndex(const std::string& name) const
{
    return m_effect ? m_effect->GetPassIndex(m_technique, name) : -1;
}

bool Effect::ReadTargetDesc(gfx::EffectHandle parameter, gfx::Format& format, float size[2], bool& absolute)
{
    const gfx::EffectAnnotation* formatName = m_effect->GetAnnotation(parameter, "Format");
    if (!formatName)
    {
        QUARN_ASSERT_FAILED_AS("formatH == NULL", "No Format defined in effect file!");
        return false;
    }
    format = RenderTargetManager::FormatNamed(formatName->value.text);
    // Without size annotations a target is as big as the back buffer.
    size[0] = size[1] = 1.0f;
    const gfx::EffectAnnotation* ratio = m_effect->GetAnnotation(parameter, "ViewPortRatio");
    const gfx::EffectAnnotation* dimensions = m_effect->GetAnnotation(parameter, "ViewPortDimensions");
    const gfx::EffectAnnotation* sized = ratio ? ratio : dimensions;
    absolute = !ratio && dimensions;
    if (sized)
        for (std::size_t i = 0; i < 2 && i < sized->value.numbers.size(); ++i)
            size[i] = sized->value.numbers[i];
    const gfx::EffectAnnotation* mips = m_effect->GetAnnotation(parameter, "MipLevels");
    if (mips && mips->value.type != gfx::EffectType::Int)
        QUARN_GRAPHICS_ERROR(gfx::Result::Code::InvalidCall, "Failed to get number of mips from effect.");
    return true;
}

void Effect::Render(Effect& e, gfx::Device* device, RenderTargetManager* targets,
                    const std::shared_ptr<gfx::Surface>& defaultDepth,
                    const std::shared_ptr<gfx::Surface>& defaultColour, DrawGroups* groups)
{
    e.m_device = device;
    e.m_renderTargets = targets;
    e.m_defaultDepthSurface = defaultDepth;
    e.m_defaultColorSurface = defaultColour;
    e.m_drawGroups = groups;
    // A frame an exception ended may have left loops listed.
    e.m_runningLoops.clear();
    if (!e.HasTechnique() || !device)
        return;
    e.m_clearColor = {0.0f, 1.0f / 255.0f, 0.0f, 1.0f / 255.0f};
    e.m_clearDepth = 1.0f;
    std::uint32_t passes = 0;
    const gfx::Result begun = e.m_effect->Begin(passes);
    if (begun.Failed())
    {
        QUARN_GRAPHICS_ERROR(begun, "Failed to begin effect");
        return;
    }
    e.m_script.Run(e);
    const gfx::Result ended = e.m_effect->End();
    if (ended.Failed())
        QUARN_GRAPHICS_ERROR(ended, "Failed to end effect");
}

void Effect::SetTextureBySemantic(const char* semantic, const std::shared_ptr<gfx::Texture>& texture)
{
    if (m_effect)
        m_effect->SetTexture(m_effect->GetParameterBySemantic(semantic), texture);
}

void Effect::OnLostDevice()
{
    if (!m_effect)
        return;
    for (const auto& [parameter, id] : m_targetIds)
        m_effect->SetTexture(parameter, nullptr);
}

} // namespace Quarn
