#include "GameObjects/ActionListLua.h"

#include "GameObjects/ActionListManager.h"
#include "Script/LuaBindable.h"
#include "Script/LuaFunctor.h"
#include "Script/LuaMethods.h"
#include "Script/LuaPrimitiveBind.h"

#include <new>

namespace Quarn
{

void LuaConverter<ActionList>::Push(lua_State* state, const ActionList& list)
{
    void** block = ActionHandle::GetLuaBind().PushValueBlock(state);
    *block = new (std::nothrow) ActionHandle(list.GetHandle());
}

void LuaConverter<ActionList*>::Push(lua_State* state, const ActionList* list)
{
    if (list && list->GetHandle().IsValid())
        LuaConverter<ActionList>::Push(state, *list);
    else
        lua_pushnil(state);
}

namespace
{

ActionList::Action ActionFrom(const LuaFunction& function)
{
    return LuaFunctor<void(ActionList&, float, float)>(function);
}

// Runs edit on the list of handle; a handle whose list is gone does nothing and answers fallback.
template <typename R, typename Edit> R OnList(ActionHandle& handle, R fallback, Edit edit)
{
    ActionList* list = ActionHandle::Resolve(handle);
    return list ? edit(*list) : fallback;
}

template <typename Edit> void OnList(ActionHandle& handle, Edit edit)
{
    if (ActionList* list = ActionHandle::Resolve(handle))
        edit(*list);
}

bool Exists(ActionHandle& h)
{
    return ActionHandle::Resolve(h) != nullptr;
}
void InsertRelative(ActionHandle& h, int offset, LuaFunction f)
{
    OnList(h, [&](ActionList& l) { l.InsertRelative(offset, ActionFrom(f)); });
}
void InsertAbsolute(ActionHandle& h, int position, LuaFunction f)
{
    OnList(h, [&](ActionList& l) { l.InsertAbsolute(position, ActionFrom(f)); });
}
void RemoveRelative(ActionHandle& h, int offset)
{
    OnList(h, [&](ActionList& l) { l.RemoveRelative(offset); });
}
void RemoveAbsolute(ActionHandle& h, int position)
{
    OnList(h, [&](ActionList& l) { l.RemoveAbsolute(position); });
}
void PopFront(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.PopFront(); });
}
void PopNext(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.PopNext(); });
}
void PopBack(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.PopBack(); });
}
void PushFront(ActionHandle& h, LuaFunction f)
{
    OnList(h, [&](ActionList& l) { l.PushFront(ActionFrom(f)); });
}
void PushNext(ActionHandle& h, LuaFunction f)
{
    OnList(h, [&](ActionList& l) { l.PushNext(ActionFrom(f)); });
}
void PushBack(ActionHandle& h, LuaFunction f)
{
    OnList(h, [&](ActionList& l) { l.PushBack(ActionFrom(f)); });
}
void GotoRelative(ActionHandle& h, int offset)
{
    OnList(h, [&](ActionList& l) { l.GotoRelative(offset); });
}
void GotoAbsolute(ActionHandle& h, int position)
{
    OnList(h, [&](ActionList& l) { l.GotoAbsolute(position); });
}
void Reset(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.Reset(); });
}
void StepForward(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.StepForward(); });
}
void StepBackward(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.StepBackward(); });
}
bool IsForward(ActionHandle& h)
{
    return OnList(h, false, [](ActionList& l) { return l.IsForward(); });
}
void SetIsForward(ActionHandle& h, bool backward)
{
    OnList(h, [&](ActionList& l) { l.SetIsForward(backward); });
}
void Reverse(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.Reverse(); });
}
void Pause(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.Pause(); });
}
void Start(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.Start(); });
}
int GetSize(ActionHandle& h)
{
    return OnList(h, 0, [](ActionList& l) { return l.GetSize(); });
}
void Kill(ActionHandle& h)
{
    OnList(h, [](ActionList& l) { l.Kill(); });
}
void SetErrorIfDestroyed(ActionHandle& h, bool error)
{
    OnList(h, [&](ActionList& l) { l.SetErrorIfDestroyed(error); });
}
void SetTimerIndependent(ActionHandle& h, bool independent)
{
    OnList(h, [&](ActionList& l) { l.SetTimerIndependent(independent); });
}
bool IsTimerIndependent(ActionHandle& h)
{
    return OnList(h, false, [](ActionList& l) { return l.IsTimerIndependent(); });
}
void SetTotalTime(ActionHandle& h, float time)
{
    OnList(h, [&](ActionList& l) { l.SetTotalTime(time); });
}

void CollectHandle(void* handle)
{
    delete static_cast<ActionHandle*>(handle);
}

void RegisterActionHandleMethods(lua_State* state)
{
    LuaMethods<ActionHandle>(
        state, LuaMethod<&Exists>("Exists"), LuaMethod<&InsertRelative>("InsertRelative"),
        LuaMethod<&InsertAbsolute>("InsertAbsolute"), LuaMethod<&RemoveRelative>("RemoveRelative"),
        LuaMethod<&RemoveAbsolute>("RemoveAbsolute"), LuaMethod<&PopFront>("PopFront"),
        LuaMethod<&PopNext>("PopNext"), LuaMethod<&PopBack>("PopBack"), LuaMethod<&PushFront>("PushFront"),
        LuaMethod<&PushNext>("PushNext"), LuaMethod<&PushBack>("PushBack"),
        LuaMethod<&GotoRelative>("GotoRelative"), LuaMethod<&GotoAbsolute>("GotoAbsolute"),
        LuaMethod<&Reset>("Reset"), LuaMethod<&StepForward>("StepForward"),
        LuaMethod<&StepBackward>("StepBackward"), LuaMethod<&IsForward>("IsForward"),
        LuaMethod<&SetIsForward>("SetIsForward"), LuaMethod<&Reverse>("Reverse"), LuaMethod<&Pause>("Pause"),
        LuaMethod<&Start>("Start"), LuaMethod<&GetSize>("GetSize"), LuaMethod<&Kill>("Kill"),
        LuaMethod<&SetErrorIfDestroyed>("SetErrorIfDestroyed"),
        LuaMethod<&SetTimerIndependent>("SetTimerIndependant"),
        LuaMethod<&IsTimerIndependent>("IsTimerIndependant"), LuaMethod<&SetTotalTime>("SetTotalTime"));
    ActionHandle::GetLuaBind().SetCollector(&CollectHandle);
}

void RegisterActionListManagerMethods(lua_State* state)
{
    LuaMethods<ActionListManager>(state, LuaMethod<&ActionListManager::CreateActionList>("CreateActionList"),
                                  LuaMethod<&ActionListManager::Update>("Update"),
                                  LuaMethod<&ActionListManager::OpenBlock>("OpenBlock"),
                                  LuaMethod<&ActionListManager::CloseBlock>("CloseBlock"),
                                  LuaMethod<&ActionListManager::RemoveBlock>("RemoveBlock"),
                                  LuaMethod<&ActionListManager::BlockDestroyAll>("BlockDestroyAll"));
}

} // namespace

LuaPrimitiveBind& ActionHandle::GetLuaBind()
{
    static LuaPrimitiveBind bind(typeid(ActionHandle), &RegisterActionHandleMethods);
    return bind;
}

LuaBasicBind& ActionListManager::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, ActionListManager>(&RegisterActionListManagerMethods);
}

} // namespace Quarn
