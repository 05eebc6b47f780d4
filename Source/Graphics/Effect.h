#pragma once

#include "Resources/ResourceBase.h"

#include <memory>
#include <span>
#include <string>

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

// An effect file in its compiled form (".fxo"), rendered every frame while it is in the Graphics
// system's effect list. Loading keeps the compiled bytes; the effect object made from them, its
// technique and its script commands come with the effect layer, and until then an effect draws nothing.
class Effect : public ResourceBase
{
public:
    // Reads the node's ".fxo" file; a node without one is reported and the load stops.
    static void Load(ResourceNode& node, Effect& effect, platform::gfx::Device* device);
    // Runs the effect's technique on the device into its targets, drawing the draw groups it names.
    static void Render(Effect& effect, platform::gfx::Device* device, RenderTargetManager* targets,
                       const std::shared_ptr<platform::gfx::Surface>& defaultDepth,
                       const std::shared_ptr<platform::gfx::Surface>& defaultColour, DrawGroups* groups);

    // Whether the effect has a technique to run, so that Render draws.
    bool HasTechnique() const { return false; }
    // Sets the parameter of that semantic, when the effect has one, to the floats.
    void SetFloatsBySemantic(const char* semantic, std::span<const float> values);
    void SetTextureBySemantic(const char* semantic, const std::shared_ptr<platform::gfx::Texture>& texture);
    void OnLostDevice();
    void OnResetDevice();

    const std::string& GetName() const { return m_name; }
    const std::string& CompiledBytes() const { return m_compiled; }

private:
    std::string m_name;
    std::string m_compiled;
};

} // namespace Quarn
