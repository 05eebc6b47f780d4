#pragma once

#include "platform/gfx/Types.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace Quarn
{

namespace platform::gfx
{
class Device;
class Texture;
} // namespace platform::gfx

// The render targets that effect scripts draw into, made the first time a script names them and known
// by number. Device loss releases their textures, a reset makes them again with the same numbers.
class RenderTargetManager
{
public:
    struct Target
    {
        // Null while the device is lost or after a failed creation.
        std::shared_ptr<platform::gfx::Texture> texture;
        platform::gfx::Format format = platform::gfx::Format::Unknown;
        // A ratio of the back buffer, or pixels when absolute.
        float size[2] = {0.0f, 0.0f};
        bool absolute = false;
    };

    // The format of an effect file's format name ("A8R8G8B8", "D24S8" ...); Unknown for a name of no
    // format a render target can have, and for a name that is none.
    static platform::gfx::Format FormatNamed(std::string_view name);

    // Makes the target's texture (a failure is reported and leaves it without one) and returns its number.
    // A side below one pixel or past the device's largest texture is such a failure.
    std::uint32_t Create(platform::gfx::Device* device, platform::gfx::Format format, const float size[2],
                         bool absolute);
    // Frees the target of that number (its effect was loaded again); the number is not given again.
    void Release(std::uint32_t id);
    // The target of that number; an empty one for a number never given or released.
    const Target& Get(std::uint32_t id) const;
    // Releases every target's texture and unbinds render targets 1 and 2 (0 is the back buffer).
    void OnLostDevice(platform::gfx::Device* device);
    // Takes the back buffer's new size and makes every target's texture again.
    void OnResetDevice(std::uint32_t width, std::uint32_t height, platform::gfx::Device* device);

private:
    void MakeTexture(platform::gfx::Device* device, Target& target) const;

    std::uint32_t m_nextId = 0;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::unordered_map<std::uint32_t, Target> m_targets;
};

} // namespace Quarn
