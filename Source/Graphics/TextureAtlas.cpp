#include "Graphics/TextureAtlas.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/ResourceNode.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Quarn
{

namespace
{

constexpr std::size_t kRecordSize = 16;

std::int32_t ReadInt32(const char* bytes)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return static_cast<std::int32_t>(value);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// "name number": the name up to the first blank, then an unsigned decimal number (0 when missing).
void SplitSequence(std::string_view text, std::string& name, std::uint32_t& number)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    const std::size_t start = at;
    while (at < text.size() && !IsBlank(text[at]))
        ++at;
    name.assign(text.substr(start, at - start));
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    number = 0;
    std::from_chars(text.data() + at, text.data() + text.size(), number);
}

} // namespace

void TextureAtlas::Create(ResourceNode& node, SystemManager&, TextureAtlas& atlas)
{
    ResourceNode* file = nullptr;
    const bool sheet = node.Filter("txa", file) && file->IsFile();
    if (!sheet && !(node.Filter("tai", file) && file->IsFile()))
    {
        atlas.m_loaded = false;
        return;
    }
    std::size_t size = 0;
    const std::shared_ptr<const char> bytes = file->ReadData(size);
    std::string fault = "it cannot be read";
    const bool read = bytes && (sheet ? atlas.ReadSpriteSheet({bytes.get(), size}, fault)
                                      : atlas.ReadAtlasDescription({bytes.get(), size}, fault));
    if (!read)
        QUARN_REPORT("Texture atlas file \"%s\" is damaged: %s.", file->Path().c_str(), fault.c_str());
}

bool TextureAtlas::ReadSpriteSheet(std::span<const char> bytes, std::string& fault)
{
    if (bytes.size() < 4)
    {
        fault = "it has no frame count";
        return false;
    }
    const std::int32_t count = ReadInt32(bytes.data());
    if (count < 0 || (bytes.size() - 4) / kRecordSize < static_cast<std::uint32_t>(count))
    {
        fault = "its frame count runs past the end of the file";
        return false;
    }
    OutputHandler::Get().Log("Creating sprite sheet.");
    // Every name is checked before any frame is added, so a bad file leaves the atlas as it was.
    std::vector<std::string_view> names;
    std::size_t at = 4 + static_cast<std::size_t>(count) * kRecordSize;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const char* end = static_cast<const char*>(std::memchr(bytes.data() + at, '\0', bytes.size() - at));
        if (!end)
        {
            fault = "a frame name runs past the end of the file";
            return false;
        }
        names.emplace_back(bytes.data() + at, end);
        at = static_cast<std::size_t>(end - bytes.data()) + 1;
    }
    for (std::int32_t i = 0; i < count; ++i)
    {
        std::string name;
        std::uint32_t number = 0;
        SplitSequence(names[i], name, number);
        if (name.size() > kMaxNameLength)
        {
            fault = "a frame name is longer than " + std::to_string(kMaxNameLength) + " characters";
            return false;
        }
    }
    for (std::int32_t i = 0; i < count; ++i)
    {
        const char* record = bytes.data() + 4 + static_cast<std::size_t>(i) * kRecordSize;
        std::string name;
        std::uint32_t number = 0;
        SplitSequence(names[i], name, number);
        AddFrame(std::move(name), number,
                 {static_cast<float>(ReadInt32(record)), static_cast<float>(ReadInt32(record + 4)),
                  static_cast<float>(ReadInt32(record + 8)), static_cast<float>(ReadInt32(record + 12))});
    }
    OutputHandler::Get().Log("Done creating sprite sheet.");
    return true;
}

bool TextureAtlas::ReadAtlasDescription(std::string_view text, std::string& fault)
{
    m_normalised = true;
    bool whole = true;
    while (!text.empty())
    {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() <= 4 || line.front() == '#')
            continue;
        const std::size_t tab = line.find('\t');
        std::vector<std::size_t> commas;
        for (std::size_t at = line.find(',', tab);
             tab != std::string_view::npos && at != std::string_view::npos; at = line.find(',', at + 1))
            commas.push_back(at);
        if (commas.size() < 7)
        {
            fault = "a line holds fewer than the eight fields of a frame";
            whole = false;
            continue;
        }
        // atof on a copy: the fields are not terminated in the file's bytes.
        const auto field = [&](std::size_t comma)
        { return static_cast<float>(std::atof(std::string(line.substr(commas[comma] + 1)).c_str())); };
        std::string_view image = line.substr(0, tab);
        if (const std::size_t dot = image.rfind('.'); dot != std::string_view::npos)
            image = image.substr(0, dot);
        std::uint32_t number = 0;
        if (const std::size_t blank = image.rfind(' '); blank != std::string_view::npos)
        {
            number = static_cast<std::uint32_t>(std::atoi(std::string(image.substr(blank + 1)).c_str()));
            image = image.substr(0, blank);
        }
        AddFrame(std::string(image), number, {field(2), field(3), field(5), field(6)});
    }
    return whole;
}

void TextureAtlas::AddFrame(std::string name, std::uint32_t frame, const Rectangle& rectangle)
{
    std::uint64_t& count = m_frameCounts[name];
    if (count <= frame)
        count = std::uint64_t{frame} + 1;
    m_frames[FrameKey{std::move(name), frame}] = rectangle;
}

void TextureAtlas::SetTextureSize(float width, float height)
{
    if (m_normalised)
        return;
    m_normalised = true;
    for (auto& [key, rectangle] : m_frames)
    {
        rectangle[0] /= width;
        rectangle[2] /= width;
        rectangle[1] /= height;
        rectangle[3] /= height;
    }
}

TextureAtlas::Rectangle TextureAtlas::GetFrame(const std::string& name, std::uint32_t frame)
{
    if (!m_loaded)
        return kWholeTexture;
    const auto count = m_frameCounts.find(name);
    if (count == m_frameCounts.end())
    {
        QUARN_ASSERT_FAILED_AS("m_frameNumbers.find(name) == m_frameNumbers.end()", "No such Frame %s",
                               name.c_str());
        return kWholeTexture;
    }
    return m_frames[FrameKey{name, static_cast<std::uint32_t>(frame % count->second)}];
}

std::uint64_t TextureAtlas::FrameCount(const std::string& name) const
{
    const auto count = m_frameCounts.find(name);
    return count == m_frameCounts.end() ? 0 : count->second;
}

} // namespace Quarn
