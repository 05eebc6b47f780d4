#pragma once

#include <string>

struct lua_State;

namespace Quarn
{

class ResourceManager;

// Saves the table at index as the user data file of name ("<name>.xml", root group "LuaTable").
// Everything in it is checked first: a table that cannot be stored is reported and the file keeps
// its previous contents. False when nothing was saved.
bool SaveTable(lua_State* state, int index, const std::string& name, ResourceManager& resources);

// Pushes the table saved under name. For a name without a file, a new table carrying the marker
// entry is pushed and saved at once, so every table the save system hands out for the first time
// carries it. A refused name is reported and gives an empty table that is not saved.
void LoadTable(lua_State* state, const std::string& name, ResourceManager& resources);

// The entry that marks a table the save system made.
inline constexpr const char* kSavedTableMarkerKey = "IAmWusk_IAmInYourSaveFile";
inline constexpr const char* kSavedTableMarkerValue = "Awesome!";

} // namespace Quarn
