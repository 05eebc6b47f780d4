#pragma once

#include <cstddef>
#include <cstdint>

namespace Quarn::fuzz
{

// The readers of files that reach the engine from disk, each taking raw bytes as one kind of file. Bad
// input may be reported; it must never crash, hang or read out of bounds. The fuzz targets run these
// under libFuzzer and the test suite replays every saved input through them.

// A prototype file: root group "Object" holding a game object and its components, as XML.
void ReadXMLObject(const std::uint8_t* data, std::size_t size);
// The same game object in the binary form of prototypes.
void ReadBinaryObject(const std::uint8_t* data, std::size_t size);
// A saved Lua table: root group "LuaTable", read into a table of a live Lua state.
void ReadSavedTable(const std::uint8_t* data, std::size_t size);
// A picture (PNG, JPEG, BMP or TGA), as the pictures folder, the texture converter and the widget
// renderer read one.
void ReadPicture(const std::uint8_t* data, std::size_t size);

} // namespace Quarn::fuzz

#include "SoundTargets.h"
