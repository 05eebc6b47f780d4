#pragma once

#include <cstddef>
#include <cstdint>

namespace Quarn::fuzz
{

// The readers of sound files, each taking raw bytes as one kind of file, as ReaderTargets.h's readers
// do. They work in a scratch folder of their own, which holds small sound files named "engine.wav",
// "hit.wav" and "theme.wav" for projects to name.

// An authored sound project (".fdp") built by the project builder.
void BuildSoundProject(const std::uint8_t* data, std::size_t size);
// A built sound project (".fev") loaded by a fresh event system, then loaded again in its own place.
void LoadSoundProject(const std::uint8_t* data, std::size_t size);
// A sound file decoded into the mixer's format.
void ReadSoundFile(const std::uint8_t* data, std::size_t size);

} // namespace Quarn::fuzz
