#pragma once

#include "GameObjects/GameObjectHandle.h"

#include <string>

namespace Quarn
{

class Nameable;

// The process-wide map from names to the handles of the live objects carrying them, filled as
// Nameable components are announced and withdrawn. It outlives warm resets. Several objects may
// share a name; withdrawing one leaves the others findable.
class NameRegistry
{
public:
    // Enters the component's name for its owner; an empty name is not entered.
    static void Register(const Nameable& nameable);
    // Withdraws the entry of the component's owner under its name.
    static void Unregister(const Nameable& nameable);
    // A handle registered under name; an invalid handle when there is none.
    static GameObjectHandle Lookup(const std::string& name);
};

} // namespace Quarn
