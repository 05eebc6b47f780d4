#pragma once

#include <cstddef>
#include <cstdint>

namespace Quarn::fuzz
{

// The readers of the files rendering loads, each taking raw bytes as one kind of file, on a recording
// device. Bad input may be reported; it must never crash, hang or read out of bounds.

// A texture (".dds"), loaded onto the device as the texture resource loads it.
void ReadDdsTexture(const std::uint8_t* data, std::size_t size);
// A mesh (".tmb"): read as the resource manager reads a binary file, checked as the mesh resource
// checks it, and, when accepted, set up and drawn.
void ReadMeshFile(const std::uint8_t* data, std::size_t size);
// A texture atlas's sprite sheet (".txa") and its text description (".tai"), then frames looked up.
void ReadSpriteSheet(const std::uint8_t* data, std::size_t size);
void ReadAtlasDescription(const std::uint8_t* data, std::size_t size);
// An effect source (".fx") checked by the effect compiler tool, its shaders by glslang.
void CheckEffectSource(const std::uint8_t* data, std::size_t size);
// A compiled effect (".fxo") loaded by the effect resource.
void LoadCompiledEffect(const std::uint8_t* data, std::size_t size);
// Effect scripts: the lines of the input, each cut to 96 characters, are the scripts of a fixed effect's
// technique and of its passes P0 to P2; the effect is loaded and two frames are rendered with it.
void RunEffectScripts(const std::uint8_t* data, std::size_t size);

} // namespace Quarn::fuzz
