#include "ReaderTargets.h"

#include "Audio/Audio.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Gameplay.h"
#include "Graphics/Graphics.h"
#include "Physics/Physics.h"
#include "Resources/BinaryInput.h"
#include "Resources/SerializeableTable.h"
#include "Resources/XMLInput.h"
#include "Script/LuaManager.h"
#include "platform/core/ErrorPresenter.h"
#include "platform/gfx/ImageFile.h"
#include "platform/gfx/TextureSize.h"

#include <lua.hpp>

#include <cstdlib>
#include <limits>
#include <string_view>

namespace Quarn::fuzz
{

namespace
{

// Component types registered as the systems register them, and reports kept off the screen.
void PrepareOnce()
{
    static const bool prepared = []
    {
        platform::SetErrorCapture([](const std::string&, const std::string&) {});
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        Graphics::RegisterComponentTypes();
        return true;
    }();
    (void)prepared;
}

std::string_view Text(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Reads the root group over object, as the resource manager reads a file.
void ReadRoot(Serializer& input, const char* root, Serializeable& object)
{
    if (!input.Exists(root))
        return;
    input.BeginGroup(root);
    object.Serialize(input);
    input.EndGroup();
}

} // namespace

void ReadXMLObject(const std::uint8_t* data, std::size_t size)
{
    PrepareOnce();
    XMLInput input("fuzz.xml", Text(data, size));
    GameObject object;
    ReadRoot(input, "Object", object);
}

void ReadBinaryObject(const std::uint8_t* data, std::size_t size)
{
    PrepareOnce();
    if (size > std::numeric_limits<std::uint32_t>::max())
        return;
    BinaryInput input(reinterpret_cast<const char*>(data), static_cast<std::uint32_t>(size));
    GameObject object;
    object.Serialize(input);
}

void ReadSavedTable(const std::uint8_t* data, std::size_t size)
{
    PrepareOnce();
    // One state for the whole run, as the game keeps one; it stays open until the process ends.
    static LuaManager* const lua = []
    {
        auto* manager = new LuaManager();
        manager->CreateState();
        return manager;
    }();
    lua_State* state = lua->GetState();
    lua_newtable(state);
    {
        SerializeableTable table(-1);
        XMLInput input("fuzz.xml", Text(data, size));
        ReadRoot(input, "LuaTable", table);
    }
    lua_settop(state, 0);
}

void ReadPicture(const std::uint8_t* data, std::size_t size)
{
    platform::gfx::DecodedImage image;
    std::string error;
    const bool decoded = platform::gfx::DecodeImage({data, size}, image, error);
    // A picture is within a texture's size and has all its pixels; a refusal gives a reason.
    const bool whole = image.width >= 1 && image.height >= 1 &&
                       image.width <= platform::gfx::kLargestTextureSide &&
                       image.height <= platform::gfx::kLargestTextureSide &&
                       image.rgba.size() == std::size_t{image.width} * image.height * 4;
    if (decoded ? !whole : error.empty())
        std::abort();
}

} // namespace Quarn::fuzz
