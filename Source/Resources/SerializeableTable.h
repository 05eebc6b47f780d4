#pragma once

#include "Resources/Serializeable.h"
#include "Script/LuaRef.h"

namespace Quarn
{

// A Lua table of the current state as a Serializeable: its entries inside an "unused" group, so they
// sit directly in the element of whatever group the table is saved under.
class SerializeableTable : public Serializeable
{
public:
    // Refers to the table at stack index of the current state.
    explicit SerializeableTable(int index);

    bool Serialize(Serializer& s) override;

    // False when an entry was refused (output) or could not be read (input).
    bool Complete() const { return m_complete; }

private:
    LuaRef m_table;
    bool m_complete = true;
};

} // namespace Quarn
