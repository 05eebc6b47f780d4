#pragma once

#include <filesystem>
#include <string>

namespace Quarn::tools
{

// Builds an authored sound project (".fdp": XML of a <project> with <event name file volume loop> and
// <cue name file volume> elements, files relative to the project's folder) into its built form at
// target, copying the media into mediaFolder. Every sound file must be there and decode. On failure
// error holds "file(line): error: text" and no target is left.
bool BuildProject(const std::filesystem::path& source, const std::filesystem::path& target,
                  const std::filesystem::path& mediaFolder, std::string& error);

// Where the builder run by the resource conversion writes for a source in the source root
// ("../Resources/..."): the same place in the working root ("./Resources/..."), with the extension
// ".fev"; a source elsewhere gets its ".fev" beside it.
std::filesystem::path BuiltProjectPath(const std::filesystem::path& source);

} // namespace Quarn::tools
