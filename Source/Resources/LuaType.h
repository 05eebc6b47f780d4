#pragma once

struct lua_State;

namespace Quarn
{

class Serializer;

// Lua values through a Serializer: a group "Type" with the lua_type code, then, unless nil, a group
// "Value" holding the boolean, number, string or, for a table, one group "Item" per entry with the
// groups "Key" and "Value" in the same form. Functions, userdata, light userdata and threads cannot be
// stored and are reported.
class LuaType
{
public:
    // Tables nested deeper than this are refused on output and cut off on input.
    static constexpr int kMaxNesting = 200;

    // Output: writes the value at index. Input: replaces the value at index with the value read (nil
    // when nothing usable was read). False when the value, or something inside it, was refused.
    static bool Serialize(lua_State* state, int index, Serializer& s);

    // Reports the first thing about the value at index that cannot be stored: a value of a kind
    // listed above, a table that contains itself, or nesting beyond kMaxNesting. Nothing is written,
    // so a save can check before it replaces a file.
    static bool CanSerialize(lua_State* state, int index);
};

// The "Key" and "Value" groups of one entry (output), or of one entry read into the two slots (input).
bool SerializeLuaTableItem(lua_State* state, int keyIndex, int valueIndex, Serializer& s);

// All entries of the table at index: written in traversal order, or read and stored in it. Entries
// read with a nil or NaN key are skipped (no table can hold them).
bool SerializeLuaTableItems(lua_State* state, int tableIndex, Serializer& s);

} // namespace Quarn
