#include "GameObjects/GameObjectLua.h"

#include "GameObjects/Component.h"
#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/LuaGameObjectHandle.h"
#include "Script/LuaBindable.h"
#include "Script/LuaMethods.h"
#include "Script/LuaState.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Quarn
{

namespace
{

GameObject* LiveObject(const LuaGameObjectHandle& self)
{
    GameObject* object = self.Resolve();
    return object && object->IsLive() ? object : nullptr;
}

void Destroy(LuaGameObjectHandle& self)
{
    if (GameObjectManager* manager = GameObjectManager::Current(); manager && self.Resolve())
        manager->Destroy(self.m_handle);
}

bool Exists(LuaGameObjectHandle& self)
{
    return LiveObject(self) != nullptr;
}

std::uint32_t GetRawID(LuaGameObjectHandle& self)
{
    return self.Resolve() ? self.m_handle.m_id : 0;
}

template <int TypeId> void AddComponent(LuaGameObjectHandle& self)
{
    GameObject* object = LiveObject(self);
    if (!object)
        return;
    ComponentRegistry& registry = GetComponentRegistry();
    registry.SetCurrentTypeId(TypeId);
    if (Component* component = registry.Create(TypeId))
        object->SetComponent(TypeId, component, registry.GetName(TypeId));
}

template <int TypeId> void RemoveComponent(LuaGameObjectHandle& self)
{
    if (GameObject* object = LiveObject(self))
        object->SetComponent(TypeId, nullptr, GetComponentRegistry().GetName(TypeId));
}

template <int TypeId> void AddComponentMethods(lua_State* state)
{
    if (const char* name = GetComponentRegistry().GetName(TypeId))
        LuaMethods<LuaGameObjectHandle>(
            state, LuaMethod<&AddComponent<TypeId>>(("Add" + std::string(name)).c_str()),
            LuaMethod<&RemoveComponent<TypeId>>(("Remove" + std::string(name)).c_str()));
}

template <int... TypeIds> void AddComponentMethods(lua_State* state, std::integer_sequence<int, TypeIds...>)
{
    (AddComponentMethods<TypeIds>(state), ...);
}

// The record belongs to the userdata; the object forgets it when Lua lets go of it (the state closes).
void CollectRecord(void* data)
{
    auto* record = static_cast<LuaGameObjectHandle*>(data);
    if (GameObject* object = record->Resolve())
        object->ForgetLuaRecord(record);
    delete record;
}

void RegisterHandleMethods(lua_State* state)
{
    LuaMethods<LuaGameObjectHandle>(state, LuaMethod<&Destroy>("Destroy"), LuaMethod<&Exists>("Exists"),
                                    LuaMethod<&GetRawID>("GetRawID"));
    AddComponentMethods(state, std::make_integer_sequence<int, ComponentRegistry::kMaxTypes>());
    LuaGameObjectHandle::GetLuaBind().SetCollector(&CollectRecord);
}

// The field of a component in the object's table: its type name with a lower-case first letter.
std::string FieldName(const char* typeName)
{
    std::string field = typeName;
    if (!field.empty())
        field[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(field[0])));
    return field;
}

// Further field names a component type is reached by in its object's table.
std::unordered_map<std::string, std::vector<std::string>>& FieldAliases()
{
    static std::unordered_map<std::string, std::vector<std::string>> aliases;
    return aliases;
}

// Sets the fields of a component type (its own name and its aliases) in the table at the top of the
// stack to the component's handle, or to nil; every field holds the same value.
void SetComponentFields(lua_State* state, const char* typeName, Component* component)
{
    std::vector<std::string> fields{FieldName(typeName)};
    const auto aliases = FieldAliases().find(typeName);
    if (aliases != FieldAliases().end())
        fields.insert(fields.end(), aliases->second.begin(), aliases->second.end());
    if (component)
        component->PushLua(state);
    else
        lua_pushnil(state);
    for (const std::string& field : fields)
    {
        lua_pushlstring(state, field.data(), field.size());
        lua_pushvalue(state, -2);
        lua_rawset(state, -4);
    }
    lua_pop(state, 1);
}

} // namespace

