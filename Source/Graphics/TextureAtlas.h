#pragma once

#include "Resources/ResourceBase.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Quarn
{

class ResourceNode;
class SystemManager;

// Named frames on one texture: rectangles (x, y, width, height) found by a sequence name and a frame
// number, read from a binary sprite sheet (".txa", rectangles in texels) or else from a text atlas
// description (".tai", rectangles in 0..1 units). Texel rectangles become 0..1 units once the texture's
// size is known.
class TextureAtlas : public ResourceBase
{
public:
    using Rectangle = std::array<float, 4>;
    static constexpr Rectangle kWholeTexture{0.0f, 0.0f, 1.0f, 1.0f};
    // The longest sequence name a sprite sheet may hold.
    static constexpr std::size_t kMaxNameLength = 1023;

    static void Create(ResourceNode& node, SystemManager& systems, TextureAtlas& atlas);
    // The readers, for a file's bytes; false (and what is wrong in fault) for a file that does not hold
    // what it claims, which then adds no frame.
    bool ReadSpriteSheet(std::span<const char> bytes, std::string& fault);
    bool ReadAtlasDescription(std::string_view text, std::string& fault);

    // Divides texel rectangles by the texture's size, once.
    void SetTextureSize(float width, float height);
    // The rectangle of frame (modulo the sequence's frame count, so animations wrap); the whole texture
    // when no file was found, or (reported) when the sequence does not exist.
    Rectangle GetFrame(const std::string& name, std::uint32_t frame);

    bool IsLoaded() const { return m_loaded; }
    std::uint64_t FrameCount(const std::string& name) const;
    std::uint16_t GetId() const { return m_id; }

private:
    struct FrameKey
    {
        std::string name;
        std::uint32_t frame;
        friend bool operator==(const FrameKey&, const FrameKey&) = default;
    };
    struct FrameKeyHash
    {
        std::size_t operator()(const FrameKey& key) const
        {
            return std::hash<std::string>()(key.name) ^ (std::hash<std::uint32_t>()(key.frame) << 1);
        }
    };

    void AddFrame(std::string name, std::uint32_t frame, const Rectangle& rectangle);

    std::unordered_map<FrameKey, Rectangle, FrameKeyHash> m_frames;
    // 64-bit: a frame numbered 4294967295 makes a count of 2^32.
    std::unordered_map<std::string, std::uint64_t> m_frameCounts;
    bool m_normalised = false;
    std::uint16_t m_id = NextResourceId();
    bool m_loaded = true;
};

} // namespace Quarn
