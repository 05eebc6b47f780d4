#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace Quarn::tools
{

// Checks an effect file (its form, then every shader stage with glslang as GLSL 4.50 for OpenGL) and
// writes its compiled form to output. On failure errors holds one "file(line): error: text" line per
// fault and no output file is left behind.
bool CompileEffect(const std::filesystem::path& source, const std::filesystem::path& output,
                   std::string& errors);
// The checks of CompileEffect on the text of an effect file, named file in the faults; nothing is written.
bool CheckEffect(std::string_view text, const std::string& file, std::string& errors);

} // namespace Quarn::tools