LuaExtensibleBind& LuaGameObjectHandle::GetLuaBind()
{
    return LuaClassBinding<LuaExtensibleBind, LuaGameObjectHandle>(&RegisterHandleMethods);
}

GameObject* LuaGameObjectHandle::Resolve() const
{
    GameObjectManager* manager = GameObjectManager::Current();
    return manager ? manager->Resolve(m_handle) : nullptr;
}

void GameObject::PushLua(lua_State* state)
{
    const bool first = !m_luaRecord;
    if (first)
        m_luaRecord = new LuaGameObjectHandle{m_handle};
    LuaGameObjectHandle::GetLuaBind().PushObject(state, m_luaRecord);
    if (first && m_luaFields)
        FillLuaFields(state, lua_gettop(state));
}

void GameObject::FillLuaFields(lua_State* state, int index)
{
    lua_getfenv(state, index);
    for (Component* component : m_components)
        if (component)
            SetComponentFields(state, component->GetTypeName(), component);
    lua_pop(state, 1);
}

void GameObject::ForgetLuaRecord(const LuaGameObjectHandle* record)
{
    if (m_luaRecord == record)
        m_luaRecord = nullptr;
}

void GameObject::DropLuaIdentity()
{
    lua_State* state = CurrentLuaState();
    if (!m_luaRecord || !state)
        return;
    // The userdata stays valid for scripts that hold it; it just no longer names this object.
    lua_pushlightuserdata(state, m_luaRecord);
    lua_pushnil(state);
    lua_rawset(state, LUA_REGISTRYINDEX);
    m_luaRecord = nullptr;
}

void GameObject::AddLuaFieldAlias(const char* typeName, const char* field)
{
    std::vector<std::string>& aliases = FieldAliases()[typeName];
    if (std::find(aliases.begin(), aliases.end(), field) == aliases.end())
        aliases.push_back(field);
}

void GameObject::SetLuaField(const char* typeName, Component* component)
{
    lua_State* state = CurrentLuaState();
    // Fields are added while the object is in play, and only to a table that exists: the first push
    // fills a new one.
    if (!state || !m_luaRecord || (component && !m_live))
        return;
    PushLua(state);
    lua_getfenv(state, -1);
    SetComponentFields(state, typeName, component);
    lua_pop(state, 2);
}

namespace
{
// The handle record of the argument at index: null for nil, a Lua error for any other kind of value.
const LuaGameObjectHandle* ReadHandleRecord(lua_State* state, int index)
{
    if (lua_isnoneornil(state, index))
        return nullptr;
    LuaExtensibleBind& bind = LuaGameObjectHandle::GetLuaBind();
    if (!bind.IsInstance(state, index))
        LuaArgumentError(state, index, "GameObject");
    return static_cast<const LuaGameObjectHandle*>(bind.ToObject(state, index));
}
} // namespace

GameObject* LuaConverter<GameObject*>::Read(lua_State* state, int index)
{
    const LuaGameObjectHandle* record = ReadHandleRecord(state, index);
    return record ? record->Resolve() : nullptr;
}

void LuaConverter<GameObject*>::Push(lua_State* state, GameObject* object)
{
    if (object)
        object->PushLua(state);
    else
        lua_pushnil(state);
}

GameObjectHandle LuaConverter<GameObjectHandle>::Read(lua_State* state, int index)
{
    const LuaGameObjectHandle* record = ReadHandleRecord(state, index);
    return record ? record->m_handle : GameObjectHandle();
}

void LuaConverter<GameObjectHandle>::Push(lua_State* state, const GameObjectHandle& handle)
{
    GameObjectManager* manager = GameObjectManager::Current();
    LuaConverter<GameObject*>::Push(state, manager ? manager->Resolve(handle) : nullptr);
}

} // namespace Quarn
