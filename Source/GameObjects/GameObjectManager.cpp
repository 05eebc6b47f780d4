#include "GameObjects/GameObjectManager.h"

#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "GameObjects/Component.h"
#include "Resources/ResourceManager.h"
#include "Resources/ResourceNode.h"
#include "Script/LuaPolymorphicBase.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace Quarn
{

namespace
{
GameObjectManager* g_current = nullptr;

// A game object read or written in the form of a prototype file's content.
class ObjectAsProto : public Serializeable
{
public:
    explicit ObjectAsProto(GameObject& object) : m_object(object) {}
    bool Serialize(Serializer& serializer) override
    {
        return GameObjectProto::SerializeObject(serializer, m_object);
    }

private:
    GameObject& m_object;
};

} // namespace

GameObjectManager::GameObjectManager(MessageManager& messages, ResourceManager& resources)
    : m_messages(messages), m_resources(resources), m_previous(g_current)
{
    ResetSlots();
    g_current = this;
    RegisterProtoResourceType();
}

GameObjectManager::~GameObjectManager()
{
    // Shutdown: objects go without messages, since the systems listening may already be gone.
    // Each slot is emptied before its object goes, so what the object's components resolve while
    // they are destroyed is never an object already deleted.
    for (Slot& slot : m_slots)
        if (slot.id != GameObjectHandle::kInvalidId)
        {
            slot.id = GameObjectHandle::kInvalidId;
            delete std::exchange(slot.object, nullptr);
        }
    if (g_current == this)
        g_current = m_previous;
    ReleaseLuaIdentity(this);
}

GameObjectManager* GameObjectManager::Current()
{
    return g_current;
}

void GameObjectManager::ResetSlots()
{
    m_slots.clear();
    m_freeHead = kNoSlot;
    m_idCounter = 0;
    Grow(kInitialSlots);
}

void GameObjectManager::Grow(std::size_t count)
{
    const std::size_t old = m_slots.size();
    m_slots.resize(count);
    // Pushed in ascending order, so the highest index is handed out first.
    for (std::size_t index = old; index < count; ++index)
    {
        m_slots[index].id = GameObjectHandle::kInvalidId;
        m_slots[index].object = nullptr;
        m_slots[index].nextFree = m_freeHead;
        m_freeHead = static_cast<std::uint32_t>(index);
    }
}

GameObjectHandle GameObjectManager::AllocateHandle(GameObject* object)
{
    if (m_freeHead == kNoSlot)
    {
        const std::size_t grown = std::min<std::size_t>(m_slots.size() * 3 / 2 + 15, kMaxSlots);
        if (grown == m_slots.size())
        {
            QUARN_REPORT("No game object can be created: all %u slots are taken", kMaxSlots);
            return {};
        }
        Grow(grown);
    }
    const std::uint32_t index = m_freeHead;
    Slot& slot = m_slots[index];
    m_freeHead = slot.nextFree;
    slot.object = object;
    slot.id = ++m_idCounter;
    return {slot.id, static_cast<std::uint16_t>(index)};
}

void GameObjectManager::FreeSlot(std::uint16_t index)
{
    Slot& slot = m_slots[index];
    slot.id = GameObjectHandle::kInvalidId;
    slot.object = nullptr;
    slot.nextFree = m_freeHead;
    m_freeHead = index;
}

GameObject* GameObjectManager::Resolve(const GameObjectHandle& handle) const
{
    if (handle.m_id == GameObjectHandle::kInvalidId || handle.m_index >= m_slots.size())
        return nullptr;
    const Slot& slot = m_slots[handle.m_index];
    return slot.id == handle.m_id ? slot.object : nullptr;
}

bool GameObjectManager::IsLive(const GameObjectHandle& handle) const
{
    const GameObject* object = Resolve(handle);
    return object && object->IsLive();
}

template <class Work> void GameObjectManager::RunHoldingFrameEnds(Work&& work)
{
    struct Depth
    {
        int& depth;
        explicit Depth(int& counter) : depth(++counter) {}
        ~Depth() { --depth; }
    };
    {
        const Depth holding(m_holdingFrameEnds);
        work();
    }
    if (m_holdingFrameEnds == 0 && std::exchange(m_frameEndWaiting, false))
        FrameEnd();
}

GameObject* GameObjectManager::CreateGameObject(const std::string& name)
{
    OutputHandler& output = OutputHandler::Get();
    output.StartTimer("GOCreate");
    output.StartTimer("GOAlloc");
    output.StartTimer("GONew");
    auto object = std::make_unique<GameObject>();
    output.EndTimer("GONew");
    output.Log("Create game object: %s", name.c_str());
    output.StartTimer("GOCopy");
    GameObject* prototype = GetProtoGameObject(name);
    if (!prototype)
    {
        output.EndTimer("GOCopy");
        output.EndTimer("GOAlloc");
        output.EndTimer("GOCreate");
        return nullptr;
    }
    *object = *prototype;
    output.EndTimer("GOCopy");
    object->SetArchetype(name);
    const GameObjectHandle handle = AllocateHandle(object.get());
    output.EndTimer("GOAlloc");
    if (handle.m_id == GameObjectHandle::kInvalidId)
    {
        output.EndTimer("GOCreate");
        return nullptr;
    }
    GameObject* created = object.release();
    output.StartTimer("GOCreate");
    Register(*created, handle);
    output.EndTimer("GOCreate");
    // A script run by the announcement may have destroyed the object already.
    return Resolve(handle);
}

GameObject* GameObjectManager::CreateIntern(GameObject* object)
{
    OutputHandler& output = OutputHandler::Get();
    output.StartTimer("GOCreateIntern");
    const GameObjectHandle handle = AllocateHandle(object);
    if (handle.m_id == GameObjectHandle::kInvalidId)
    {
        delete object;
        output.EndTimer("GOCreateIntern");
        return nullptr;
    }
    Register(*object, handle);
    output.EndTimer("GOCreateIntern");
    return Resolve(handle);
}

void GameObjectManager::Register(GameObject& object, const GameObjectHandle& handle)
{
    RunHoldingFrameEnds(
        [&]
        {
            object.SetHandle(handle);
            object.SetLive(true);
            object.SetOwners();
            object.RegisterComponents();
            for (auto& [name, block] : m_blocks)
                if (block.IsOpen())
                    block.Objects().push_back(handle);
        });
}

GameObject* GameObjectManager::CreateFromCopy(const GameObject& source)
{
    return CreateIntern(new GameObject(source));
}

void GameObjectManager::Destroy(const GameObjectHandle& handle)
{
    m_killList.push_back(handle);
}

void GameObjectManager::TempRemoveGameObject(GameObject* object, const std::string& name)
{
    if (!object)
        return;
    m_tempRemoved.emplace(name, object);
    m_tempRemoveList.push_back(object->GetHandle());
}

GameObject* GameObjectManager::UnRemoveGameObject(const std::string& name)
{
    const auto found = m_tempRemoved.find(name);
    if (found == m_tempRemoved.end())
    {
        QUARN_REPORT("No game object is removed under the name \"%s\"", name.c_str());
        return nullptr;
    }
    GameObject* object = found->second;
    const GameObjectHandle handle = object->GetHandle();
    m_tempRemoved.erase(found);
    const auto waiting = std::find(m_tempRemoveList.begin(), m_tempRemoveList.end(), handle);
    if (waiting != m_tempRemoveList.end())
    {
        *waiting = m_tempRemoveList.back();
        m_tempRemoveList.pop_back();
    }
    RunHoldingFrameEnds(
        [object]
        {
            object->SetLive(true);
            object->SetOwners();
            object->SendCreatedMessages();
        });
    return Resolve(handle);
}

void GameObjectManager::FrameEnd()
{
    // Asked for by a script while objects are announced or a frame end runs: done when that ends.
    if (m_holdingFrameEnds > 0)
    {
        m_frameEndWaiting = true;
        return;
    }
    RunHoldingFrameEnds(
        [this]
        {
            while (!m_killList.empty() || !m_tempRemoveList.empty())
            {
                const std::vector<GameObjectHandle> kills = std::exchange(m_killList, {});
                const std::vector<GameObjectHandle> removals = std::exchange(m_tempRemoveList, {});
                for (const GameObjectHandle& handle : kills)
                    Kill(handle);
                for (const GameObjectHandle& handle : removals)
                    TakeOutOfPlay(handle);
            }
            // Every request made meanwhile was met by the passes above.
            m_frameEndWaiting = false;
        });
}

void GameObjectManager::Kill(const GameObjectHandle& handle)
{
    GameObject* object = Resolve(handle);
    if (!object)
        return;
    m_messages.SendGOMessage(handle, "OnDestroy", object);
    object->SendDestroyedMessages();
    object->ClearLuaFields();
    m_messages.UnregisterGOListeners(handle);
    // A removed object that dies is no longer there to bring back.
    std::erase_if(m_tempRemoved, [object](const auto& entry) { return entry.second == object; });
    delete object;
    OutputHandler::Get().Log("Kill %u", handle.m_id);
    FreeSlot(handle.m_index);
}

void GameObjectManager::TakeOutOfPlay(const GameObjectHandle& handle)
{
    GameObject* object = Resolve(handle);
    // Queued twice, or already brought back and queued again: out of play once.
    if (!object || !object->IsLive())
        return;
    m_messages.SendGOMessage(handle, "OnDestroy", object);
    object->SendDestroyedMessages();
    m_messages.UnregisterGOListeners(handle);
    object->SetLive(false);
}

void GameObjectManager::Reset()
{
    for (std::size_t index = 0; index < m_slots.size(); ++index)
        if (m_slots[index].id != GameObjectHandle::kInvalidId)
            m_killList.push_back({m_slots[index].id, static_cast<std::uint16_t>(index)});
    // A restart that cut a load or an announcement short leaves nothing behind for the next game.
    m_building.clear();
    m_frameEndWaiting = false;
    FrameEnd();
    ResetSlots();
    m_killList.clear();
    m_tempRemoveList.clear();
    m_blocks.clear();
    g_current = this;
}

bool GameObjectManager::LoadWhileBuilding(const std::string& name, const std::function<void()>& load)
{
    if (std::find(m_building.begin(), m_building.end(), name) != m_building.end())
    {
        QUARN_REPORT("Cyclic archetypes: prototype \"%s\" is built from itself", name.c_str());
        return false;
    }
    struct Building
    {
        std::vector<std::string>& names;
        Building(std::vector<std::string>& list, const std::string& name) : names(list)
        {
            names.push_back(name);
        }
        ~Building() { names.pop_back(); }
    };
    const Building building(m_building, name);
    load();
    return true;
}

GameObject* GameObjectManager::GetProtoGameObject(const std::string& name)
{
    if (const auto found = m_prototypes.find(name); found != m_prototypes.end())
        return &found->second->Object();
    Resource<GameObjectProto> prototype;
    LoadWhileBuilding(name, [&] { prototype = m_resources.GetResource<GameObjectProto>(name); });
    if (!prototype)
        return nullptr;
    GameObject* object = &prototype->Object();
    m_prototypes.emplace(name, std::move(prototype));
    return object;
}

void GameObjectManager::ApplyArchetypes(GameObject& object)
{
    const std::vector<std::string> archetypes = object.Archetypes();
    if (archetypes.empty() || archetypes.front() == "None" || archetypes.front().empty())
        return;
    if (GameObject* prototype = GetProtoGameObject(archetypes.front()))
        object = *prototype;
    for (std::size_t i = 1; i < archetypes.size(); ++i)
    {
        ObjectAsProto over(object);
        LoadWhileBuilding(archetypes[i],
                          [&] { m_resources.LoadObject(archetypes[i], over, "Object", "bin", "xml"); });
    }
    object.Archetypes() = archetypes;
}

GameObjectBlock* GameObjectManager::FindBlock(const std::string& name, const char* operation)
{
    const auto found = m_blocks.find(name);
    if (found != m_blocks.end())
        return &found->second;
    QUARN_REPORT("%s: there is no block named \"%s\"", operation, name.c_str());
    return nullptr;
}

void GameObjectManager::OpenBlock(const std::string& name)
{
    m_blocks.try_emplace(name, *this).first->second.SetOpen(true);
}

void GameObjectManager::CloseBlock(const std::string& name)
{
    if (GameObjectBlock* block = FindBlock(name, "CloseBlock"))
        block->SetOpen(false);
}

void GameObjectManager::RemoveBlock(const std::string& name)
{
    if (FindBlock(name, "RemoveBlock"))
        m_blocks.erase(name);
}

void GameObjectManager::BlockDestroyAll(const std::string& name)
{
    GameObjectBlock* block = FindBlock(name, "BlockDestroyAll");
    if (!block)
        return;
    for (const GameObjectHandle& handle : block->Objects())
        if (IsLive(handle))
            Destroy(handle);
    m_blocks.erase(name);
}

void GameObjectManager::BlockForEach(const std::string& name,
                                     const std::function<void(GameObject&)>& function)
{
    if (!FindBlock(name, "BlockForEach"))
        return;
    // Looked up again at every step: the function may remove, replace or add blocks.
    for (std::size_t i = 0;;)
    {
        const auto found = m_blocks.find(name);
        if (found == m_blocks.end())
            return;
        std::vector<GameObjectHandle>& objects = found->second.Objects();
        if (i >= objects.size())
            return;
        const GameObjectHandle handle = objects[i];
        if (!IsLive(handle))
        {
            objects[i] = objects.back();
            objects.pop_back();
            continue;
        }
        ++i;
        function(*Resolve(handle));
    }
}

void GameObjectManager::CopyFromBlockTo(const std::string& from, const std::string& to)
{
    GameObjectBlock* source = FindBlock(from, "CopyFromBlockTo");
    if (!source)
        return;
    const std::vector<GameObjectHandle> handles = source->Objects();
    std::vector<GameObjectHandle>& target = m_blocks.try_emplace(to, *this).first->second.Objects();
    target.insert(target.end(), handles.begin(), handles.end());
}

bool GameObjectManager::BlockExists(const std::string& name) const
{
    return m_blocks.contains(name);
}

void GameObjectManager::LoadBlockFromFile(const std::string& blockName, const std::string& fileName)
{
    if (const auto existing = m_blocks.find(blockName); existing != m_blocks.end())
    {
        for (const GameObjectHandle& handle : existing->second.Objects())
            if (IsLive(handle))
                Destroy(handle);
        existing->second.Objects().clear();
    }
    // Only a dot in the file name itself starts an extension, not one in a folder name.
    const std::size_t fileStart = fileName.find_last_of("/\\") + 1;
    const std::size_t dot = fileName.rfind('.');
    const std::string name =
        dot != std::string::npos && dot >= fileStart ? fileName.substr(0, dot) : fileName;
    ResourceNode* node = nullptr;
    ResourceNode* file = nullptr;
    if (!m_resources.GetPathsByName(name, node) || !node->Filter("xml", file) || !file->IsFile())
    {
        QUARN_ASSERT_FAILED_AS("! node->Filter(\"xml\",&file)", "Could not find file '%s.xml'", name.c_str());
        return;
    }
    GameObjectBlock block(*this);
    m_resources.LoadXMLFile(file->Path(), block);
    m_blocks.insert_or_assign(blockName, std::move(block));
}

bool GameObjectManager::SaveBlockToFilePath(const std::string& blockName, const std::string& path)
{
    GameObjectBlock* block = FindBlock(blockName, "SaveBlockToFilePath");
    return block && m_resources.SaveXMLFile(path, *block);
}

void GameObjectManager::SaveGameObject(const GameObject& object, const std::string& name)
{
    m_savedObjects.insert_or_assign(name, std::make_unique<GameObject>(object));
}

bool GameObjectManager::SavedGameObjectExists(const std::string& name) const
{
    return m_savedObjects.contains(name);
}

GameObject* GameObjectManager::CreateSavedGameObject(const std::string& name)
{
    const auto found = m_savedObjects.find(name);
    if (found == m_savedObjects.end())
    {
        QUARN_REPORT("CreateSavedGameObject: there is no saved game object named \"%s\"", name.c_str());
        return nullptr;
    }
    return CreateFromCopy(*found->second);
}

void GameObjectManager::RegisterProtoResourceType()
{
    m_resources.RegisterCreator<GameObjectProto>(
        [](ResourceNode& node, SystemManager& systems, ResourceBase& resource)
        {
            // The node is reached through the name's segments; its file names the resource whole.
            ResourceNode* file = nullptr;
            if (!node.Filter("xml", file) && !node.Filter("bin", file))
            {
                QUARN_REPORT("Prototype resource \"%s\" has no xml or bin file", node.Path().c_str());
                return;
            }
            OutputHandler::Get().StartTimer("GOSerialize");
            systems.GetResourceManager().LoadObject(std::filesystem::path(file->Path()).stem().string(),
                                                    static_cast<GameObjectProto&>(resource), "Object", "bin",
                                                    "xml");
            OutputHandler::Get().EndTimer("GOSerialize");
        });
}

} // namespace Quarn
