#pragma once

#include "Graphics/EffectCommands.h"
#include "Resources/ResourceBase.h"

#include <array>
#include <memory>
#include <string>
#include <unordered_map>

namespace Quarn
{

class DrawGroups;
class RenderTargetManager;
class ResourceNode;

namespace platform::gfx
{
class Device;
class Surface;
class Texture;
} // namespace platform::gfx

// An effect file in its compiled form (".fxo") with the script that says how a frame is drawn with it:
// the parameter of semantic "STANDARDSGLOBAL" names the technique, whose "Script" annotation (and each
// pass's) is a list of key=value commands. Rendering runs the technique's commands between the effect's
// Begin and End: passes, render targets, clears and the draw groups they name.
class Effect : public ResourceBase
{
public:
    // A colour or depth slot: the parameter whose render target it holds, and that target's number; both
    // zero while the slot holds the default surface.
    struct TargetSlot
    {
        platform::gfx::EffectHandle parameter = 0;
        std::uint32_t id = 0;
    };
    struct PassRecord
    {
        CGFX::CommandList list;
        bool parsed = false;
    };

    // Loads the node's ".fxo" on the device; a missing or bad file, shaders that do not compile and a
    // script that names no technique of the effect are reported, and the effect then draws nothing.
    static void Load(ResourceNode& node, Effect& effect, platform::gfx::Device* device);
    // Runs the technique's script with this frame's device, targets and draw groups.
    static void Render(Effect& effect, platform::gfx::Device* device, RenderTargetManager* targets,
                       const std::shared_ptr<platform::gfx::Surface>& defaultDepth,
                       const std::shared_ptr<platform::gfx::Surface>& defaultColour, DrawGroups* groups);

    // Reads the "Script" annotation and appends its commands to list; a loop it leaves open is reported
    // and does not loop.
    void ParseScript(const platform::gfx::EffectAnnotations& owner, CGFX::CommandList& list);
    // The index of the technique's pass of that name, or -1.
    int GetPassIndex(const std::string& name) const;
    // The size and format of the render target of a texture parameter, from its annotations; false
    // (reported) when it names no format.
    bool ReadTargetDesc(platform::gfx::EffectHandle parameter, platform::gfx::Format& format, float size[2],
                        bool& absolute);
    // A report about the effect's file, with its name.
    void ReportScriptFault(const std::string& text) const;

    // Whether the load succeeded, so that Render draws.
    bool HasTechnique() const { return m_effect && m_technique != 0; }
    platform::gfx::Effect* GetEffect() const { return m_effect.get(); }
    void SetTextureBySemantic(const char* semantic, const std::shared_ptr<platform::gfx::Texture>& texture);
    // The render targets' textures are about to go: the parameters let go of them.
    void OnLostDevice();

    const std::string& GetName() const { return m_name; }

    std::string m_name;
    std::string m_fileName;
    // This frame's context, set by Render for the commands.
    platform::gfx::Device* m_device = nullptr;
    RenderTargetManager* m_renderTargets = nullptr;
    std::shared_ptr<platform::gfx::Surface> m_defaultDepthSurface;
    std::shared_ptr<platform::gfx::Surface> m_defaultColorSurface;
    DrawGroups* m_drawGroups = nullptr;
    // The loop heads whose bodies are running, innermost last, in the technique's and the passes' lists.
    std::vector<const CGFX::GotoIf*> m_runningLoops;

    std::unique_ptr<platform::gfx::Effect> m_effect;
    platform::gfx::EffectHandle m_technique = 0;
    platform::gfx::EffectHandle m_textureParam = 0;
    std::vector<PassRecord> m_passes;
    // 0 "preprocess", 1 "standard", 2 "postprocess".
    int m_scriptOrder = 1;
    // 0 "object", 1 "scene", 2 "sceneorobject".
    int m_scriptClass = 1;
    std::array<TargetSlot, 3> m_colorTargets{};
    TargetSlot m_depthTarget;
    std::unordered_map<platform::gfx::EffectHandle, std::uint32_t> m_targetIds;
    std::array<float, 4> m_clearColor{};
    float m_clearDepth = 1.0f;
    CGFX::CommandList m_script;

private:
    // Reads the standard annotations, selects the technique and parses its script; false (reported)
    // when there is no technique to run.
    bool ReadStandardAnnotations();
};

} // namespace Quarn
