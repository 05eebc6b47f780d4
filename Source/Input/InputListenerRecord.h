#pragma once

namespace Quarn
{

// Base of the listener records kept in the input listener tables. Records are shared between the live
// tables and every saved state that holds them.
class InputListenerRecord
{
public:
    virtual ~InputListenerRecord() = default;
    // Whether the record calls a script's function (see ScriptCallback).
    virtual bool FromScript() const = 0;
};

} // namespace Quarn
