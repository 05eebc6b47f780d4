#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace Quarn::platform
{

// Replaces the file at path with bytes, or leaves it as it was: the bytes go to a temporary file in the
// same folder, which is flushed to disk and then renamed over the path, so no reader ever sees a
// half-written file. On failure the temporary file is removed, error says why, and false is returned.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error);

} // namespace Quarn::platform
