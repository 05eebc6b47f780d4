#pragma once

#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectBlock.h"
#include "GameObjects/GameObjectHandle.h"
#include "GameObjects/GameObjectProto.h"
#include "Resources/Resource.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn
{

class LuaBasicBind;
class MessageManager;
class ResourceManager;

// Owns every game object: creates objects from prototypes, gives each a handle, resolves handles in
// constant time, and destroys or removes objects only at the end of a frame, after every system has
// updated. One manager is current at a time; handle resolvers of every subsystem go through it.
class GameObjectManager
{
public:
    static constexpr std::uint32_t kInitialSlots = 750;
    // Slot indexes are 16-bit.
    static constexpr std::uint32_t kMaxSlots = 65536;

    // Registers the prototype resource type with the resource manager.
    GameObjectManager(MessageManager& messages, ResourceManager& resources);
    ~GameObjectManager();
    GameObjectManager(const GameObjectManager&) = delete;
    GameObjectManager& operator=(const GameObjectManager&) = delete;

    // The manager that exists now, or null.
    static GameObjectManager* Current();
    // Scripts reach the manager as the global "goManager". Its functions do not count as a Lua call of
    // their own, so an unknown prototype asked for by a script is reported and answered with nil.
    static LuaBasicBind& GetLuaBind();
    static constexpr bool kLuaRaisesCallDepth = false;
    MessageManager& Messages() const { return m_messages; }

    // A new live object built from the named prototype; null (reported) when there is no such
    // prototype.
    GameObject* CreateGameObject(const std::string& name);
    // Registers an object built elsewhere: handle, live, announced. Takes ownership; null (reported,
    // object destroyed) when every slot is taken.
    GameObject* CreateIntern(GameObject* object);
    GameObject* CreateFromCopy(const GameObject& source);

    // The object in the handle's slot while the slot carries the handle's id, else null.
    GameObject* Resolve(const GameObjectHandle& handle) const;
    // Resolves to an object that is in play (not temporarily removed).
    bool IsLive(const GameObjectHandle& handle) const;

    // Queues the object for destruction at the frame end.
    void Destroy(const GameObjectHandle& handle);
    // Queues the object for removal from play at the frame end and remembers it under name (an entry
    // already there is kept).
    void TempRemoveGameObject(GameObject* object, const std::string& name);
    // Brings the object remembered under name back into play; null (reported) for an unknown name.
    GameObject* UnRemoveGameObject(const std::string& name);
    // Carries out the queued destructions and removals, again while handling them queues more.
    void FrameEnd();

    // The game object of the named prototype, loaded on first use and kept loaded; null (reported)
    // when there is none or when it is being built from itself.
    GameObject* GetProtoGameObject(const std::string& name);
    // Rebuilds the object from its archetype list: the first prototype cloned, each further one read
    // over it.
    void ApplyArchetypes(GameObject& object);

    // Blocks. Operations on a block name that does not exist are reported and change nothing.
    // Opens the named block, made if missing: every object registered from now on joins it.
    void OpenBlock(const std::string& name);
    void CloseBlock(const std::string& name);
    // Forgets the block; its objects stay in play.
    void RemoveBlock(const std::string& name);
    // Queues every live object of the block for destruction and forgets the block.
    void BlockDestroyAll(const std::string& name);
    // Calls function with each live object of the block in order, dropping the others; objects that
    // join the block during the walk are visited too.
    void BlockForEach(const std::string& name, const std::function<void(GameObject&)>& function);
    // Appends the objects of block from to block to (made, closed, if missing).
    void CopyFromBlockTo(const std::string& from, const std::string& to);
    bool BlockExists(const std::string& name) const;
    // Replaces the block by one read from the resource of that file name (extension ignored): the
    // objects of the block that was there are queued for destruction first.
    void LoadBlockFromFile(const std::string& blockName, const std::string& fileName);
    // Writes the block to the file path (root group "Map"); false (reported) when it cannot.
    bool SaveBlockToFilePath(const std::string& blockName, const std::string& path);

    // Saved objects: deep copies kept under a name (never live), surviving warm resets.
    void SaveGameObject(const GameObject& object, const std::string& name);
    bool SavedGameObjectExists(const std::string& name) const;
    // A new live object copied from the saved one; null (reported) for an unknown name.
    GameObject* CreateSavedGameObject(const std::string& name);

    // Warm reset: every object is destroyed (with its messages), then the slot table starts afresh
    // (ids from 1 again) with no blocks; saved objects and loaded prototypes stay.
    void Reset();

    std::size_t SlotCount() const { return m_slots.size(); }
    // The object in slot index, or null for a free slot (for walks over every object in slot order).
    GameObject* ObjectInSlot(std::size_t index) const
    {
        return index < m_slots.size() ? m_slots[index].object : nullptr;
    }

private:
    struct Slot
    {
        std::uint32_t id = GameObjectHandle::kInvalidId;
        std::uint32_t nextFree = kNoSlot;
        GameObject* object = nullptr;
    };
    static constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;

    GameObjectHandle AllocateHandle(GameObject* object);
    void FreeSlot(std::uint16_t index);
    void Grow(std::size_t count);
    void ResetSlots();
    void Kill(const GameObjectHandle& handle);
    void TakeOutOfPlay(const GameObjectHandle& handle);
    void RegisterProtoResourceType();
    // Runs load with name on the list of prototypes being built, taken off again however load ends;
    // false (reported, load not run) when name is being built already: a cycle.
    bool LoadWhileBuilding(const std::string& name, const std::function<void()>& load);
    // Runs work that may call scripts which ask for a frame end. Such a request waits until the
    // outermost work of this kind is done and then runs, so no object is destroyed while the code that
    // announces it, or a frame end walking its lists, still holds it.
    template <class Work> void RunHoldingFrameEnds(Work&& work);
    // The existing block, or null after reporting that the operation needs one.
    GameObjectBlock* FindBlock(const std::string& name, const char* operation);
    // Registers the object's handle, makes it live and announces it; it joins the open blocks.
    void Register(GameObject& object, const GameObjectHandle& handle);

    MessageManager& m_messages;
    ResourceManager& m_resources;
    // The manager that was current before this one, current again when this one goes.
    GameObjectManager* m_previous;
    // Every prototype used stays loaded while the manager holds it here.
    std::unordered_map<std::string, Resource<GameObjectProto>> m_prototypes;
    std::vector<GameObjectHandle> m_killList;
    std::vector<GameObjectHandle> m_tempRemoveList;
    std::map<std::string, std::unique_ptr<GameObject>> m_savedObjects;
    std::map<std::string, GameObject*> m_tempRemoved;
    std::map<std::string, GameObjectBlock> m_blocks;
    std::vector<Slot> m_slots;
    std::uint32_t m_freeHead = kNoSlot;
    std::uint32_t m_idCounter = 0;
    // Prototypes and archetype files being read, innermost last: a name met again is a cycle.
    std::vector<std::string> m_building;
    // Depth of the work run by RunHoldingFrameEnds, and whether a frame end was asked for meanwhile.
    int m_holdingFrameEnds = 0;
    bool m_frameEndWaiting = false;
};

} // namespace Quarn
