#pragma once

#include <span>

namespace Quarn
{

// A constant scripts name input values by.
struct InputName
{
    const char* name;
    int value;
};

// The globals the input system gives scripts, in the order they are set: rumble shapes and types, key
// states, mouse buttons, pad buttons, sticks, triggers, then the virtual keys (letters and digits have
// no names; scripts pass them as one-character strings or numbers).
std::span<const InputName> InputGlobalNames();

// The rumble types, which are also fields of the input class's method table.
std::span<const InputName> InputRumbleTypeNames();

} // namespace Quarn
